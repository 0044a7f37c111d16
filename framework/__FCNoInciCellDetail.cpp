// __FCNoInciCellDetail: nothing beyond its base; the pair keeps the class tree one file per class.
#include "framework/__FCNoInciCellDetail.h"
