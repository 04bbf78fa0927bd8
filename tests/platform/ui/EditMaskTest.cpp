#include "platform/rtl/FormatSettings.h"
#include "platform/ui/EditMask.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// The data layer's masks as the line edit takes them, and the text stored from what is shown.
TEST(EditMask, MasksBecomeInputMasksAndLiteralsAreStoredOnlyWhenAsked)
{
    const FormatSettings saved = FormatSettings::Default();
    FormatSettings fs = FormatSettings::Invariant();
    fs.DateSeparator = QLatin1Char('.');
    fs.TimeSeparator = QLatin1Char(':');
    FormatSettings::SetDefault(fs);
    struct Case {
        const char* mask;
        const char* inputMask;
        bool saves;
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"", "", true, "abc", "abc"},
        {"!00/00/0000;1;_", "99\\.99\\.9999;_", true, "01022024", "01.02.2024"},
        {"!00/00/0000;0;_", "99\\.99\\.9999;_", false, "01022024", "01022024"},
        {"00:00;0; ", "99\\:99; ", false, "1230", "1230"},
        {"LL-0099;0;*", "AA\\-9900;*", false, "LV12", "LV12"},
        {">L<l;1;_", ">A<a;_", true, "aB", "Ab"},
        {"\\A9;1;_", "\\A0;_", true, "7", "A7"},
        {"<>Cc#;1;_", "!Xx#;_", true, "q-", "q-"},
    };
    for (const Case& c : cases) {
        const TEditMask mask{QString::fromLatin1(c.mask)};
        EXPECT_EQ(mask.InputMask(), QString::fromLatin1(c.inputMask)) << c.mask;
        EXPECT_EQ(mask.SavesLiterals(), c.saves) << c.mask;
        QLineEdit edit;
        edit.setInputMask(mask.InputMask());
        edit.setText(QString());
        edit.setCursorPosition(0);
        edit.insert(QString::fromLatin1(c.typed));
        const QString stored = mask.IsEmpty() || mask.SavesLiterals() ? edit.text() : mask.StoredText(edit.displayText());
        EXPECT_EQ(stored, QString::fromLatin1(c.stored)) << c.mask;
    }
    FormatSettings::SetDefault(saved);
}

} // namespace
