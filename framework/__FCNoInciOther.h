// __FCNoInciOther: item-numbered records that have no incidence (sub-)number.
#pragma once

#include "framework/__FCOther.h"

class __FCNoInciOther : public __FCOther {};
