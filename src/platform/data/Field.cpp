#include "platform/data/Field.h"

#include "platform/data/DataSet.h"
#include "platform/data/EDatabaseError.h"
#include "platform/data/KpDbField.h"

namespace {

TFieldType StorageTypeOf(TFieldType t)
{
    switch (t) {
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
    case TFieldType::ftWideString:
    case TFieldType::ftMemo:
    case TFieldType::ftWideMemo:
    case TFieldType::ftBlob:
    case TFieldType::ftBytes:
        return TFieldType::ftString;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftBoolean:
        return TFieldType::ftInteger;
    case TFieldType::ftLargeint:
        return TFieldType::ftLargeint;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
        return TFieldType::ftFloat;
    case TFieldType::ftUnknown:
        break;
    }
    return TFieldType::ftString;
}

} // namespace

TField::TField(TFieldType dataType, int size)
    : FDataType(dataType)
    , FStorageType(StorageTypeOf(dataType))
    , FSize(size)
{
}

TField::~TField()
{
    if (FLookupDataSet)
        FLookupDataSet->RemoveFreeNotification(FLookupFreeId);
    if (FKpDbField) {
        FKpDbField->FieldGone();
        FKpDbField = nullptr;
    }
    auto notifications = std::move(FFreeNotifications);
    for (auto& [id, callback] : notifications)
        if (callback)
            callback(this);
}

void TField::SetFieldName(const QString& name)
{
    if (FDataSet && FDataSet->Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    FFieldName = name;
    if (FDataSet)
        FDataSet->ReindexFields();
}

void TField::SetSize(int size)
{
    if (FDataSet && FDataSet->Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    FSize = size;
}

void TField::SetFieldKind(TFieldKind kind)
{
    if (FDataSet && FDataSet->Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    FFieldKind = kind;
}

void TField::SetLookupDataSet(TDataSet* dataSet)
{
    if (dataSet == FLookupDataSet)
        return;
    if (FLookupDataSet)
        FLookupDataSet->RemoveFreeNotification(FLookupFreeId);
    FLookupDataSet = dataSet;
    FLookupFreeId = 0;
    // A lookup dataset destroyed first leaves the field reading null, not a dangling pointer.
    if (dataSet)
        FLookupFreeId = dataSet->AddFreeNotification([this](TDataSet*) { FLookupDataSet = nullptr; });
}

TField* TField::KeyField() const
{
    return Lookup() && FDataSet ? FDataSet->FindField(FKeyFields) : nullptr;
}

::Value TField::LookupValue() const
{
    if (!FDataSet || !FDataSet->Active() || !FLookupDataSet || !FLookupDataSet->Active())
        return ::Value();
    ValueArray keys;
    for (TField* key : FDataSet->GetFieldList(FKeyFields)) {
        ::Value v = key->Value();
        if (v.IsNull())
            return ::Value();
        keys.push_back(std::move(v));
    }
    if (keys.empty())
        return ::Value();
    const ::Value found =
        FLookupDataSet->Lookup(FLookupKeyFields, keys.size() == 1 ? keys[0] : ::Value(keys), FLookupResultField);
    return found.IsNull() ? found : ToStorage(found);
}

void TField::WriteLookupKeys(const ::Value& value)
{
    if (!FDataSet)
        throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(FFieldName));
    if (FReadOnly)
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(DisplayName()));
    const auto keys = FDataSet->GetFieldList(FKeyFields);
    if (value.IsNull()) {
        for (TField* key : keys)
            key->Clear();
    } else {
        if (!FLookupDataSet || !FLookupDataSet->Active())
            throw EDatabaseError(QStringLiteral("Field '%1' has no open lookup dataset").arg(DisplayName()));
        const ::Value found = FLookupDataSet->Lookup(FLookupResultField, FromStorage(value), FLookupKeyFields);
        // A value the lookup dataset does not hold has no keys: refuse it rather than clear them.
        if (found.IsNull())
            RaiseConvertError(FromStorage(value).AsString(), QStringLiteral("lookup"));
        if (keys.size() == 1) {
            keys[0]->SetValue(found);
        } else {
            const ValueArray& values = found.AsArray();
            for (size_t i = 0; i < keys.size() && i < values.size(); ++i)
                keys[i]->SetValue(values[i]);
        }
    }
    Change();
}

void TField::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == FDataSet)
        return;
    if (FDataSet)
        FDataSet->RemoveField(this);
    if (dataSet)
        dataSet->AddField(shared_from_this());
}

void TField::SetDisplayLabel(const QString& label)
{
    const QString value = label == FFieldName ? QString() : label;
    if (value != FDisplayLabel) {
        FDisplayLabel = value;
        PropertyChanged(true);
    }
}

void TField::SetDisplayWidth(int width)
{
    if (width != DisplayWidth() || FDisplayWidth < 0) {
        FDisplayWidth = width;
        PropertyChanged(true);
    }
}

void TField::SetAlignment(TAlignment alignment)
{
    if (alignment != FAlignment) {
        FAlignment = alignment;
        PropertyChanged(false);
    }
}

void TField::SetVisible(bool visible)
{
    if (visible != FVisible) {
        FVisible = visible;
        PropertyChanged(true);
    }
}

void TField::SetDisplayFormat(const QString& format)
{
    if (format != FDisplayFormat) {
        FDisplayFormat = format;
        PropertyChanged(false);
    }
}

void TField::SetEditFormat(const QString& format)
{
    if (format != FEditFormat) {
        FEditFormat = format;
        PropertyChanged(false);
    }
}

void TField::SetEditMask(const QString& mask)
{
    if (mask != FEditMask) {
        FEditMask = mask;
        PropertyChanged(false);
    }
}

