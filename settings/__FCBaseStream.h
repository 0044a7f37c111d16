// __FCBaseStream: the abstract stream the settings files are read from and written to.
#pragma once

#include "framework/__FCBase.h"

class __FCBaseStream : public __FCBase {
  public:
    __FCBaseStream() = default;
    __FCBaseStream(const __FCBaseStream&) = delete;
    __FCBaseStream& operator=(const __FCBaseStream&) = delete;

    // OpenRead opens the stream for reading from its start; false when it can't.
    virtual bool OpenRead() = 0;
    // OpenWrite opens the stream for writing a whole new content; false when it can't.
    virtual bool OpenWrite() = 0;
};
