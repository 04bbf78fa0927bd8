#include "controls/TCalendar.h"

#include "platform/rtl/Clock.h"
#include "platform/rtl/ERangeError.h"
#include "platform/rtl/FormatSettings.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Whole days between two dates (the later minus the earlier, truncated).
int DaysBetween(DateTime ALater, DateTime AEarlier)
{
    return static_cast<int>(std::trunc(ALater - AEarlier));
}

} // namespace

TCalendar::TCalendar(QWidget* AParent)
    : TCustomGrid(AParent)
    , FDate(Clock::Date())
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetColCount(8);
    SetRowCount(7);
    SetFixedCols(0);
    SetFixedRows(1);
    SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected);
    // The day columns start at the left edge; only the week-number column lies beyond.
    SetLeftCol(0);
    SetTopRow(1);
    UpdateCellSizes();
    UpdateCalendar();
}

TCalendar::~TCalendar() = default;

int TCalendar::GetDatePart(int AIndex) const
{
    switch (AIndex) {
    case 1: return FDate.Year();
    case 2: return FDate.Month();
    case 3: return FDate.Day();
    default: return -1;
    }
}

void TCalendar::SetDatePart(int AIndex, int AValue)
{
    if (AValue < 1)
        return;
    int y = 0;
    int m = 0;
    int d = 0;
    FDate.DecodeDate(y, m, d);
    switch (AIndex) {
    case 1:
        if (AValue == y)
            return;
        y = AValue;
        d = std::min(d, DaysPerMonth(y, m));
        break;
    case 2:
        if (AValue > 12 || AValue == m)
            return;
        m = AValue;
        // A day the new month lacks becomes its last day rather than an impossible date.
        d = std::min(d, DaysPerMonth(y, m));
        break;
    case 3:
        if (AValue > CurrentMonthDays() || AValue == d)
            return;
        d = AValue;
        break;
    default:
        return;
    }
    FDate = DateTime::EncodeDate(y, m, d);
    FUseCurrentDate = false;
    UpdateCalendar();
    Change();
}

void TCalendar::SetCalendarDate(DateTime AValue)
{
    FDate = AValue;
    UpdateCalendar();
    Change();
}

void TCalendar::SetStartOfWeek(TDayOfWeek AValue)
{
    if (AValue < 0 || AValue > 6)
        throw ERangeError(QStringLiteral("Range check error"));
    if (AValue == FStartOfWeek)
        return;
    FStartOfWeek = AValue;
    UpdateCalendar();
}

void TCalendar::SetUseCurrentDate(bool AValue)
{
    if (AValue == FUseCurrentDate)
        return;
    FUseCurrentDate = AValue;
    if (AValue) {
        FDate = Clock::Date();
        UpdateCalendar();
    }
}

void TCalendar::SetFirstWeekKind(TFirstWeekKind AValue)
{
    FFirstWeekKind = AValue;
    UpdateCalendar();
}

void TCalendar::NextYear()
{
    if (YearIsLeap(Year()) && Month() == 2 && Day() == 29)
        SetDay(28);
    SetYear(Year() + 1);
}

void TCalendar::PrevYear()
{
    if (YearIsLeap(Year()) && Month() == 2 && Day() == 29)
        SetDay(28);
    SetYear(Year() - 1);
}

void TCalendar::ChangeMonth(int ADelta)
{
    int y = 0;
    int m = 0;
    int d = 0;
    FDate.DecodeDate(y, m, d);
    if ((m == 1 && ADelta < 0) || (m == 12 && ADelta > 0))
        return;
    const int day = d;
    DateTime moved = ADelta < 1 ? DateTime::EncodeDate(y, m, 1) + ADelta
                                : DateTime::EncodeDate(y, m, DaysPerMonth(y, m)) + ADelta;
    moved.DecodeDate(y, m, d);
    const int length = DaysPerMonth(y, m);
    d = day < length ? day : length;
    SetCalendarDate(DateTime::EncodeDate(y, m, d));
}

int TCalendar::DaysPerMonth(int AYear, int AMonth) const
{
    static const int days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (AMonth < 1 || AMonth > 12)
        throw ERangeError(QStringLiteral("Range check error"));
    int r = days[AMonth - 1];
    if (AMonth == 2 && YearIsLeap(AYear))
        ++r;
    return r;
}

int TCalendar::CurrentMonthDays() const
{
    return DaysPerMonth(FDate.Year(), FDate.Month());
}

bool TCalendar::YearIsLeap(int AYear) const
{
    return (AYear % 4 == 0 && AYear % 100 != 0) || AYear % 400 == 0;
}

void TCalendar::UpdateCalendar()
{
    struct Guard {
        bool& Flag;
        explicit Guard(bool& AFlag) : Flag(AFlag) { Flag = true; }
        ~Guard() { Flag = false; }
    } guard(FUpdating);
    const DateTime first = DateTime::EncodeDate(FDate.Year(), FDate.Month(), 1);
    const int p = (first.DayOfWeek() - FStartOfWeek + 7) % 7;
    FMonthOffset = p == 0 ? -5 : 2 - p;
    const int k = FDate.Day() - FMonthOffset;
    MoveCurrent(k % 7, k / 7 + 1, false);
    InvalidateGrid();
}

