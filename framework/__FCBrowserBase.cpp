// __FCBrowserBase: the browsers' common name.
#include "framework/__FCBrowserBase.h"

const char* __FCBrowserBase::ClassName() const {
    return "__FCBrowserBase";
}
