#pragma once

// The controls the analysis frame is built from, by role.

#include "controls/TAlignedEdit.h"
#include "controls/TtbtnKp.h"
#include "grids/DBEditGrid.h"

using TFrameGrid = TDBEditGrid;
using TFrameButton = TtbtnKp;
using TFrameNumericEdit = TAlignedEdit;
