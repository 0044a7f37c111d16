// FCUI: the plug-in's one alert object. Every message box the plug-in shows goes through it and
// is owned by the host window it was made with, never by the dialog, so an alert stays in front
// of the host even while the dialog is closed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/FCString.h"

class FCUI : public __FCBase {
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
    void AlertNoSelection();

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

    void* ownerWindow_;
};
