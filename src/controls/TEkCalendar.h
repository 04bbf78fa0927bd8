#pragma once

#include "controls/TCalendar.h"

#include <QColor>
#include <QLocale>
#include <QStringList>

// The calendar placed on forms: the whole grid filled (days of the neighbouring months
// greyed), header, weekends and selection coloured, header texts the locale's shortest
// day names.
class TEkCalendar : public TCalendar {
    Q_OBJECT
public:
    explicit TEkCalendar(QWidget* AParent = nullptr);

    QColor WeekendColor() const { return FWeekendColor; }
    void SetWeekendColor(const QColor& AValue) { FWeekendColor = AValue; InvalidateGrid(); }
    QColor InactiveDaysColor() const { return FInactiveDaysColor; }
    void SetInactiveDaysColor(const QColor& AValue) { FInactiveDaysColor = AValue; InvalidateGrid(); }
    QColor DaysOfWeekBkColor() const { return FDaysOfWeekBkColor; }
    void SetDaysOfWeekBkColor(const QColor& AValue) { FDaysOfWeekBkColor = AValue; InvalidateGrid(); }
    QColor DaysOfWeekColor() const { return FDaysOfWeekColor; }
    void SetDaysOfWeekColor(const QColor& AValue) { FDaysOfWeekColor = AValue; InvalidateGrid(); }
    bool ShowGridLines() const;
    void SetShowGridLines(bool AValue);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool AValue) { FDefaultDrawing = AValue; InvalidateGrid(); }

    // What is drawn in a cell: day numbers of neighbouring months with a blank in front,
    // a blank in the week-number column.
    virtual QString GetCellTextEx(int ACol, int ARow) const;
    QString CellTextEx(int ACol, int ARow) const { return GetCellTextEx(ACol, ARow); }
    int DaysPerMonth(int AYear, int AMonth) const override;

protected:
    void DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState) override;
    int GridLinesExtent() const override;

private:
    QColor FWeekendColor;
    QColor FInactiveDaysColor;
    QColor FDaysOfWeekBkColor;
    QColor FDaysOfWeekColor;
    bool FDefaultDrawing = true;
    int FLineWidth = 1;
};

// The header texts, Sunday first.
QStringList& CalendarDayNames();
// Fills the header texts from the locale's shortest day names (the short names where it
// has none).
void InitShortDayNames(const QLocale& ALocale);
