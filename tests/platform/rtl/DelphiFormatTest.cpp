#include "platform/rtl/Clock.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/EConvertError.h"

#include <gtest/gtest.h>

namespace {

FormatSettings Latvian()
{
    FormatSettings fs = FormatSettings::Invariant();
    fs.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    fs.DateSeparator = QLatin1Char('.');
    fs.DecimalSeparator = QLatin1Char(',');
    fs.ThousandSeparator = QChar(0xA0);
    return fs;
}

FormatSettings American()
{
    FormatSettings fs = FormatSettings::Invariant();
    fs.ShortDateFormat = QStringLiteral("m/d/yyyy");
    fs.DateSeparator = QLatin1Char('/');
    fs.ShortTimeFormat = QStringLiteral("h:nn AMPM");
    return fs;
}

TEST(DelphiFormatTest, DateTimePatterns)
{
    const FormatSettings fs = Latvian();
    const DateTime dt = DateTime::EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
    const struct
    {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"dd.mm.yyyy", "05.03.2024"},
        {"d/m/yy", "5.3.24"},
        {"hh:nn", "14:07"},
        {"hh:mm:ss.zzz", "14:07:09.045"}, // m after h is minutes
        {"yyyy-mm-dd hh:nn", "2024-03-05 14:07"},
        {"mmm mmmm ddd dddd", "Mar March Tue Tuesday"},
        {"h:nn am/pm", "2:07 pm"},
        {"\"day\" d", "day 5"},
        {"c", "05.03.2024 14:07:09"},
        {"", "05.03.2024 14:07:09"},
        {"ddddd t", "05.03.2024 14:07"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.pattern), dt, fs), QString::fromUtf8(c.expected))
            << c.pattern;
    EXPECT_EQ(DateTimeToStr(DateTime::EncodeDate(2024, 3, 5), fs), QStringLiteral("05.03.2024"));
}

