// FCUI: captions, defaults and the absent-message rules shared by every platform; the box itself
// is shown by FCUIWin32.cpp or recorded by FCUINative.cpp.
#include "ui/FCUI.h"

namespace {

// CaptionOr answers title, or fallback when title is absent or empty.
FCString CaptionOr(const FCString* title, const char* fallback) {
    if (title == nullptr || title->GetLength() == 0) {
        return FCString(fallback);
    }
    return *title;
}

}  // namespace

FCUI::FCUI(void* ownerWindow) : ownerWindow_(ownerWindow) {}

const char* FCUI::ClassName() const {
    return "FCUI";
}

void FCUI::AlertError(const FCString* message, const FCString* title) {
    if (message == nullptr) {
        return;
    }
    ShowBox(Kind::kError, *message, CaptionOr(title, "Error"));
}

void FCUI::AlertError(const char* message8, const char* title8) {
    if (message8 == nullptr) {
        return;
    }
    const FCString message(message8);
    if (title8 == nullptr) {
        AlertError(&message, nullptr);
        return;
    }
    const FCString title(title8);
    AlertError(&message, &title);
}

int FCUI::AlertYesNo(const FCString* message, const FCString* title) {
    if (message == nullptr) {
        return kOther;
    }
    return ShowBox(Kind::kYesNo, *message, CaptionOr(title, "Yes/No?"));
}

void FCUI::AlertInfo(const FCString* message, const FCString* title) {
    if (message == nullptr) {
        return;
    }
    ShowBox(Kind::kInfo, *message, CaptionOr(title, "Information"));
}

void FCUI::AlertNoSelection() {
    const FCString message(
        "No region is selected. Please select a region in the document and try again.");
    const FCString title("No Selection");
    AlertInfo(&message, &title);
}

void FCUI::AlertOutOfMemory() {
    static bool showing = false;
    if (showing) {
        return;
    }
    // The box runs its own message loop: a failure in a message handled meanwhile must not
    // stack a second box on the first.
    struct Showing {
        Showing() { showing = true; }
        ~Showing() { showing = false; }
        Showing(const Showing&) = delete;
        Showing& operator=(const Showing&) = delete;
    } const shown;
    ShowFixedBox(kOutOfMemoryText, kOutOfMemoryCaption);
}
