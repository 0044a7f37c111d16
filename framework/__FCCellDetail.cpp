// __FCCellDetail: the neutral cell-detail operations.
#include "framework/__FCCellDetail.h"

void __FCCellDetail::Clear() {}

bool __FCCellDetail::SaveNew() {
    return false;
}
