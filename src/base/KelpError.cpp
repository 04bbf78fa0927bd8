#include "base/KelpError.h"

// The error classes are complete in their headers; this unit keeps them in the base library.
