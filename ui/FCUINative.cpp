// FCUI in the native build: nothing can be shown, so every alert is recorded for the tests to
// read, and questions are answered from a queue that the tests fill (kNo when it is empty).
#include <deque>

#include "ui/FCUI.h"

namespace {

std::vector<FCUI::Recorded>& Alerts() {
    static std::vector<FCUI::Recorded> alerts;
    return alerts;
}

std::deque<int>& Answers() {
    static std::deque<int> answers;
    return answers;
}

}  // namespace

const std::vector<FCUI::Recorded>& FCUI::RecordedAlerts() {
    return Alerts();
}

void FCUI::ClearRecordedAlerts() {
    Alerts().clear();
    Answers().clear();
}

void FCUI::QueueAnswer(int answer) {
    Answers().push_back(answer);
}

int FCUI::ShowBox(Kind kind, const FCString& text, const FCString& caption) {
    Alerts().push_back(Recorded{kind, std::u16string(caption.GetUTF16(), caption.GetLength()),
                                std::u16string(text.GetUTF16(), text.GetLength()), ownerWindow_});
    if (kind != Kind::kYesNo) {
        return kOther;
    }
    int answer = kNo;
    if (!Answers().empty()) {
        answer = Answers().front();
        Answers().pop_front();
    }
    return answer == kYes || answer == kNo ? answer : kOther;
}

void FCUI::ShowFixedBox(const char16_t* text, const char16_t* caption) {
    Alerts().push_back(Recorded{Kind::kError, caption, text, ownerWindow_});
}
