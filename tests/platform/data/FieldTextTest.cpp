#include "DataSetTestUtil.h"

#include "platform/data/BooleanField.h"
#include "platform/data/DateTimeField.h"
#include "platform/data/EDatabaseError.h"
#include "platform/data/StringField.h"
#include "platform/rtl/FormatSettings.h"

#include <gtest/gtest.h>

namespace {

// Texts are written with fixed settings: comma decimals, dd.mm.yyyy, hh:nn:ss.
class FieldText : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSaved = FormatSettings::Default();
        FormatSettings fs = FormatSettings::Invariant();
        fs.DecimalSeparator = QLatin1Char(',');
        FormatSettings::SetDefault(fs);
        ds.FieldDefs().Add("I", TFieldType::ftInteger);
        ds.FieldDefs().Add("F", TFieldType::ftFloat);
        ds.FieldDefs().Add("DT", TFieldType::ftDateTime);
        ds.FieldDefs().Add("D", TFieldType::ftDate);
        ds.FieldDefs().Add("T", TFieldType::ftTime);
        ds.FieldDefs().Add("B", TFieldType::ftBoolean);
        ds.FieldDefs().Add("S", TFieldType::ftString, 5);
        ds.FieldDefs().Add("M", TFieldType::ftMemo);
        ds.FieldDefs().Add("L", TFieldType::ftLargeint);
        ds.CreateDataSet();
        ds.Append();
    }
    void TearDown() override { FormatSettings::SetDefault(FSaved); }
    TField* F(const char* name) { return ds.FieldByName(QString::fromUtf8(name)); }

    TClientDataSet ds;

private:
    FormatSettings FSaved;
};

TEST_F(FieldText, DefaultTexts)
{
    const struct {
        const char* field;
        Value value;
        const char* text;
        const char* displayText;
    } cases[] = {
        { "I", -42, "-42", "-42" },
        { "F", 1.5, "1,5", "1,5" },
        { "F", 1.0 / 3.0, "0,333333333333333", "0,333333333333333" },
        { "F", 123456789.125, "123456789,125", "123456789,125" },
        { "DT", DateTime::EncodeDate(2024, 3, 7), "07.03.2024", "07.03.2024" },
        { "DT", DateTime::EncodeDateTime(2024, 3, 7, 8, 5, 9), "07.03.2024 08:05:09", "07.03.2024 08:05:09" },
        { "D", DateTime::EncodeDateTime(2024, 3, 7, 8, 5, 9), "07.03.2024", "07.03.2024" },
        { "T", DateTime::EncodeTime(8, 5, 9), "08:05:09", "08:05:09" },
        { "B", true, "True", "True" },
        { "B", false, "False", "False" },
        { "S", "abcdefg", "abcde", "abcde" },
        { "M", "long text", "long text", "(MEMO)" },
        { "L", Value::LargeInt(5000000000LL), "5000000000", "5000000000" },
        { "I", Value(), "", "" },
    };
    for (const auto& c : cases) {
        TField* f = F(c.field);
        f->SetValue(c.value);
        EXPECT_EQ(f->Text(), QString::fromUtf8(c.text)) << c.field;
        EXPECT_EQ(f->DisplayText(), QString::fromUtf8(c.displayText)) << c.field;
    }
}

TEST_F(FieldText, DisplayFormatAndHandlers)
{
    F("F")->SetAsFloat(1234.5);
    F("F")->SetDisplayFormat("#,##0.00");
    EXPECT_EQ(F("F")->DisplayText(), "1,234,50");
    EXPECT_EQ(F("F")->Text(), "1234,5");
    F("DT")->SetAsDateTime(DateTime::EncodeDateTime(2024, 3, 7, 8, 5, 0));
    F("DT")->SetDisplayFormat("yyyy-mm-dd hh:nn");
    EXPECT_EQ(F("DT")->DisplayText(), "2024-03-07 08:05");
    // A null integer read by a handler counts as 0.
    F("I")->OnGetText = [](TField* f, QString& text, bool display) {
        text = QStringLiteral("%1:%2").arg(f->AsInteger()).arg(display ? "d" : "e");
    };
    EXPECT_EQ(F("I")->DisplayText(), "0:d");
    EXPECT_EQ(F("I")->Text(), "0:e");
    QString seen;
    F("S")->OnSetText = [&](TField* f, const QString& text) {
        seen = text;
        f->SetAsString(text.toUpper());
    };
    F("S")->SetText("ab");
    EXPECT_EQ(seen, "ab");
    EXPECT_EQ(F("S")->AsString(), "AB");
}

TEST_F(FieldText, TextInput)
{
    F("F")->SetText("2,75");
    EXPECT_DOUBLE_EQ(F("F")->AsFloat(), 2.75);
    EXPECT_THROW(F("F")->SetText("2.75x"), Exception);
    EXPECT_DOUBLE_EQ(F("F")->AsFloat(), 2.75);
    F("D")->SetText("09.10.2023");
    EXPECT_EQ(F("D")->AsDateTime(), DateTime::EncodeDate(2023, 10, 9));
    EXPECT_THROW(F("D")->SetText("32.10.2023"), Exception);
    F("B")->SetText("false");
    EXPECT_FALSE(F("B")->AsBoolean());
    EXPECT_FALSE(F("B")->IsNull());
    F("B")->SetText("");
    EXPECT_TRUE(F("B")->IsNull());
    EXPECT_THROW(F("B")->SetText("maybe"), Exception);
    F("I")->SetText(" 17 ");
    EXPECT_EQ(F("I")->AsInteger(), 17);
    EXPECT_THROW(F("I")->SetText("99999999999"), Exception);
}

