#include "base/EDatePeriodError.h"
#include "base/KpDaTi.h"
#include "QtPrinters.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/EConvertError.h"
#include "platform/rtl/FormatSettings.h"

#include "platform/data/DateTimeField.h"
#include "platform/data/IntegerField.h"
#include <gtest/gtest.h>

namespace {

DateTime D(int y, int m, int d)
{
    return DateTime::EncodeDate(y, m, d);
}

class KpDaTiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FormatSettings fs = FormatSettings::Invariant();
        fs.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
        fs.DateSeparator = QLatin1Char('.');
        fs.ShortTimeFormat = QStringLiteral("hh:nn");
        FormatSettings::SetDefault(fs);
        Clock::SetFixed(DateTime::EncodeDateTime(2026, 7, 14, 9, 0, 0));
    }
    void TearDown() override
    {
        Clock::Reset();
        FormatSettings::SetDefault(FormatSettings::Invariant());
    }
};

TEST_F(KpDaTiTest, BoundsAndCalendarHelpers)
{
    EXPECT_EQ(KpDaTi::MinDate, D(1900, 1, 1));
    EXPECT_EQ(KpDaTi::MaxDate, D(3000, 1, 1));
    EXPECT_EQ(KpDaTi::EmptyDate, D(1, 1, 1));
    EXPECT_EQ(KpDaTi::FirstdayofMonth(DateTime::EncodeDateTime(2024, 2, 17, 13, 0, 0)), D(2024, 2, 1));
    EXPECT_EQ(KpDaTi::LastdayofMonth(D(2024, 2, 17)), D(2024, 2, 29));
    EXPECT_EQ(KpDaTi::LastdayofYear(D(2023, 5, 5)), D(2023, 12, 31));
    EXPECT_EQ(KpDaTi::DateToStrISO(D(2024, 3, 5)), QStringLiteral("20240305"));
    EXPECT_EQ(KpDaTi::StrToDateISO(QStringLiteral("20240305")), D(2024, 3, 5));
    EXPECT_THROW(KpDaTi::StrToDateISO(QStringLiteral("20241305")), EConvertError);
    EXPECT_EQ(KpDaTi::EKGetDateElementS(D(2024, 3, 5), 2), QStringLiteral("3"));
    EXPECT_EQ(KpDaTi::EKGetDateElementS(D(2024, 3, 5), 4), QString());
    EXPECT_EQ(KpDaTi::NoAccent(QStringLiteral("Ķīša ūdens")), QStringLiteral("Kisa udens"));
}

TEST_F(KpDaTiTest, ShortFormatWithoutTheDay)
{
    EXPECT_EQ(KpDaTi::ActualShortDateFormat(true, false), QStringLiteral("mm.yyyy"));
    EXPECT_EQ(KpDaTi::ActualShortDateFormat(true, true), QStringLiteral("mm.yyyy hh:nn"));
    EXPECT_EQ(KpDaTi::ActualShortDateFormat(false, false), QStringLiteral("dd.mm.yyyy"));
    EXPECT_EQ(KpDaTi::ActualShortDateFormat(true, false, QStringLiteral("yyyy.mm.dd")),
              QStringLiteral("yyyy.mm"));
    EXPECT_EQ(KpDaTi::ActualShortDateFormat(true, false, QStringLiteral("d.m.yyyy")),
              QStringLiteral("m.yyyy"));
    EXPECT_TRUE(KpDaTi::IsFormatMonthOnly(QStringLiteral("mm.yyyy")));
    EXPECT_TRUE(KpDaTi::IsFormatMonthOnly(QStringLiteral("d.mm.yyyy")));
    EXPECT_FALSE(KpDaTi::IsFormatMonthOnly(QStringLiteral("DD.MM.YYYY")));
    EXPECT_FALSE(KpDaTi::IsFormatMonthOnly(QString()));
}

struct PeriodCase
{
    DateTime date;
    TInterimType type;
    const char* suffix;
    bool monthOnly;
    const char* stored;
    DateTime readBack;
};

