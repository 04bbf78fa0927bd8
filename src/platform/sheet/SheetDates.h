#pragma once

// Day numbers as spreadsheets count them. The program counts days from 1899-12-30; a
// spreadsheet's day 1 is 1900-01-01 and it has a 29 February 1900, so the two agree from
// 1900-03-01 on and differ by one before it.
class SheetDates
{
public:
    SheetDates() = delete;

    // False for a day before 1900-01-01, which a spreadsheet cannot show as a date.
    static bool ToSerial(double days, double& serial)
    {
        if (days < 2.0)
            return false;
        serial = days < 61.0 ? days - 1.0 : days;
        return true;
    }
};
