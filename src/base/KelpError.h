#pragma once

// The program's own error classes in one include.
#include "base/EKelpUserError.h"
#include "base/TKelpError.h"
