#pragma once

#include "controls/CalendarTypes.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/CustomGrid.h"

#include <QString>
#include <functional>

// A month grid: a header row of day names and six rows of days, the selected day being the
// calendar date. An eighth, week-number column lies right of the client area and can never
// be selected, so it is never seen.
class TCalendar : public TCustomGrid {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TCalendar* Sender)>;

    explicit TCalendar(QWidget* AParent = nullptr);
    ~TCalendar() override;

    DateTime CalendarDate() const { return FDate; }
    void SetCalendarDate(DateTime AValue);
    int Year() const { return GetDatePart(1); }
    void SetYear(int AValue) { SetDatePart(1, AValue); }
    int Month() const { return GetDatePart(2); }
    void SetMonth(int AValue) { SetDatePart(2, AValue); }
    int Day() const { return GetDatePart(3); }
    void SetDay(int AValue) { SetDatePart(3, AValue); }
    // 1 year, 2 month, 3 day; -1 for any other index.
    int GetDatePart(int AIndex) const;
    // Values below 1, months above 12, days beyond the month and unchanged values are
    // ignored; a new year or month that lacks the day keeps the month's last day.
    void SetDatePart(int AIndex, int AValue);

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool AValue) { FReadOnly = AValue; }
    TDayOfWeek StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TDayOfWeek AValue);
    bool UseCurrentDate() const { return FUseCurrentDate; }
    void SetUseCurrentDate(bool AValue);
    TFirstWeekKind FirstWeekKind() const { return FFirstWeekKind; }
    void SetFirstWeekKind(TFirstWeekKind AValue);
    int MonthOffset() const { return FMonthOffset; }

    void NextMonth() { ChangeMonth(1); }
    void PrevMonth() { ChangeMonth(-1); }
    void NextYear();
    void PrevYear();
    // A step of months within the year; the day is kept where the month has it.
    void ChangeMonth(int ADelta);

    virtual int DaysPerMonth(int AYear, int AMonth) const;
    virtual int CurrentMonthDays() const;
    virtual bool YearIsLeap(int AYear) const;
    virtual void UpdateCalendar();

    QString CellText(int ACol, int ARow) const { return GetCellText(ACol, ARow); }
    // The day of the month a day cell stands for (may lie outside 1 .. the month's length).
    int CellDay(int ACol, int ARow) const;

    DateTime FirstDayOfYear(DateTime AValue) const;
    DateTime FirstWeekStartDate(DateTime ADate) const;
    int WeekNumberOf(DateTime ADate) const;
    int WeekNumber() const { return WeekNumberOf(FDate); }
    int DayNumberOfYear() const;

    // Cell sizes follow the control's size (also after a change of scale).
    void UpdateCellSizes();

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;

protected:
    QString GetCellText(int ACol, int ARow) const;
    void DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    virtual void Change();
    virtual void Click();
    // The gap the grid lines take between seven cells.
    virtual int GridLinesExtent() const;
    void DrawCellTextCentred(const QRect& ARect, const QString& AText);

    void resizeEvent(QResizeEvent* AEvent) override;
    void mousePressEvent(QMouseEvent* AEvent) override;
    void keyPressEvent(QKeyEvent* AEvent) override;

private:
    DateTime DateOfCell(int ACol, int ARow) const;

    DateTime FDate;
    int FMonthOffset = 0;
    bool FReadOnly = false;
    TDayOfWeek FStartOfWeek = 1;
    bool FUpdating = false;
    bool FUseCurrentDate = true;
    TFirstWeekKind FFirstWeekKind = TFirstWeekKind::wkFirstDay;
};
