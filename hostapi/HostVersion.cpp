// HostVersion: the process-wide host version number (kept in the header, so that it is read
// inline).
#include "hostapi/HostVersion.h"
