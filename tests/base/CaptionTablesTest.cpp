#include "QtPrinters.h"
#include "base/DialogCaptions.h"
#include "base/Vocabulary.h"
#include "base/W3Utils.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptionTables, DialogCaptionsInSlotOrder)
{
    const char* expected[DialogCaptionCount] = {
        "Warning", "Error", "Information", "Confirm",
        "&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help",
        "&Close",
        "&Jā", "&Nē", "&Labi", "&Atcelt", "Pā&rtraukt", "A&tkārtot", "&Ignorēt", "&Viss", "&Nē, visiem",
        "&Jā, visiem", "&Palīgā!"};
    for (int i = 0; i < DialogCaptionCount; ++i)
        EXPECT_EQ(DialogCaption(static_cast<TDialogCaption>(i)), QString::fromUtf8(expected[i])) << i;
    // The count covers every named caption: the last one is the last slot.
    EXPECT_EQ(static_cast<int>(TDialogCaption::LvHelp), DialogCaptionCount - 1);
}

TEST(CaptionTables, VocabularyAndSigns)
{
    const struct { TVocabularyWord Word; const char* Text; } rows[] = {
        {TVocabularyWord::Done, "Izpildīts"}, {TVocabularyWord::InProgress, "Notiek"},
        {TVocabularyWord::Copying, "Kopēšana"}, {TVocabularyWord::Yes, "Jā"}, {TVocabularyWord::No, "Nē"}};
    for (const auto& row : rows)
        EXPECT_EQ(VocabularyWord(row.Word), QString::fromUtf8(row.Text));

    EXPECT_STREQ(W3OptionalSign[false], "");
    EXPECT_STREQ(W3OptionalSign[true], "-");
    for (const auto& table : {W3Sign, W3ZoneSign}) {
        EXPECT_STREQ(table[false], "+");
        EXPECT_STREQ(table[true], "-");
    }
}

} // namespace
