#pragma once

#include "grids/TfrmEKCalendar.h"

// The calendar form as the grid's in-place editor opens it.
class TDateList : public TfrmEKCalendar {
    Q_OBJECT
public:
    using TfrmEKCalendar::TfrmEKCalendar;
};
