// __FCNoInciCellDetail: cell details of which a cell has at most one (no incidence number).
#pragma once

#include "framework/__FCCellDetail.h"

class __FCNoInciCellDetail : public __FCCellDetail {};