int TCalendar::CellDay(int ACol, int ARow) const
{
    return ACol + FMonthOffset + (ARow - 1) * 7;
}

DateTime TCalendar::DateOfCell(int ACol, int ARow) const
{
    const int n = std::clamp(CellDay(ACol, ARow), 1, CurrentMonthDays());
    return DateTime::EncodeDate(FDate.Year(), FDate.Month(), n);
}

QString TCalendar::GetCellText(int ACol, int ARow) const
{
    if (ARow == 0) {
        if (ACol == 7)
            return QStringLiteral("Ned. Nr.");
        const QStringList& names = FormatSettings::Default().ShortDayNames;
        const int day = (ACol + FStartOfWeek) % 7;
        return day < names.size() ? names.at(day) : QString();
    }
    if (ACol == 7) {
        const DateTime d = DateOfCell(6, ARow);
        int week = WeekNumberOf(d);
        if (ARow == 6 && d == DateOfCell(6, 5))
            ++week;
        return QString::number(week);
    }
    const int n = CellDay(ACol, ARow);
    if (n < 1 || n > CurrentMonthDays())
        return QString();
    return QString::number(n);
}

bool TCalendar::SelectCell(int ACol, int ARow)
{
    if (ACol == 7)
        return false;
    if (FReadOnly && !FUpdating)
        return false;
    if (ARow >= 1 && GetCellText(ACol, ARow).isEmpty())
        return false;
    return TCustomGrid::SelectCell(ACol, ARow);
}

void TCalendar::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCalendar::Click()
{
    if (OnClick)
        OnClick(this);
    const QString text = GetCellText(Col(), Row());
    if (!text.isEmpty() && Row() >= 1)
        SetDay(text.toInt());
}

int TCalendar::GridLinesExtent() const
{
    return 6 * GridLineWidth();
}

void TCalendar::UpdateCellSizes()
{
    const QSize s = viewport()->size();
    SetDefaultColWidth(std::max(0, (s.width() - GridLinesExtent()) / 7));
    SetDefaultRowHeight(std::max(0, (s.height() - GridLinesExtent()) / 7));
}

void TCalendar::DrawCellTextCentred(const QRect& ARect, const QString& AText)
{
    QPainter* canvas = Canvas();
    if (!canvas)
        return;
    const QFontMetrics fm(canvas->font());
    const int x = ARect.left() + (ARect.width() - fm.horizontalAdvance(AText)) / 2;
    const int y = ARect.top() + (ARect.height() - fm.height()) / 2;
    canvas->save();
    canvas->setClipRect(ARect);
    canvas->drawText(QPoint(x, y + fm.ascent()), AText);
    canvas->restore();
}

void TCalendar::DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState)
{
    TCustomGrid::DrawCell(ACol, ARow, ARect, AState);
    if (QPainter* canvas = Canvas()) {
        canvas->setPen(palette().color((AState & gdSelected) ? QPalette::HighlightedText : QPalette::Text));
        if (AState & gdSelected)
            canvas->fillRect(ARect, palette().color(QPalette::Highlight));
    }
    DrawCellTextCentred(ARect, GetCellText(ACol, ARow));
}

DateTime TCalendar::FirstDayOfYear(DateTime AValue) const
{
    return DateTime::EncodeDate(AValue.Year(), 1, 1);
}

int TCalendar::DayNumberOfYear() const
{
    return DaysBetween(FDate, FirstDayOfYear(FDate)) + 1;
}

DateTime TCalendar::FirstWeekStartDate(DateTime ADate) const
{
    DateTime d = DateTime::EncodeDate(ADate.Year(), 1, 1);
    if (FFirstWeekKind == TFirstWeekKind::wkFourDays) {
        if (FStartOfWeek + 8 - d.DayOfWeek() < 4)
            d = d + 7;
    } else if (FFirstWeekKind == TFirstWeekKind::wkFullWeek) {
        if (d.DayOfWeek() != FStartOfWeek + 1)
            d = d + 7;
    }
    return d - d.DayOfWeek() + FStartOfWeek + 1;
}

int TCalendar::WeekNumberOf(DateTime ADate) const
{
    const DateTime start = FirstWeekStartDate(ADate);
    if (ADate >= start)
        return DaysBetween(ADate, start) / 7 + 1;
    const DateTime lastOfPrevious = DateTime::EncodeDate(ADate.Year() - 1, 12, 31);
    return DaysBetween(lastOfPrevious, FirstWeekStartDate(lastOfPrevious)) / 7 + 1;
}

void TCalendar::resizeEvent(QResizeEvent* AEvent)
{
    TCustomGrid::resizeEvent(AEvent);
    UpdateCellSizes();
}

void TCalendar::mousePressEvent(QMouseEvent* AEvent)
{
    TCustomGrid::mousePressEvent(AEvent);
    if (AEvent->button() == Qt::LeftButton) {
        const QPoint p = AEvent->position().toPoint();
        const TGridCoord cell = MouseCoord(p.x(), p.y());
        if (cell.X >= 0 && cell.Y >= FixedRows())
            Click();
    }
}

void TCalendar::keyPressEvent(QKeyEvent* AEvent)
{
    const TGridCoord before { Col(), Row() };
    TCustomGrid::keyPressEvent(AEvent);
    if (Col() != before.X || Row() != before.Y)
        Click();
}
