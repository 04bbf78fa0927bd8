#include "DataSetTestUtil.h"

#include "platform/data/EDatabaseError.h"
#include "platform/data/IntegerField.h"
#include "platform/data/StringField.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Species (KODS, GRUPA, NOSAUKUMS) and logs whose NOS1 looks a name up by SUGA alone and NOS2
// by SUGA and GRUPA together.
struct LookupFixture {
    std::unique_ptr<TClientDataSet> species = std::make_unique<TClientDataSet>();
    TClientDataSet logs;
    std::shared_ptr<TStringField> nos1, nos2;

    LookupFixture()
    {
        species->FieldDefs().Add("KODS", TFieldType::ftInteger);
        species->FieldDefs().Add("GRUPA", TFieldType::ftInteger);
        species->FieldDefs().Add("NOSAUKUMS", TFieldType::ftString, 20);
        species->CreateDataSet();
        species->AppendRecord({Value(1), Value(1), Value(QStringLiteral("Priede"))});
        species->AppendRecord({Value(2), Value(1), Value(QStringLiteral("Egle"))});
        species->AppendRecord({Value(1), Value(2), Value(QString::fromUtf8("Bērzs"))});

        logs.FieldDefs().Add("SUGA", TFieldType::ftInteger);
        logs.FieldDefs().Add("GRUPA", TFieldType::ftInteger);
        for (const auto& name : {"SUGA", "GRUPA"}) {
            auto f = std::make_shared<TIntegerField>();
            f->SetFieldName(name);
            logs.AddField(f);
        }
        nos1 = MakeLookup("NOS1", "SUGA", "KODS");
        nos2 = MakeLookup("NOS2", "SUGA;GRUPA", "KODS;GRUPA");
        logs.CreateDataSet();
    }

    std::shared_ptr<TStringField> MakeLookup(const char* name, const char* keys, const char* lookupKeys)
    {
        auto f = std::make_shared<TStringField>(20);
        f->SetFieldName(name);
        f->SetFieldKind(TFieldKind::fkLookup);
        f->SetKeyFields(keys);
        f->SetLookupDataSet(species.get());
        f->SetLookupKeyFields(lookupKeys);
        f->SetLookupResultField("NOSAUKUMS");
        logs.AddField(f);
        return f;
    }

    void AddLog(const Value& suga, const Value& grupa) { logs.AppendRecord({suga, grupa}); }
    Value Suga() const { return logs.FieldByName("SUGA")->Value(); }
    Value Grupa() const { return logs.FieldByName("GRUPA")->Value(); }
};

struct ReadCase {
    const char* name;
    Value suga, grupa;
    const char* field;
    std::optional<QString> expected; // nullopt: null
};

class LookupFieldRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LookupFieldRead, FindsTheResultByTheKeyFields)
{
    const ReadCase& c = GetParam();
    LookupFixture fx;
    fx.species->SetRecNo(3);
    fx.AddLog(c.suga, c.grupa);
    TField* f = fx.logs.FieldByName(c.field);
    EXPECT_TRUE(f->Lookup());
    EXPECT_EQ(f->FieldNo(), -1); // not a column of the record
    if (c.expected) {
        EXPECT_FALSE(f->IsNull());
        EXPECT_EQ(f->AsString(), *c.expected);
        EXPECT_EQ(f->DisplayText(), *c.expected);
    } else {
        EXPECT_TRUE(f->IsNull());
        EXPECT_EQ(f->DisplayText(), QString());
    }
    EXPECT_EQ(fx.species->RecNo(), 3); // looking up leaves the lookup dataset where it was
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupFieldRead,
    ::testing::Values(ReadCase{"Found", Value(2), Value(), "NOS1", QStringLiteral("Egle")},
                      ReadCase{"FirstOfSeveralWithTheKey", Value(1), Value(), "NOS1", QStringLiteral("Priede")},
                      ReadCase{"NotFound", Value(9), Value(1), "NOS1", std::nullopt},
                      ReadCase{"NullKey", Value(), Value(1), "NOS1", std::nullopt},
                      ReadCase{"TwoKeysFound", Value(1), Value(2), "NOS2", QString::fromUtf8("Bērzs")},
                      ReadCase{"TwoKeysOtherRecord", Value(1), Value(1), "NOS2", QStringLiteral("Priede")},
                      ReadCase{"TwoKeysOneNull", Value(1), Value(), "NOS2", std::nullopt},
                      ReadCase{"TwoKeysNotFound", Value(2), Value(2), "NOS2", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    const char* field;
    Value value;
    Value suga, grupa; // the keys afterwards
    bool raises;
};

class LookupFieldWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(LookupFieldWrite, WritesTheKeysOfTheValue)
{
    const WriteCase& c = GetParam();
    LookupFixture fx;
    fx.AddLog(Value(2), Value(1));
    fx.logs.Edit();
    TField* f = fx.logs.FieldByName(c.field);
    if (c.raises)
        EXPECT_THROW(f->SetValue(c.value), EDatabaseError);
    else
        f->SetValue(c.value);
    EXPECT_EQ(fx.Suga(), c.suga);
    EXPECT_EQ(fx.Grupa(), c.grupa);
    fx.logs.Post();
    EXPECT_EQ(fx.Suga(), c.suga);
    EXPECT_EQ(f->Value(), c.raises ? Value(QStringLiteral("Egle")) : c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupFieldWrite,
    ::testing::Values(WriteCase{"OneKey", "NOS1", Value(QStringLiteral("Priede")), Value(1), Value(1), false},
                      WriteCase{"TwoKeys", "NOS2", Value(QString::fromUtf8("Bērzs")), Value(1), Value(2), false},
                      WriteCase{"NullClearsTheKeys", "NOS2", Value(), Value(), Value(), false},
                      WriteCase{"UnknownValueRaisesAndKeepsTheKeys", "NOS1", Value(QStringLiteral("Ozols")),
                                Value(2), Value(1), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LookupField, FollowsChangesOfTheLookupDataSet)
{
    LookupFixture fx;
    fx.AddLog(Value(2), Value(1));
    TField* nos1 = fx.nos1.get();
    ASSERT_EQ(nos1->AsString(), "Egle");

    ASSERT_TRUE(fx.species->Locate("KODS", Value(2)));
    fx.species->Edit();
    fx.species->FieldByName("NOSAUKUMS")->SetAsString("Egle parastā");
    fx.species->Post();
    EXPECT_EQ(nos1->AsString(), "Egle parastā");

    fx.species->Delete();
    EXPECT_TRUE(nos1->IsNull());

    fx.species->AppendRecord({Value(2), Value(1), Value(QStringLiteral("Egle"))});
    EXPECT_EQ(nos1->AsString(), "Egle");
    fx.species->Close();
    EXPECT_TRUE(nos1->IsNull());
    fx.species.reset(); // a destroyed lookup dataset reads as none, never as freed memory
    EXPECT_TRUE(nos1->IsNull());
    EXPECT_EQ(nos1->LookupDataSet(), nullptr);
}

TEST(LookupField, ReadsTheRecordALinkIsPainting)
{
    LookupFixture fx;
    fx.AddLog(Value(1), Value(2));
    fx.AddLog(Value(2), Value(1));
    fx.logs.First();
    const char* const expected[] = {"Priede", "Egle"};
    for (int pos = 0; pos < 2; ++pos) {
        fx.logs.SetReadPosition(pos);
        EXPECT_EQ(fx.nos1->DisplayText(), QString::fromUtf8(expected[pos]));
    }
    fx.logs.SetReadPosition(0);
}

TEST(LookupField, TextWritesKeysOnlyInEditMode)
{
    LookupFixture fx;
    fx.AddLog(Value(2), Value(1));
    EXPECT_THROW(fx.nos1->SetText("Priede"), EDatabaseError);
    fx.logs.Edit();
    fx.nos1->SetText("Priede");
    fx.logs.Cancel();
    EXPECT_EQ(fx.Suga(), Value(2));
    EXPECT_EQ(fx.nos1->AsString(), "Egle");
}

} // namespace
