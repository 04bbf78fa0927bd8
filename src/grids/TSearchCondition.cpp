#include "grids/TSearchCondition.h"

#include "platform/data/DataSet.h"
#include "platform/data/Field.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/FormatSettings.h"

#include <QDate>
#include <QDateTime>

namespace {

bool isDateType(TFieldType t)
{
    return t == TFieldType::ftDate || t == TFieldType::ftTime || t == TFieldType::ftDateTime;
}

bool typedNumber(const QString& Text, ::Value& Result)
{
    const QString t = Text.trimmed();
    qint64 whole = 0;
    if (TryStrToInt64(t, whole) && !t.startsWith(QLatin1Char('$')) && !t.contains(QLatin1String("0x"), Qt::CaseInsensitive)) {
        Result = ::Value::LargeInt(whole);
        return true;
    }
    // The search window lets "." through as well as the locale's separator.
    FormatSettings fs = FormatSettings::Default();
    double d = 0;
    if (TryStrToFloat(t, d, fs)) {
        Result = ::Value(d);
        return true;
    }
    fs.DecimalSeparator = QLatin1Char('.');
    if (TryStrToFloat(t, d, fs)) {
        Result = ::Value(d);
        return true;
    }
    return false;
}

bool typedDate(const QString& Text, TFieldType Type, ::Value& Result)
{
    const QString t = Text.trimmed();
    DateTime d;
    if (!TryStrToDateTime(t, d)) {
        const QDateTime iso = QDateTime::fromString(t, Qt::ISODate);
        if (iso.isValid())
            d = DateTime::FromQDateTime(iso);
        else if (const QDate day = QDate::fromString(t, Qt::ISODate); day.isValid())
            d = DateTime::FromQDate(day);
        else
            return false;
    }
    if (Type == TFieldType::ftDate)
        d = d.DateOf();
    Result = ::Value(d);
    return true;
}

} // namespace

TSearchCondition::TSearchCondition(TDataSet* DataSet, TRecordTest Test)
    : FDataSet(DataSet)
    , FKeep(DataSet, TDataSetGuard::Controls | TDataSetGuard::Filter)
    , FSavedFilterRecord(DataSet->OnFilterRecord)
{
    // An unfiltered dataset keeps its filter text for later; the Find operations would
    // still honour it, so it is set aside for the step. A filtered one narrows the search.
    if (!FDataSet->Filtered() && !FDataSet->Filter().isEmpty())
        FDataSet->SetFilter(QString());
    if (FDataSet->Filtered() && FSavedFilterRecord) {
        FDataSet->OnFilterRecord = [own = FSavedFilterRecord, test = std::move(Test)](TDataSet* ds, bool& accept) {
            own(ds, accept);
            accept = accept && test();
        };
    } else {
        FDataSet->OnFilterRecord = [test = std::move(Test)](TDataSet*, bool& accept) { accept = test(); };
    }
}

TSearchCondition::~TSearchCondition()
{
    FDataSet->OnFilterRecord = FSavedFilterRecord;
}

bool TSearchCondition::IsStringField(const TField* Field)
{
    const TFieldType t = Field->DataType();
    return t == TFieldType::ftString || t == TFieldType::ftFixedChar || t == TFieldType::ftWideString;
}

bool TSearchCondition::IsNumberField(const TField* Field)
{
    const TFieldType t = Field->DataType();
    return t == TFieldType::ftSmallint || t == TFieldType::ftInteger || t == TFieldType::ftWord
        || t == TFieldType::ftLargeint || t == TFieldType::ftFloat || t == TFieldType::ftCurrency
        || t == TFieldType::ftBCD;
}

bool TSearchCondition::TypedValue(const TField* Field, const QString& Text, ::Value& Result)
{
    if (IsNumberField(Field))
        return typedNumber(Text, Result);
    if (isDateType(Field->DataType()))
        return typedDate(Text, Field->DataType(), Result);
    // Texts, memos, booleans and the rest compare as the field's text.
    Result = ::Value(Text);
    return true;
}

bool TSearchCondition::CompareField(const TField* Field, const ::Value& Key, bool CaseInsensitive, int& Result)
{
    if (Key.IsNull())
        return false;
    const ::Value v = Field->Value();
    if (v.IsNull())
        return false;
    if (Key.IsString()) {
        const int c = QString::compare(Field->AsString(), Key.AsString(),
                                       CaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
        Result = c < 0 ? -1 : (c > 0 ? 1 : 0);
        return true;
    }
    Result = ::Value::Compare(v, Key, CaseInsensitive);
    return true;
}