TEST_F(FieldText, RestrictedFields)
{
    TField* s = F("S");
    s->SetAsString("abc");
    s->SetRestricted(TFieldRestrictType::frtView);
    EXPECT_EQ(s->Text(), "");
    EXPECT_EQ(s->DisplayText(), "");
    s->SetText("xyz");
    EXPECT_EQ(s->AsString(), "abc") << "text assignment is ignored";
    s->SetRestricted(TFieldRestrictType::frtEdit);
    EXPECT_EQ(s->Text(), "abc");
    EXPECT_EQ(s->DisplayText(), "abc");
    s->SetText("xyz");
    EXPECT_EQ(s->AsString(), "abc");
    s->OnGetText = [](TField*, QString& text, bool) { text = "handler"; };
    s->SetRestricted(TFieldRestrictType::frtView);
    EXPECT_EQ(s->DisplayText(), "") << "a restricted view hides even a handler's text";
    s->SetRestricted(TFieldRestrictType::frtNone);
    s->OnGetText = nullptr;
    s->SetText("xyz");
    EXPECT_EQ(s->AsString(), "xyz");
}

TEST_F(FieldText, DateNullValueModes)
{
    auto* dt = dynamic_cast<TDateTimeField*>(F("DT"));
    ASSERT_NE(dt, nullptr);
    const double maxDate = DateTime::EncodeDate(3000, 1, 1).Days();
    ASSERT_EQ(TDateTimeField::MaxDate(), maxDate);
    const Value null;
    const Value values[] = { null, 0.0, 1.5, 2.0, DateTime::EncodeDate(1900, 1, 2).Days(),
                             DateTime::EncodeDate(2999, 12, 31).Days(), maxDate, -1.0 };
    // Expected IsNullValue per mode, one character per value above.
    const struct {
        TDateNullValue mode;
        const char* isNull;
    } modes[] = {
        { TDateNullValue::dnvNull, "10000000" },
        { TDateNullValue::dnvMinDat, "01110000" },
        { TDateNullValue::dnvMaxDat, "00000010" },
        { TDateNullValue::dnvBoth, "01110010" },
        { TDateNullValue::dnvMinDatNull, "11110000" },
        { TDateNullValue::dnvMaxDatNull, "10000010" },
        { TDateNullValue::dnvBothNull, "11110010" },
    };
    for (const auto& m : modes) {
        dt->SetNullValue(m.mode);
        for (size_t i = 0; i < std::size(values); ++i) {
            dt->SetValue(values[i]);
            const bool expected = m.isNull[i] == '1';
            EXPECT_EQ(dt->IsNullValue(), expected) << int(m.mode) << " value " << i;
            // The texts agree with IsNullValue on what counts as "no date".
            if (!values[i].IsNull() && m.mode != TDateNullValue::dnvNull)
                EXPECT_EQ(dt->DisplayText().isEmpty(), expected) << int(m.mode) << " value " << i;
        }
    }
    dt->SetNullValue(TDateNullValue::dnvBoth);
    dt->SetAsDateTime(DateTime::EncodeDate(2999, 12, 31));
    EXPECT_EQ(dt->DisplayText(), "31.12.2999");
    dt->SetAsDateTime(DateTime(maxDate));
    EXPECT_EQ(dt->Text(), "");
}

TEST_F(FieldText, AssignCopiesValueAndKind)
{
    TClientDataSet other;
    other.FieldDefs().Add("S", TFieldType::ftString, 5);
    other.FieldDefs().Add("DT", TFieldType::ftDateTime);
    other.CreateDataSet();
    other.Append();
    auto* src = dynamic_cast<TStringField*>(other.FieldByName("S"));
    src->SetAsString("url");
    src->SetFieldContents(TStringFieldContents::sfcURL);
    auto* dst = dynamic_cast<TStringField*>(F("S"));
    EXPECT_EQ(dst->FieldContents(), TStringFieldContents::sfcGeneral);
    dst->Assign(*src);
    EXPECT_EQ(dst->AsString(), "url");
    EXPECT_EQ(dst->FieldContents(), TStringFieldContents::sfcURL);
    auto* dsrc = dynamic_cast<TDateTimeField*>(other.FieldByName("DT"));
    dsrc->SetNullValue(TDateNullValue::dnvMaxDat);
    dsrc->SetFieldContents(TDateFieldContents::dfcDateTime);
    auto* ddst = dynamic_cast<TDateTimeField*>(F("DT"));
    ddst->Assign(*dsrc);
    EXPECT_EQ(ddst->NullValue(), TDateNullValue::dnvMaxDat);
    EXPECT_EQ(ddst->FieldContents(), TDateFieldContents::dfcDateTime);
    EXPECT_TRUE(ddst->IsNull());
}

TEST_F(FieldText, PropertiesAndDefaults)
{
    EXPECT_EQ(F("I")->Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(F("S")->Alignment(), TAlignment::taLeftJustify);
    EXPECT_EQ(F("S")->DisplayWidth(), 5);
    EXPECT_EQ(F("S")->DisplayLabel(), "S");
    EXPECT_TRUE(F("S")->Visible());
    EXPECT_EQ(F("S")->Restricted(), TFieldRestrictType::frtNone);
    EXPECT_THROW(F("S")->SetFieldName("X"), EDatabaseError) << "renaming needs a closed dataset";
    auto* b = dynamic_cast<TBooleanField*>(F("B"));
    b->SetDisplayValues("Jā;Nē");
    b->SetAsBoolean(false);
    EXPECT_EQ(b->DisplayText(), "Nē");
    EXPECT_THROW(b->SetDisplayValues("Jā"), EDatabaseError);
}

} // namespace