TEST_F(KpDaTiTest, PeriodDatesReadBackAsStored)
{
    using T = TInterimType;
    const PeriodCase cases[] = {
        {D(2024, 3, 1), T::InterimBeforeFirst, "01", false, "2024022901", D(2024, 3, 1)},
        // a plain day stored by a start field reads back the same day
        {D(2024, 3, 15), T::InterimBeforeFirst, "01", false, "2024031500", D(2024, 3, 15)},
        {D(2024, 3, 1), T::InterimBeforeFirst, "00", false, "2024030100", D(2024, 3, 1)},
        {D(2024, 3, 15), T::InterimBeforeFirst, "03", true, "2024022903", D(2024, 3, 1)},
        {D(2024, 3, 31), T::InterimAfterLast, "02", false, "2024033102", D(2024, 3, 31)},
        {D(2024, 3, 30), T::InterimAfterLast, "02", false, "2024033000", D(2024, 3, 30)},
        {D(2024, 3, 15), T::InterimNo, "07", false, "2024031500", D(2024, 3, 15)},
    };
    for (const auto& c : cases) {
        const QString stored = KpDaTi::GetDateValueInStringWithInterim(
            c.date, c.type, QString::fromUtf8(c.suffix), c.monthOnly, false);
        EXPECT_EQ(stored, QString::fromUtf8(c.stored));
        EXPECT_EQ(KpDaTi::GetDateValueInDateTimeWithInterim(stored, c.type), c.readBack) << c.stored;
    }
    EXPECT_EQ(KpDaTi::GetDateValueInStringWithInterim(
                  DateTime::EncodeDateTime(2024, 3, 15, 10, 45, 30), TInterimType::InterimNo,
                  QStringLiteral("00"), false, true),
              QStringLiteral("20240315104500"));
    EXPECT_EQ(KpDaTi::GetDateValueInDateTimeWithInterim(QStringLiteral("20240315104500"),
                                                        TInterimType::InterimNo),
              DateTime::EncodeDateTime(2024, 3, 15, 10, 45, 0));
    EXPECT_EQ(KpDaTi::GetDateValueInDateTimeWithInterim(QStringLiteral("202403150"),
                                                        TInterimType::InterimNo).Days(), 0.0);
    EXPECT_EQ(KpDaTi::GetDateValueInStringWithInterim(D(2024, 3, 31), TInterimType::InterimAfterLast,
                                                      QStringLiteral("5"), false, false),
              QStringLiteral("202403315 "));
}

TEST_F(KpDaTiTest, SuffixesAndDisplay)
{
    using T = TInterimType;
    EXPECT_EQ(KpDaTi::DefaultInterimValue(T::InterimAfterLast, true), QStringLiteral("01"));
    EXPECT_EQ(KpDaTi::DefaultInterimValue(T::InterimAfterLast, false), QStringLiteral("00"));
    EXPECT_EQ(KpDaTi::DefaultInterimValue(T::InterimNo, true), QStringLiteral("00"));
    EXPECT_EQ(KpDaTi::GetInterimValueDef(QStringLiteral("2024033102"), T::InterimNo, false),
              QStringLiteral("02"));
    EXPECT_EQ(KpDaTi::GetInterimValueDef(QStringLiteral("20240331x2"), T::InterimAfterLast, true),
              QStringLiteral("01"));
    const DateTime d = D(2024, 3, 31);
    EXPECT_EQ(KpDaTi::GetInterimDisplayText(d, T::InterimAfterLast, QStringLiteral("02"), false, false),
              QStringLiteral("31.03.2024BP02"));
    EXPECT_EQ(KpDaTi::GetInterimDisplayText(d, T::InterimAfterLast, QStringLiteral("00"), false, false),
              QStringLiteral("31.03.2024"));
    EXPECT_EQ(KpDaTi::GetInterimDisplayText(d, T::InterimBeforeFirst, QStringLiteral("01"), false, false),
              QStringLiteral("31.03.2024SP01"));
    EXPECT_EQ(KpDaTi::GetInterimDisplayText(d, T::InterimBeforeFirst, QStringLiteral("01"), true, false),
              QStringLiteral("03.2024"));
    for (DateTime empty : {DateTime(0.0), KpDaTi::MinDate, KpDaTi::MaxDate})
        EXPECT_EQ(KpDaTi::GetInterimDisplayText(empty, T::InterimNo, QStringLiteral("00"), false, false),
                  QString());
}