TEST(DelphiFormatTest, FloatPatterns)
{
    const FormatSettings fs = Latvian();
    const struct
    {
        const char* pattern;
        double value;
        const char* expected;
    } cases[] = {
        {"#0.##", 2.5, "2,5"},
        {"#0.##", 3.0, "3"},
        {"#0.##", 0.004, "0"},
        {"0.00", 2.675, "2,68"},
        {"0.00", -1.005, "-1,01"},
        {"#,##0.0", 1234567.25, "1\u00a0234\u00a0567,3"},
        {"0.0", -0.04, "0,0"},
        {"000", 7, "007"},
        {"#.##", 0.5, ",5"},
        {"0.0;(0.0);zero", -2.25, "(2,3)"},
        {"0.0;(0.0);zero", 0.01, "zero"},
        {"0.00E+00", 12345, "1,23E+04"},
        {"\"x=\"0", 9.6, "x=10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(QString::fromUtf8(c.pattern), c.value, fs), QString::fromUtf8(c.expected))
            << c.pattern << " " << c.value;
}

TEST(DelphiFormatTest, FloatToStrUsesFifteenDigits)
{
    const FormatSettings fs = FormatSettings::Invariant();
    const struct
    {
        double value;
        const char* expected;
    } cases[] = {
        {0.1 + 0.2, "0.3"}, {1.0 / 3.0, "0.333333333333333"}, {100, "100"}, {-2.5, "-2.5"},
        {1.5e20, "1.5E20"}, {1e-7, "1E-7"}, {0.0001, "0.0001"}, {0, "0"},
        {123456789012345678.0, "1.23456789012346E17"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.value, fs), QString::fromUtf8(c.expected)) << c.value;
}

TEST(DelphiFormatTest, ParsingNumbers)
{
    const FormatSettings lv = Latvian();
    EXPECT_EQ(StrToInt(QStringLiteral(" 42 ")), 42);
    EXPECT_EQ(StrToInt(QStringLiteral("-2147483648")), -2147483647 - 1);
    EXPECT_EQ(StrToInt(QStringLiteral("$1F")), 31);
    EXPECT_EQ(StrToInt64(QStringLiteral("-9223372036854775808")), INT64_MIN);
    for (const char* bad : {"", "-", "2147483648", "1.0", "12a", "9223372036854775808"}) {
        int i;
        EXPECT_FALSE(TryStrToInt(QString::fromUtf8(bad), i)) << bad;
    }
    EXPECT_THROW(StrToInt(QStringLiteral("x")), EConvertError);
    EXPECT_EQ(StrToFloat(QStringLiteral("3,25"), lv), 3.25);
    EXPECT_EQ(StrToFloat(QStringLiteral("-1,5e2"), lv), -150.0);
    EXPECT_EQ(StrToFloat(QStringLiteral(",5"), lv), 0.5);
    for (const char* bad : {"3.25", "1,2,3", "e5", "1e", "1e999", "abc", ""}) {
        double d;
        EXPECT_FALSE(TryStrToFloat(QString::fromUtf8(bad), d, lv)) << bad;
    }
    // Past the double range by digits alone is an overflow, not zero; below it is zero.
    const QString huge = QStringLiteral("1") + QString(309, QLatin1Char('0'));
    for (const QString& bad : {huge, QStringLiteral("-") + huge, QStringLiteral("0,01e311"), huge + QStringLiteral(",5e-0")}) {
        double d = 7;
        EXPECT_FALSE(TryStrToFloat(bad, d, lv)) << bad.left(20).toStdString();
        EXPECT_THROW(StrToFloat(bad, lv), EConvertError);
    }
    EXPECT_EQ(StrToFloat(QStringLiteral("0,") + QString(400, QLatin1Char('0')) + QStringLiteral("1"), lv), 0.0);
    EXPECT_EQ(StrToFloat(QStringLiteral("1e-999"), lv), 0.0);
    EXPECT_EQ(StrToFloat(huge + QStringLiteral("e-1"), lv), 1e308);
}

TEST(DelphiFormatTest, ParsingDatesFollowsTheShortFormatAndAFixedClock)
{
    Clock::SetFixed(DateTime::EncodeDate(2026, 7, 1));
    const FormatSettings lv = Latvian();
    EXPECT_EQ(StrToDate(QStringLiteral("05.03.2024"), lv), DateTime::EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(QStringLiteral("5.3"), lv), DateTime::EncodeDate(2026, 3, 5));
    EXPECT_EQ(StrToDate(QStringLiteral("5.3.24"), lv), DateTime::EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(QStringLiteral("5.3.80"), lv), DateTime::EncodeDate(1980, 3, 5));
    EXPECT_EQ(StrToDate(QStringLiteral("3/5/2024"), American()), DateTime::EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDateTime(QStringLiteral("05.03.2024 14:07"), lv),
              DateTime::EncodeDateTime(2024, 3, 5, 14, 7, 0));
    EXPECT_EQ(StrToDateTime(QStringLiteral("2:30 PM"), American()), DateTime::EncodeTime(14, 30, 0));
    EXPECT_EQ(StrToTime(QStringLiteral("12:00:01,5"), lv), DateTime::EncodeTime(12, 0, 1, 5));
    for (const char* bad : {"31.02.2024", "05-03-2024", "1.2.3.4", "", "abc", "05.03.2024 25:00"}) {
        DateTime d;
        EXPECT_FALSE(TryStrToDateTime(QString::fromUtf8(bad), d, lv)) << bad;
    }
    EXPECT_THROW(StrToDate(QStringLiteral("32.01.2024"), lv), EConvertError);
    Clock::Reset();
}

TEST(DelphiFormatTest, FormatPlaceholders)
{
    const FormatSettings fs = FormatSettings::Invariant();
    EXPECT_EQ(Format(QStringLiteral("Fails \"%s\" nav atrasts!"), {Value("a.txt")}, fs),
              QStringLiteral("Fails \"a.txt\" nav atrasts!"));
    EXPECT_EQ(Format(QStringLiteral("%d-%d"), {Value(1), Value(-2)}, fs), QStringLiteral("1--2"));
    EXPECT_EQ(Format(QStringLiteral("%1:s %0:s %s"), {Value("a"), Value("b"), Value("c")}, fs),
              QStringLiteral("b a b"));
    EXPECT_EQ(Format(QStringLiteral("[%5d|%-4s|%.3d|%.2f|%x|%%]"),
                     {Value(42), Value("ab"), Value(7), Value(2.675), Value(255)}, fs),
              QStringLiteral("[   42|ab  |007|2.68|FF|%]"));
    EXPECT_EQ(Format(QStringLiteral("%n"), {Value(1234.5)}, fs), QStringLiteral("1,234.50"));
    EXPECT_THROW(Format(QStringLiteral("%s %s"), {Value("a")}, fs), EConvertError);
    EXPECT_THROW(Format(QStringLiteral("%d"), {Value("a")}, fs), EConvertError);
}

} // namespace
