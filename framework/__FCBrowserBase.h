// __FCBrowserBase: a walker over cells of the score that hands what it finds to a handler.
#pragma once

#include "framework/__FCIteratorBase.h"

class FCCell;
class FCMusicRegion;

class __FCBrowserBase : public __FCIteratorBase {
  public:
    const char* ClassName() const override;

    // ProcessCell visits one cell; false stops the walk that called it.
    virtual bool ProcessCell(FCCell* cell, FCIteratorHandler* handler,
                             const FCMusicRegion* region) = 0;
};
