#include "controls/TEkCalendar.h"

#include "platform/rtl/FormatSettings.h"

#include <QPainter>

QStringList& CalendarDayNames()
{
    static QStringList names = [] {
        QStringList r;
        const QLocale locale;
        for (int i = 0; i < 7; ++i) {
            // Qt numbers weekdays from Monday = 1 to Sunday = 7.
            const int qtDay = i == 0 ? 7 : i;
            QString s = locale.dayName(qtDay, QLocale::NarrowFormat);
            if (s.isEmpty())
                s = locale.dayName(qtDay, QLocale::ShortFormat);
            r << s;
        }
        return r;
    }();
    return names;
}

void InitShortDayNames(const QLocale& ALocale)
{
    QStringList r;
    for (int i = 0; i < 7; ++i) {
        const int qtDay = i == 0 ? 7 : i;
        QString s = ALocale.dayName(qtDay, QLocale::NarrowFormat);
        if (s.isEmpty())
            s = ALocale.dayName(qtDay, QLocale::ShortFormat);
        r << s;
    }
    CalendarDayNames() = r;
}

TEkCalendar::TEkCalendar(QWidget* AParent)
    : TCalendar(AParent)
{
    FWeekendColor = palette().color(QPalette::Highlight);
    FInactiveDaysColor = palette().color(QPalette::Disabled, QPalette::Text);
    FDaysOfWeekBkColor = palette().color(QPalette::Highlight);
    FDaysOfWeekColor = palette().color(QPalette::HighlightedText);
    SetShowGridLines(false);
}

bool TEkCalendar::ShowGridLines() const
{
    return Options() & goVertLine;
}

void TEkCalendar::SetShowGridLines(bool AValue)
{
    TGridOptions o = Options();
    const TGridOptions lines = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
    o = AValue ? (o | lines) : (o & ~lines);
    SetOptions(o);
    // Lines that are not drawn take no room either.
    if (!AValue && GridLineWidth() > 0) {
        FLineWidth = GridLineWidth();
        SetGridLineWidth(0);
    } else if (AValue && GridLineWidth() == 0) {
        SetGridLineWidth(FLineWidth);
    }
    UpdateCellSizes();
    InvalidateGrid();
}

int TEkCalendar::GridLinesExtent() const
{
    return ShowGridLines() ? TCalendar::GridLinesExtent() : 0;
}

int TEkCalendar::DaysPerMonth(int AYear, int AMonth) const
{
    return TCalendar::DaysPerMonth(AYear, AMonth);
}

QString TEkCalendar::GetCellTextEx(int ACol, int ARow) const
{
    if (ACol == 7)
        return QStringLiteral(" ");
    if (ARow == 0) {
        const QStringList& names = CalendarDayNames();
        const int day = (ACol + StartOfWeek()) % 7;
        return day < names.size() ? names.at(day) : QString();
    }
    const int n = CellDay(ACol, ARow);
    if (n >= 1 && n <= CurrentMonthDays())
        return QString::number(n);
    const DateTime first = DateTime::EncodeDate(Year(), Month(), 1);
    return QLatin1Char(' ') + QString::number((first + (n - 1)).Day());
}

void TEkCalendar::DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState)
{
    QPainter* canvas = Canvas();
    if (!canvas)
        return;
    const QString text = GetCellTextEx(ACol, ARow);
    QColor fontColor = palette().color(QPalette::Text);
    QColor brush = Color().isValid() ? Color() : palette().color(QPalette::Base);
    if (ARow > 0) {
        const int weekday = (StartOfWeek() + ACol) % 7;
        if (text.startsWith(QLatin1Char(' ')))
            fontColor = FInactiveDaysColor;
        else if (weekday == 0 || weekday == 6)
            fontColor = FWeekendColor;
    } else {
        brush = FDaysOfWeekBkColor;
        fontColor = FDaysOfWeekColor;
    }
    if (AState & gdSelected) {
        fontColor = palette().color(QPalette::HighlightedText);
        brush = palette().color(QPalette::Highlight);
    }
    canvas->fillRect(ARect, brush);
    canvas->setPen(fontColor);
    DrawCellTextCentred(ARect, text);
    if (!FDefaultDrawing && (AState & gdFocused)) {
        canvas->save();
        canvas->setPen(QPen(fontColor, 1, Qt::DotLine));
        canvas->drawRect(ARect.adjusted(0, 0, -1, -1));
        canvas->restore();
    }
}
