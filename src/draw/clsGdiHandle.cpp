// The holder is header-only; this unit keeps the class's pair of files and checks that the header
// stands on its own.
#include "draw/clsGdiHandle.h"
