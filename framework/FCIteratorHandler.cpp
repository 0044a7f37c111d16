// FCIteratorHandler: the visitor's neutral answers.
#include "framework/FCIteratorHandler.h"

const char* FCIteratorHandler::ClassName() const {
    return "FCIteratorHandler";
}
bool FCIteratorHandler::Iterate(__FCBase* /*item*/) {
    return true;
}
bool FCIteratorHandler::IterateSecondPass(__FCBase* /*item*/) {
    return false;
}
bool FCIteratorHandler::IterateIndex(__FCBase* /*item*/, int /*index*/) {
    return true;
}
bool FCIteratorHandler::Matches(__FCBase* /*item*/) {
    return false;
}
int FCIteratorHandler::Compare(__FCBase* /*a*/, __FCBase* /*b*/) {
    return 0;
}
bool FCIteratorHandler::BeforeCell() {
    return true;
}
bool FCIteratorHandler::AfterCellLoad() {
    return true;
}
void FCIteratorHandler::AfterCell() {}
void FCIteratorHandler::AfterFilledCell() {}
