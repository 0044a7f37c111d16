// __FCIteratorBase: what walks items (collections, the region browser) and hands them to an
// FCIteratorHandler.
#pragma once

#include "framework/__FCBase.h"

class FCIteratorHandler;

class __FCIteratorBase : public __FCBase {
  public:
    __FCIteratorBase() = default;
    __FCIteratorBase(const __FCIteratorBase&) = delete;
    __FCIteratorBase& operator=(const __FCIteratorBase&) = delete;

    // ForEach calls the handler's Iterate for each item until one answers false; it answers how
    // many calls answered true.
    virtual int ForEach(FCIteratorHandler* handler) = 0;
    // FindFirst answers the first item the handler's Matches accepts, or null.
    virtual __FCBase* FindFirst(FCIteratorHandler* handler) = 0;
};
