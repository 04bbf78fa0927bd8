#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/FormatSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatSettingsTest, QtPatternsBecomeProgramPatterns)
{
    const struct
    {
        const char *qt, *ours;
    } cases[] = {
        {"dd.MM.yyyy", "dd.mm.yyyy"}, {"M/d/yy", "m/d/yy"},       {"HH:mm:ss", "hh:nn:ss"},
        {"h:mm AP", "h:nn ampm"},     {"d MMMM yyyy", "d mmmm yyyy"}, {"yyyy. 'gada' d.", "yyyy. \"gada\" d."},
        {"HH:mm:ss t", "hh:nn:ss"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatSettings::FromQtPattern(QString::fromUtf8(c.qt)).toStdString(), c.ours) << c.qt;
}

TEST(FormatSettingsTest, FilledFromAGivenLocale)
{
    const FormatSettings lv = FormatSettings::FromLocale(QLocale(QLocale::Latvian, QLocale::Latvia));
    EXPECT_EQ(lv.DecimalSeparator, QLatin1Char(','));
    EXPECT_EQ(lv.DateSeparator, QLatin1Char('.'));
    EXPECT_EQ(lv.TimeSeparator, QLatin1Char(':'));
    EXPECT_EQ(lv.LongMonthNames.size(), 12);
    EXPECT_EQ(lv.ShortDayNames.size(), 7);
    const DateTime d = DateTime::EncodeDate(2024, 3, 5);
    // Whatever the order of the locale's fields, its own short format reads back.
    EXPECT_EQ(StrToDate(DateToStr(d, lv), lv), d);

    const FormatSettings us = FormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.DecimalSeparator, QLatin1Char('.'));
    EXPECT_EQ(us.DateSeparator, QLatin1Char('/'));
    EXPECT_EQ(DateToStr(d, us), QStringLiteral("3/5/24"));
    EXPECT_EQ(StrToDate(QStringLiteral("3/5/2024"), us), d);
    EXPECT_EQ(FormatDateTime(QStringLiteral("t"), DateTime::EncodeTime(14, 5, 0), us),
              QStringLiteral("2:05 PM"));
}

TEST(FormatSettingsTest, DefaultIsReplaceableInPlace)
{
    const FormatSettings& current = FormatSettings::Default();
    FormatSettings fs = FormatSettings::Invariant();
    fs.DecimalSeparator = QLatin1Char(',');
    FormatSettings::SetDefault(fs);
    EXPECT_EQ(current.DecimalSeparator, QLatin1Char(','));
    EXPECT_EQ(FloatToStr(1.5), QStringLiteral("1,5"));
    FormatSettings::SetDefault(FormatSettings::Invariant());
    EXPECT_EQ(FloatToStr(1.5), QStringLiteral("1.5"));
}

} // namespace
