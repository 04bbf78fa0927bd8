#include "controls/TEkCalendar.h"

#include "platform/rtl/Clock.h"
#include "platform/rtl/ERangeError.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

DateTime D(int y, int m, int d)
{
    return DateTime::EncodeDate(y, m, d);
}

// A calendar fixed on a date, Monday first, with Latvian-like header names.
class Calendar : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clock::SetFixed(D(2024, 3, 15));
        CalendarDayNames() = QStringList { "Sv", "P", "O", "T", "C", "Pk", "S" };
        Cal = std::make_unique<TEkCalendar>();
        Cal->resize(7 * 30 + 10, 7 * 20 + 10);
        Cal->SetStartOfWeek(1);
    }
    void TearDown() override { Clock::Reset(); }

    std::unique_ptr<TEkCalendar> Cal;
};

} // namespace

TEST_F(Calendar, StartsOnTodayAndFillsTheWholeGrid)
{
    EXPECT_EQ(Cal->CalendarDate(), D(2024, 3, 15));
    EXPECT_TRUE(Cal->UseCurrentDate());
    // September 2024 begins on a Sunday: with Monday first it is column 6 of row 1.
    Cal->SetCalendarDate(D(2024, 9, 10));
    EXPECT_EQ(Cal->CellText(6, 1), "1");
    EXPECT_EQ(Cal->CellTextEx(6, 1), "1");
    const char* previous[] = { " 26", " 27", " 28", " 29", " 30", " 31" };
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(Cal->CellText(c, 1), "") << c;
        EXPECT_EQ(Cal->CellTextEx(c, 1), previous[c]) << c;
    }
    EXPECT_EQ(Cal->CellTextEx(0, 6), "30");
    EXPECT_EQ(Cal->CellTextEx(1, 6), " 1") << "October goes on in the last row";
    EXPECT_EQ(Cal->CellTextEx(7, 3), " ");
    EXPECT_EQ(Cal->CellTextEx(0, 0), "P");
    EXPECT_EQ(Cal->CellTextEx(6, 0), "Sv");
    EXPECT_EQ(Cal->CellText(7, 0), "Ned. Nr.");
    // The selection sits on the date.
    EXPECT_EQ(Cal->Col(), 1);
    EXPECT_EQ(Cal->Row(), 3);

    // July 2024 begins on a Monday: column 0 of row 1.
    Cal->SetCalendarDate(D(2024, 7, 1));
    EXPECT_EQ(Cal->MonthOffset(), 1);
    EXPECT_EQ(Cal->CellText(0, 1), "1");
}

TEST_F(Calendar, DatePartsAndMonthSteps)
{
    int changes = 0;
    Cal->OnChange = [&](TCalendar*) { ++changes; };
    Cal->SetDay(31);
    EXPECT_EQ(Cal->Day(), 31);
    EXPECT_FALSE(Cal->UseCurrentDate());
    EXPECT_EQ(changes, 1);
    // Ignored silently: below 1, month above 12, day beyond the month, unchanged.
    for (auto [index, value] : { std::pair { 3, 0 }, { 2, 13 }, { 3, 32 }, { 1, 2024 }, { 4, 1 } })
        Cal->SetDatePart(index, value);
    EXPECT_EQ(Cal->CalendarDate(), D(2024, 3, 31));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Cal->GetDatePart(4), -1);
    // A month or year that lacks the day keeps its own last day.
    struct Part {
        DateTime From;
        int Index;
        int Value;
        DateTime To;
    };
    const Part parts[] = {
        { D(2024, 3, 31), 2, 4, D(2024, 4, 30) },
        { D(2024, 1, 31), 2, 2, D(2024, 2, 29) },
        { D(2023, 1, 30), 2, 2, D(2023, 2, 28) },
        { D(2024, 2, 29), 1, 2023, D(2023, 2, 28) },
        { D(2024, 2, 29), 1, 2028, D(2028, 2, 29) },
        { D(2024, 3, 15), 2, 4, D(2024, 4, 15) },
    };
    for (const Part& p : parts) {
        Cal->SetCalendarDate(p.From);
        Cal->SetDatePart(p.Index, p.Value);
        EXPECT_EQ(Cal->CalendarDate(), p.To) << p.From.Days() << " " << p.Index << " " << p.Value;
    }

    struct Step {
        DateTime From;
        int Delta;
        DateTime To;
    };
    const Step steps[] = {
        { D(2024, 1, 31), 1, D(2024, 2, 29) },
        { D(2024, 3, 31), -1, D(2024, 2, 29) },
        { D(2024, 1, 15), -1, D(2024, 1, 15) },
        { D(2024, 12, 15), 1, D(2024, 12, 15) },
        { D(2024, 5, 10), 1, D(2024, 6, 10) },
    };
    for (const Step& s : steps) {
        Cal->SetCalendarDate(s.From);
        Cal->ChangeMonth(s.Delta);
        EXPECT_EQ(Cal->CalendarDate(), s.To) << s.From.Days() << " " << s.Delta;
    }
    Cal->SetCalendarDate(D(2024, 2, 29));
    Cal->NextYear();
    EXPECT_EQ(Cal->CalendarDate(), D(2025, 2, 28));
    Cal->SetCalendarDate(D(2024, 2, 29));
    Cal->PrevYear();
    EXPECT_EQ(Cal->CalendarDate(), D(2023, 2, 28));
    EXPECT_THROW(Cal->DaysPerMonth(2024, 13), ERangeError);
    EXPECT_EQ(Cal->DaysPerMonth(1900, 2), 28);
    EXPECT_EQ(Cal->DaysPerMonth(2000, 2), 29);
}

