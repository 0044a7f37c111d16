// FileBytes: a whole file read into memory, with a reason the user understands when it cannot
// be read (missing, a directory, no permission, a read error).
#pragma once

#include <string>

class FileBytes {
  public:
    FileBytes() = delete;

    static bool Read(const std::string& path, std::string& bytes, std::string& error);
};