void TField::PropertyChanged(bool layoutAffected)
{
    if (FDataSet && FDataSet->Active())
        FDataSet->DataEvent(layoutAffected ? TDataEvent::deLayoutChange : TDataEvent::deDataSetChange, nullptr);
}

::Value TField::ReadStored() const
{
    if (!FDataSet)
        throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(FFieldName));
    if (Lookup())
        return LookupValue();
    return FDataSet->GetFieldData(this);
}

void TField::WriteStored(const ::Value& stored)
{
    if (!FDataSet)
        throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(FFieldName));
    if (Lookup())
        WriteLookupKeys(stored);
    else
        FDataSet->SetFieldData(this, stored);
}

bool TField::IsNull() const
{
    return ReadStored().IsNull();
}

::Value TField::Value() const
{
    const ::Value stored = ReadStored();
    return stored.IsNull() ? stored : FromStorage(stored);
}

void TField::SetValue(const ::Value& value)
{
    if (value.IsNull())
        WriteStored(::Value());
    else
        WriteStored(ToStorage(value));
}

::Value TField::ToStorage(const ::Value& value) const
{
    switch (FStorageType) {
    case TFieldType::ftInteger:
        return ::Value(value.AsInteger());
    case TFieldType::ftLargeint:
        return ::Value::LargeInt(value.AsInt64());
    case TFieldType::ftFloat:
        return ::Value(value.AsFloat());
    default:
        return ::Value(value.AsString());
    }
}

QString TField::AsString() const
{
    const ::Value v = Value();
    return v.IsNull() ? QString() : GetText(false);
}

void TField::SetAsString(const QString& value)
{
    SetTextValue(value);
}

qint32 TField::AsInteger() const
{
    return Value().AsInteger();
}

void TField::SetAsInteger(qint32 value)
{
    SetValue(::Value(value));
}

qint64 TField::AsLargeInt() const
{
    return Value().AsInt64();
}

void TField::SetAsLargeInt(qint64 value)
{
    SetValue(::Value(value));
}

double TField::AsFloat() const
{
    return Value().AsFloat();
}

void TField::SetAsFloat(double value)
{
    SetValue(::Value(value));
}

::DateTime TField::AsDateTime() const
{
    return Value().AsDateTime();
}

void TField::SetAsDateTime(::DateTime value)
{
    SetValue(::Value(value));
}

bool TField::AsBoolean() const
{
    return Value().AsBoolean();
}

void TField::SetAsBoolean(bool value)
{
    SetValue(::Value(value));
}

void TField::Clear()
{
    WriteStored(::Value());
}

QString TField::GetText(bool /*displayText*/) const
{
    return Value().AsString();
}

void TField::SetTextValue(const QString& text)
{
    if (text.isEmpty() && FStorageType != TFieldType::ftString)
        Clear();
    else
        SetValue(::Value(text));
}

QString TField::Text() const
{
    if (FRestricted == TFieldRestrictType::frtView)
        return QString();
    QString text;
    if (OnGetText) {
        OnGetText(const_cast<TField*>(this), text, false);
        return text;
    }
    return IsNull() ? QString() : GetText(false);
}

QString TField::DisplayText() const
{
    if (FRestricted == TFieldRestrictType::frtView)
        return QString();
    QString text;
    if (OnGetText) {
        OnGetText(const_cast<TField*>(this), text, true);
        return text;
    }
    return IsNull() ? QString() : GetText(true);
}

void TField::SetText(const QString& text)
{
    if (FRestricted != TFieldRestrictType::frtNone)
        return;
    if (OnSetText)
        OnSetText(this, text);
    else
        SetTextValue(text);
}

void TField::FocusControl()
{
    if (FDataSet && FDataSet->Active())
        FDataSet->DataEvent(TDataEvent::deFocusControl, this);
}

XPRef<IKpDbField> TField::KpDbField()
{
    if (!FKpDbField)
        FKpDbField = XPRef<IKpDbField>(new TKpDbField(this));
    return FKpDbField;
}

int TField::AddFreeNotification(std::function<void(TField*)> callback)
{
    const int id = FNextNotificationId++;
    FFreeNotifications.emplace(id, std::move(callback));
    return id;
}

void TField::RemoveFreeNotification(int id)
{
    FFreeNotifications.erase(id);
}

void TField::Change()
{
    if (FKpDbField)
        FKpDbField->NotifyObservers(0);
    if (OnChange)
        OnChange(this);
    if (FKpDbField)
        FKpDbField->NotifyObservers(1);
    // A lookup field showing this key has changed with it: its controls show the new value.
    if (FDataSet && FFieldKind == TFieldKind::fkData)
        for (int i = 0; i < FDataSet->FieldCount(); ++i) {
            TField* f = FDataSet->Fields(i);
            if (f->Lookup() && f->KeyFields().split(u';').contains(FFieldName, Qt::CaseInsensitive))
                FDataSet->DataEvent(TDataEvent::deFieldChange, f);
        }
}

void TField::BindToColumn(TFieldType columnType, int columnSize)
{
    if (StorageTypeOf(columnType) != FStorageType
        || (IsStringFieldType(FDataType) != IsStringFieldType(columnType)))
        throw EDatabaseError(QStringLiteral("Type mismatch for field '%1'").arg(FFieldName));
    if (IsStringFieldType(columnType) && columnType != TFieldType::ftMemo && columnType != TFieldType::ftWideMemo
        && FSize != columnSize)
        throw EDatabaseError(QStringLiteral("Size mismatch for field '%1'").arg(FFieldName));
}

void TField::RaiseConvertError(const QString& text, const QString& kindName) const
{
    throw EDatabaseError(QStringLiteral("'%1' is not a valid %2 value for field '%3'").arg(text, kindName, FFieldName));
}
