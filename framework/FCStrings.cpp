// FCStrings: class name of the string collection.
#include "framework/FCStrings.h"

const char* FCStrings::ClassName() const {
    return "FCStrings";
}