TEST_F(Calendar, WeekRules)
{
    Cal->SetFirstWeekKind(TFirstWeekKind::wkFourDays);
    EXPECT_EQ(Cal->FirstWeekStartDate(D(2021, 6, 1)), D(2021, 1, 4));
    EXPECT_EQ(Cal->FirstWeekStartDate(D(2020, 6, 1)), D(2019, 12, 30));
    EXPECT_EQ(Cal->WeekNumberOf(D(2021, 1, 3)), 53) << "belongs to the last week of 2020";
    EXPECT_EQ(Cal->WeekNumberOf(D(2021, 1, 4)), 1);
    Cal->SetFirstWeekKind(TFirstWeekKind::wkFirstDay);
    EXPECT_EQ(Cal->FirstWeekStartDate(D(2021, 6, 1)), D(2020, 12, 28));
    Cal->SetFirstWeekKind(TFirstWeekKind::wkFullWeek);
    EXPECT_EQ(Cal->FirstWeekStartDate(D(2021, 6, 1)), D(2021, 1, 4));
    Cal->SetCalendarDate(D(2024, 2, 1));
    EXPECT_EQ(Cal->DayNumberOfYear(), 32);
}

TEST_F(Calendar, ClicksSelectDaysOfTheMonthOnly)
{
    Cal->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Cal.get()));
    Cal->SetCalendarDate(D(2024, 9, 10));
    int clicks = 0;
    Cal->OnClick = [&](TCalendar*) { ++clicks; };
    // A greyed day of August: nothing changes.
    const QRect greyed = Cal->CellRect(2, 1);
    QTest::mouseClick(Cal->viewport(), Qt::LeftButton, {}, greyed.center());
    EXPECT_EQ(Cal->CalendarDate(), D(2024, 9, 10));
    // 20 September (Friday, column 4 of row 4).
    QTest::mouseClick(Cal->viewport(), Qt::LeftButton, {}, Cal->CellRect(4, 4).center());
    EXPECT_EQ(Cal->CalendarDate(), D(2024, 9, 20));
    EXPECT_EQ(clicks, 2);
    // The week-number column lies outside the control and takes no selection.
    EXPECT_GE(Cal->CellRect(7, 1).left(), Cal->viewport()->width() - 1);
    Cal->SetCalendarDate(D(2024, 9, 8));
    EXPECT_EQ(Cal->Col(), 6);
    QTest::keyClick(Cal.get(), Qt::Key_Right);
    EXPECT_EQ(Cal->Col(), 6);
    // Read only: the selection stays.
    Cal->SetReadOnly(true);
    QTest::mouseClick(Cal->viewport(), Qt::LeftButton, {}, Cal->CellRect(4, 3).center());
    EXPECT_EQ(Cal->CalendarDate(), D(2024, 9, 8));
}

TEST_F(Calendar, CellsFillTheControl)
{
    const QSize s = Cal->viewport()->size();
    EXPECT_EQ(Cal->ColWidths(0), s.width() / 7) << "no grid lines on the form's calendar";
    Cal->SetShowGridLines(true);
    EXPECT_TRUE(Cal->ShowGridLines());
    EXPECT_EQ(Cal->ColWidths(0), (s.width() - 6 * Cal->GridLineWidth()) / 7);
}
