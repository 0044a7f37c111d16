// FCUI: the plug-in's one alert object. Every message box the plug-in shows goes through it and
// is owned by the host window it was made with, never by the dialog, so an alert stays in front
// of the host even while the dialog is closed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/FCString.h"
#include "pitch/NoSelectionAlert.h"

class FCUI : public __FCBase, public NoSelectionAlert {
  public:
    // Answers of AlertYesNo.
    static constexpr int kYes = 2;
    static constexpr int kNo = 3;
    static constexpr int kOther = 4;

    // ownerWindow is the host window handle that owns every message box (may be null).
    explicit FCUI(void* ownerWindow);

    const char* ClassName() const override;

    void* GetOwnerWindow() const { return ownerWindow_; }

    // AlertError shows an error box; nothing when message is null. An absent or empty title
    // shows "Error".
    void AlertError(const FCString* message, const FCString* title);
    void AlertError(const char* message8, const char* title8);
    // AlertYesNo asks a question: kYes, kNo, or kOther for any other answer (and for a null
    // message, when nothing is shown). The default caption is "Yes/No?".
    int AlertYesNo(const FCString* message, const FCString* title);
    // AlertInfo shows an information box; the default caption is "Information".
    void AlertInfo(const FCString* message, const FCString* title);
    // AlertNoSelection tells the user that the document has no selected region.
    void AlertNoSelection() override;
    // AlertOutOfMemory tells the user that a command could not be finished (the memory ran out,
    // or anything else failed that the plug-in did not expect). Its texts are fixed in the
    // module, so showing it needs no memory of the plug-in's own; while it is shown, a further
    // failure shows no second one.
    void AlertOutOfMemory();
    static constexpr const char16_t* kOutOfMemoryCaption = u"Out of Memory";
    static constexpr const char16_t* kOutOfMemoryText =
        u"There is not enough memory to finish this command. The score has not been changed.";

    // The box kinds the plug-in shows.
    enum class Kind { kError, kYesNo, kInfo };

#if !defined(_WIN32)
    // The native build has no screen: each alert is recorded here instead, and yes/no questions
    // take their answers from a queue (an empty queue answers kNo).
    struct Recorded {
        Kind kind;
        std::u16string caption;
        std::u16string text;
        void* owner;
    };
    static const std::vector<Recorded>& RecordedAlerts();
    static void ClearRecordedAlerts();
    static void QueueAnswer(int answer);
#endif

  private:
    // ShowBox shows (or records) one box and answers the platform's raw result mapped to
    // kYes / kNo / kOther.
    int ShowBox(Kind kind, const FCString& text, const FCString& caption);
    // ShowFixedBox shows (or records) an error box whose texts need no copy.
    void ShowFixedBox(const char16_t* text, const char16_t* caption);

    void* ownerWindow_;
};
