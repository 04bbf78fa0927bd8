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
    : m_dataType(dataType)
    , m_storageType(StorageTypeOf(dataType))
    , m_size(size)
{
}

TField::~TField()
{
    if (m_lookupDataSet)
        m_lookupDataSet->RemoveFreeNotification(m_lookupFreeId);
    if (m_kpDbField) {
        m_kpDbField->FieldGone();
        m_kpDbField = nullptr;
    }
    auto notifications = std::move(m_freeNotifications);
    for (auto& [id, callback] : notifications)
        if (callback)
            callback(this);
}

void TField::SetFieldName(const QString& name)
{
    if (m_dataSet && m_dataSet->Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_fieldName = name;
    if (m_dataSet)
        m_dataSet->ReindexFields();
}

void TField::SetSize(int size)
{
    if (m_dataSet && m_dataSet->Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_size = size;
}

void TField::SetFieldKind(TFieldKind kind)
{
    if (m_dataSet && m_dataSet->Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_fieldKind = kind;
}

void TField::SetLookupDataSet(TDataSet* dataSet)
{
    if (dataSet == m_lookupDataSet)
        return;
    if (m_lookupDataSet)
        m_lookupDataSet->RemoveFreeNotification(m_lookupFreeId);
    m_lookupDataSet = dataSet;
    m_lookupFreeId = 0;
    // A lookup dataset destroyed first leaves the field reading null, not a dangling pointer.
    if (dataSet)
        m_lookupFreeId = dataSet->AddFreeNotification([this](TDataSet*) { m_lookupDataSet = nullptr; });
}

TField* TField::KeyField() const
{
    return Lookup() && m_dataSet ? m_dataSet->FindField(m_keyFields) : nullptr;
}

::Value TField::LookupValue() const
{
    if (!m_dataSet || !m_dataSet->Active() || !m_lookupDataSet || !m_lookupDataSet->Active())
        return ::Value();
    ValueArray keys;
    for (TField* key : m_dataSet->GetFieldList(m_keyFields)) {
        ::Value v = key->Value();
        if (v.IsNull())
            return ::Value();
        keys.push_back(std::move(v));
    }
    if (keys.empty())
        return ::Value();
    const ::Value found =
        m_lookupDataSet->Lookup(m_lookupKeyFields, keys.size() == 1 ? keys[0] : ::Value(keys), m_lookupResultField);
    return found.IsNull() ? found : ToStorage(found);
}

void TField::WriteLookupKeys(const ::Value& value)
{
    if (!m_dataSet)
        throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(m_fieldName));
    if (m_readOnly)
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(DisplayName()));
    const auto keys = m_dataSet->GetFieldList(m_keyFields);
    if (value.IsNull()) {
        for (TField* key : keys)
            key->Clear();
    } else {
        if (!m_lookupDataSet || !m_lookupDataSet->Active())
            throw EDatabaseError(QStringLiteral("Field '%1' has no open lookup dataset").arg(DisplayName()));
        const ::Value found = m_lookupDataSet->Lookup(m_lookupResultField, FromStorage(value), m_lookupKeyFields);
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
    if (dataSet == m_dataSet)
        return;
    if (m_dataSet)
        m_dataSet->RemoveField(this);
    if (dataSet)
        dataSet->AddField(shared_from_this());
}

void TField::SetDisplayLabel(const QString& label)
{
    const QString value = label == m_fieldName ? QString() : label;
    if (value != m_displayLabel) {
        m_displayLabel = value;
        PropertyChanged(true);
    }
}

void TField::SetDisplayWidth(int width)
{
    if (width != DisplayWidth() || m_displayWidth < 0) {
        m_displayWidth = width;
        PropertyChanged(true);
    }
}

void TField::SetAlignment(TAlignment alignment)
{
    if (alignment != m_alignment) {
        m_alignment = alignment;
        PropertyChanged(false);
    }
}

void TField::SetVisible(bool visible)
{
    if (visible != m_visible) {
        m_visible = visible;
        PropertyChanged(true);
    }
}

void TField::SetDisplayFormat(const QString& format)
{
    if (format != m_displayFormat) {
        m_displayFormat = format;
        PropertyChanged(false);
    }
}

void TField::SetEditFormat(const QString& format)
{
    if (format != m_editFormat) {
        m_editFormat = format;
        PropertyChanged(false);
    }
}

void TField::SetEditMask(const QString& mask)
{
    if (mask != m_editMask) {
        m_editMask = mask;
        PropertyChanged(false);
    }
}

void TField::PropertyChanged(bool layoutAffected)
{
    if (m_dataSet && m_dataSet->Active())
        m_dataSet->DataEvent(layoutAffected ? TDataEvent::deLayoutChange : TDataEvent::deDataSetChange, nullptr);
}

::Value TField::ReadStored() const
{
    if (!m_dataSet)
        throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(m_fieldName));
    if (Lookup())
        return LookupValue();
    return m_dataSet->GetFieldData(this);
}

void TField::WriteStored(const ::Value& stored)
{
    if (!m_dataSet)
        throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(m_fieldName));
    if (Lookup())
        WriteLookupKeys(stored);
    else
        m_dataSet->SetFieldData(this, stored);
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
    switch (m_storageType) {
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
    if (text.isEmpty() && m_storageType != TFieldType::ftString)
        Clear();
    else
        SetValue(::Value(text));
}

QString TField::Text() const
{
    if (m_restricted == TFieldRestrictType::frtView)
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
    if (m_restricted == TFieldRestrictType::frtView)
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
    if (m_restricted != TFieldRestrictType::frtNone)
        return;
    if (OnSetText)
        OnSetText(this, text);
    else
        SetTextValue(text);
}

void TField::FocusControl()
{
    if (m_dataSet && m_dataSet->Active())
        m_dataSet->DataEvent(TDataEvent::deFocusControl, this);
}

XPRef<IKpDbField> TField::KpDbField()
{
    if (!m_kpDbField)
        m_kpDbField = XPRef<IKpDbField>(new TKpDbField(this));
    return m_kpDbField;
}

int TField::AddFreeNotification(std::function<void(TField*)> callback)
{
    const int id = m_nextNotificationId++;
    m_freeNotifications.emplace(id, std::move(callback));
    return id;
}

void TField::RemoveFreeNotification(int id)
{
    m_freeNotifications.erase(id);
}

void TField::Change()
{
    if (m_kpDbField)
        m_kpDbField->NotifyObservers(0);
    if (OnChange)
        OnChange(this);
    if (m_kpDbField)
        m_kpDbField->NotifyObservers(1);
    // A lookup field showing this key has changed with it: its controls show the new value.
    if (m_dataSet && m_fieldKind == TFieldKind::fkData)
        for (int i = 0; i < m_dataSet->FieldCount(); ++i) {
            TField* f = m_dataSet->Fields(i);
            if (f->Lookup() && f->KeyFields().split(u';').contains(m_fieldName, Qt::CaseInsensitive))
                m_dataSet->DataEvent(TDataEvent::deFieldChange, f);
        }
}

void TField::BindToColumn(TFieldType columnType, int columnSize)
{
    if (StorageTypeOf(columnType) != m_storageType
        || (IsStringFieldType(m_dataType) != IsStringFieldType(columnType)))
        throw EDatabaseError(QStringLiteral("Type mismatch for field '%1'").arg(m_fieldName));
    if (IsStringFieldType(columnType) && columnType != TFieldType::ftMemo && columnType != TFieldType::ftWideMemo
        && m_size != columnSize)
        throw EDatabaseError(QStringLiteral("Size mismatch for field '%1'").arg(m_fieldName));
}

void TField::RaiseConvertError(const QString& text, const QString& kindName) const
{
    throw EDatabaseError(QStringLiteral("'%1' is not a valid %2 value for field '%3'").arg(text, kindName, m_fieldName));
}
