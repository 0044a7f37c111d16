// FCTextFileStream: a settings file read line by line and written pair by pair, in text mode
// (line ends are the platform's when written; a CR or an LF ends a line when read).
#pragma once

#include <memory>

#include "framework/FCStrings.h"
#include "settings/FCFileStream.h"

class FCSettingsPairs;

class FCTextFileStream : public FCFileStream {
  public:
    using FCFileStream::FCFileStream;

    bool OpenRead() override;
    // OpenWrite starts a new content; the file itself changes only at a successful Close.
    bool OpenWrite() override;
    // ReadLine answers the next line without its line end (possibly empty), or null at the end
    // of the file or when no file is open. Each byte becomes the unit of its value.
    virtual std::unique_ptr<FCString> ReadLine();

    // ReadLines answers every remaining line, empty ones included; null when no file is open.
    std::unique_ptr<FCStrings> ReadLines();
    // WritePairs writes each pair as key=value and a line end, one byte a character; a
    // character beyond 8 bits or a line end inside a text is written as "?", so that no text
    // splits its line. False when no file is open or a write failed.
    bool WritePairs(FCSettingsPairs* pairs);
};