TEST_F(KpDaTiTest, PeriodEntry)
{
    using T = TInterimType;
    const struct
    {
        const char* input;
        T type;
        bool interimOnly;
        bool monthOnly;
        const char* expected;
    } cases[] = {
        {"01.03.2024sp5", T::InterimBeforeFirst, false, false, "2024022905"},
        {"01.03.2024 SP12", T::InterimBeforeFirst, false, false, "2024022912"},
        {"01.03.2024spx", T::InterimBeforeFirst, true, false, "2024022901"},
        {"01.03.2024spx", T::InterimBeforeFirst, false, false, "2024030100"},
        {"31.03.2024BP2", T::InterimAfterLast, false, false, "2024033102"},
        {"15.03.2024", T::InterimAfterLast, true, false, "2024022900"},
        {"15.03.2024", T::InterimBeforeFirst, true, false, "2024030100"},
        {"  ", T::InterimNo, false, false, ""},
        {"01.01.3000", T::InterimNo, false, false, "3000010100"},
        {"3.2024", T::InterimNo, false, true, "2024030100"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KpDaTi::ValidateInterimDateInput(QString::fromUtf8(c.input), c.type, c.interimOnly,
                                                   c.monthOnly),
                  QString::fromUtf8(c.expected))
            << c.input;
    try {
        KpDaTi::ValidateInterimDateInput(QStringLiteral("02.01.3000"), T::InterimNo, false, false);
        FAIL();
    } catch (const EDatePeriodError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Datums 02.01.3000 ir ārpus pieļaujamā perioda!"));
    }
}

TEST_F(KpDaTiTest, TolerantDateEntryWithAFixedClock)
{
    const struct
    {
        const char* input;
        DateTime expected;
    } cases[] = {
        {"050326", D(2026, 3, 5)},   {"5.3", D(2026, 3, 5)},       {"5.3.47", D(1947, 3, 5)},
        {"5.3.46", D(2046, 3, 5)},   {"05.03.2024", D(2024, 3, 5)}, {"5", D(2026, 7, 5)},
        {"0503", D(2026, 3, 5)},     {"531", D(2021, 3, 5)},       {"1203", D(2026, 3, 12)},
        {"05032024", D(2024, 3, 5)}, {"5.3.998", D(1998, 3, 5)},   {"5.3.5", D(2025, 3, 5)},
        {"451999", D(1999, 5, 4)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KpDaTi::StrToDateEx(QString::fromUtf8(c.input), false, false, true), c.expected)
            << c.input;
    EXPECT_EQ(KpDaTi::StrToDateEx(QStringLiteral("5.3.2024 10:30"), false, true, true),
              DateTime::EncodeDateTime(2024, 3, 5, 10, 30, 0));
    EXPECT_EQ(KpDaTi::StrToDateEx(QStringLiteral("03.2024"), true, false, true), D(2024, 3, 1));
    EXPECT_EQ(KpDaTi::StrToDateEx(QStringLiteral("17.03.2024"), true, false, true), D(2024, 3, 1));
    EXPECT_EQ(KpDaTi::SmartStrToDateEx(QStringLiteral(" "), false, false, true).Days(), 0.0);

    const struct
    {
        const char* input;
        const char* message;
    } bad[] = {
        {"5x3", "Nepareizs datums! Jābūt formātā: dd.mm.yyyy"},
        {"1.2.3.4", "Nepareizs datums! Jābūt formātā: dd.mm.yyyy"},
        {"31.02.2024", "Nepareizs datums! Jābūt formātā: dd.mm.yyyy - 31.02.2024"},
        {"0.3.2024", "Nepareizs datums! - 00.03.2024"},
    };
    for (const auto& b : bad) {
        try {
            KpDaTi::StrToDateEx(QString::fromUtf8(b.input), false, false, true);
            ADD_FAILURE() << b.input;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(b.message)) << b.input;
        }
    }
}

TEST_F(KpDaTiTest, SmartCompletionOfPartlyTypedDates)
{
    const struct
    {
        const char* input;
        const char* expected;
    } cases[] = {
        {"5", "05.07.2026"}, {"5-3", "05.03.2026"}, {"05032024", "05.03.2024"},
        {"5/3/99", "05.03.1999"}, {"5.3.51", "05.03.2051"}, // read directly: two-digit years by the century window
        {"5-3-50", "05.03.2050"}, {"5-3-51", "05.03.1951"}, {"5,3,123", "05.03.2023"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KpDaTi::EKSmartDate(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected))
            << c.input;
    EXPECT_THROW(KpDaTi::EKSmartDate(QStringLiteral("5.3.20245")), EConvertError);
    EXPECT_THROW(KpDaTi::EKSmartDate(QStringLiteral("0.3.2024")), EConvertError);
}


TEST_F(KpDaTiTest, MonthOnlyFields)
{
    TDateTimeField date;
    EXPECT_FALSE(KpDaTi::IsFieldMonthOnly(&date)); // empty format: the short date format
    date.SetDisplayFormat(QStringLiteral("mm.yyyy"));
    EXPECT_TRUE(KpDaTi::IsFieldMonthOnly(&date));
    date.SetDisplayFormat(QStringLiteral("d.mm.yyyy"));
    EXPECT_TRUE(KpDaTi::IsFieldMonthOnly(&date));
    TIntegerField number;
    number.SetDisplayFormat(QStringLiteral("mm"));
    EXPECT_FALSE(KpDaTi::IsFieldMonthOnly(&number));
    EXPECT_FALSE(KpDaTi::IsFieldMonthOnly(nullptr));
}

} // namespace
