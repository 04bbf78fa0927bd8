#include "base/TInteger.h"

// Complete in its header; this unit keeps the class in the base library.
