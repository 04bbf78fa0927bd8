#pragma once

#include "platform/data/DBTypes.h"
#include "platform/data/XPInterfaces.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Value.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>

class TDataSet;

// One column of a dataset as the program reads and writes it: the value of the current record
// (or of the record a data link is painting), its texts, its display properties and events.
// Fields are owned by their dataset through shared pointers; a field that outlives its dataset
// reads as detached (DataSet() is nullptr and value access raises).
class TField : public std::enable_shared_from_this<TField> {
public:
    using TFieldNotifyEvent = std::function<void(TField* Sender)>;
    using TFieldGetTextEvent = std::function<void(TField* Sender, QString& Text, bool DisplayText)>;
    using TFieldSetTextEvent = std::function<void(TField* Sender, const QString& Text)>;

    explicit TField(TFieldType dataType = TFieldType::ftUnknown, int size = 0);
    virtual ~TField();
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    // Identity.
    const QString& FieldName() const { return m_fieldName; }
    void SetFieldName(const QString& name);
    int FieldNo() const { return m_fieldNo; }
    // Position in the dataset's field list, -1 without a dataset.
    int Index() const { return m_index; }
    TFieldType DataType() const { return m_dataType; }
    int Size() const { return m_size; }
    void SetSize(int size);
    TFieldKind FieldKind() const { return m_fieldKind; }
    void SetFieldKind(TFieldKind kind);
    bool Calculated() const { return m_fieldKind == TFieldKind::fkCalculated; }
    // A lookup field keeps no value of its own: it shows the LookupResultField of the record of
    // LookupDataSet whose LookupKeyFields equal this dataset's KeyFields (names "A;B"), and
    // setting it writes the key fields of the record whose result equals the value.
    bool Lookup() const { return m_fieldKind == TFieldKind::fkLookup; }
    const QString& KeyFields() const { return m_keyFields; }
    void SetKeyFields(const QString& names) { m_keyFields = names; }
    TDataSet* LookupDataSet() const { return m_lookupDataSet; }
    void SetLookupDataSet(TDataSet* dataSet);
    const QString& LookupKeyFields() const { return m_lookupKeyFields; }
    void SetLookupKeyFields(const QString& names) { m_lookupKeyFields = names; }
    const QString& LookupResultField() const { return m_lookupResultField; }
    void SetLookupResultField(const QString& name) { m_lookupResultField = name; }
    // The field of this dataset that KeyFields names (a single one), nullptr when there is none;
    // a lookup field can take a value only when its key field can.
    TField* KeyField() const;
    TDataSet* DataSet() const { return m_dataSet; }
    // Adds the field to a closed dataset's persistent fields (or removes it with nullptr).
    void SetDataSet(TDataSet* dataSet);

    // Display properties. Changes of Visible, DisplayLabel and DisplayWidth are layout
    // changes for the dataset's data links; Alignment and formats are data changes.
    QString DisplayLabel() const { return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel; }
    void SetDisplayLabel(const QString& label);
    QString DisplayName() const { return DisplayLabel(); }
    int DisplayWidth() const { return m_displayWidth >= 0 ? m_displayWidth : DefaultDisplayWidth(); }
    void SetDisplayWidth(int width);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool Required() const { return m_required; }
    void SetRequired(bool required) { m_required = required; }
    const QString& DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const QString& format);
    const QString& EditFormat() const { return m_editFormat; }
    void SetEditFormat(const QString& format);
    const QString& EditMask() const { return m_editMask; }
    void SetEditMask(const QString& mask);
    const QString& XMLTagName() const { return m_xmlTagName; }
    void SetXMLTagName(const QString& name) { m_xmlTagName = name; }
    TFieldRestrictType Restricted() const { return m_restricted; }
    void SetRestricted(TFieldRestrictType restricted) { m_restricted = restricted; }

    // Value of the record being read.
    bool IsNull() const;
    ::Value Value() const;
    void SetValue(const ::Value& value);
    QString AsString() const;
    void SetAsString(const QString& value);
    qint32 AsInteger() const;
    void SetAsInteger(qint32 value);
    qint64 AsLargeInt() const;
    void SetAsLargeInt(qint64 value);
    double AsFloat() const;
    void SetAsFloat(double value);
    ::DateTime AsDateTime() const;
    void SetAsDateTime(::DateTime value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    void Clear();

    // Texts: Text is the editing text, DisplayText what grids show.
    QString Text() const;
    void SetText(const QString& text);
    QString DisplayText() const;

    // Asks the controls of the dataset to focus this field.
    void FocusControl();

    // The field's observer subject, created on first request and kept until the field dies.
    XPRef<IKpDbField> KpDbField();

    // Called with the field when it is destroyed; returns an id for RemoveFreeNotification.
    int AddFreeNotification(std::function<void(TField*)> callback);
    void RemoveFreeNotification(int id);

    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnChange;
    TFieldNotifyEvent OnValidate;

    // The type of storage column this field keeps its values in.
    TFieldType StorageType() const { return m_storageType; }

protected:
    // Text of a non-null value; the display flag chooses the display format.
    virtual QString GetText(bool displayText) const;
    virtual void SetTextValue(const QString& text);
    // Converts a stored value into the value the field hands out.
    virtual ::Value FromStorage(const ::Value& stored) const { return stored; }
    // Converts and checks a value before it is stored; raises when it cannot be stored.
    virtual ::Value ToStorage(const ::Value& value) const;
    virtual int DefaultDisplayWidth() const { return 10; }
    virtual TAlignment DefaultAlignment() const { return TAlignment::taLeftJustify; }
    // Called by the dataset when persistent fields are bound to column definitions.
    virtual void BindToColumn(TFieldType columnType, int columnSize);

    void SetDataType(TFieldType type) { m_dataType = type; }
    void SetStorageType(TFieldType type) { m_storageType = type; }
    void InitAlignment() { m_alignment = DefaultAlignment(); }
    void WriteStored(const ::Value& stored);
    ::Value ReadStored() const;
    // Tells of a change: observers before, OnChange, observers after.
    virtual void Change();
    void PropertyChanged(bool layoutAffected);
    // Lookup fields: the value found through the key fields, and writing the keys of a value.
    ::Value LookupValue() const;
    void WriteLookupKeys(const ::Value& value);
    [[noreturn]] void RaiseConvertError(const QString& text, const QString& kindName) const;

private:
    friend class TDataSet;

    QString m_fieldName;
    int m_fieldNo = 0;
    int m_index = -1;
    TFieldType m_dataType;
    TFieldType m_storageType;
    int m_size;
    TFieldKind m_fieldKind = TFieldKind::fkData;
    TDataSet* m_dataSet = nullptr;
    QString m_keyFields;
    TDataSet* m_lookupDataSet = nullptr;
    int m_lookupFreeId = 0;
    QString m_lookupKeyFields;
    QString m_lookupResultField;
    QString m_displayLabel;
    int m_displayWidth = -1;
    TAlignment m_alignment = TAlignment::taLeftJustify;
    bool m_visible = true;
    bool m_readOnly = false;
    bool m_required = false;
    QString m_displayFormat;
    QString m_editFormat;
    QString m_editMask;
    QString m_xmlTagName;
    TFieldRestrictType m_restricted = TFieldRestrictType::frtNone;
    XPRef<IKpDbField> m_kpDbField;
    std::map<int, std::function<void(TField*)>> m_freeNotifications;
    int m_nextNotificationId = 1;
};
