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
    const QString& FieldName() const { return FFieldName; }
    void SetFieldName(const QString& name);
    int FieldNo() const { return FFieldNo; }
    // Position in the dataset's field list, -1 without a dataset.
    int Index() const { return FIndex; }
    TFieldType DataType() const { return FDataType; }
    int Size() const { return FSize; }
    void SetSize(int size);
    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind kind);
    bool Calculated() const { return FFieldKind == TFieldKind::fkCalculated; }
    // A lookup field keeps no value of its own: it shows the LookupResultField of the record of
    // LookupDataSet whose LookupKeyFields equal this dataset's KeyFields (names "A;B"), and
    // setting it writes the key fields of the record whose result equals the value.
    bool Lookup() const { return FFieldKind == TFieldKind::fkLookup; }
    const QString& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const QString& names) { FKeyFields = names; }
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* dataSet);
    const QString& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const QString& names) { FLookupKeyFields = names; }
    const QString& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const QString& name) { FLookupResultField = name; }
    // The field of this dataset that KeyFields names (a single one), nullptr when there is none;
    // a lookup field can take a value only when its key field can.
    TField* KeyField() const;
    TDataSet* DataSet() const { return FDataSet; }
    // Adds the field to a closed dataset's persistent fields (or removes it with nullptr).
    void SetDataSet(TDataSet* dataSet);

    // Display properties. Changes of Visible, DisplayLabel and DisplayWidth are layout
    // changes for the dataset's data links; Alignment and formats are data changes.
    QString DisplayLabel() const { return FDisplayLabel.isEmpty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const QString& label);
    QString DisplayName() const { return DisplayLabel(); }
    int DisplayWidth() const { return FDisplayWidth >= 0 ? FDisplayWidth : DefaultDisplayWidth(); }
    void SetDisplayWidth(int width);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
    bool Required() const { return FRequired; }
    void SetRequired(bool required) { FRequired = required; }
    const QString& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const QString& format);
    const QString& EditFormat() const { return FEditFormat; }
    void SetEditFormat(const QString& format);
    const QString& EditMask() const { return FEditMask; }
    void SetEditMask(const QString& mask);
    const QString& XMLTagName() const { return FXmlTagName; }
    void SetXMLTagName(const QString& name) { FXmlTagName = name; }
    TFieldRestrictType Restricted() const { return FRestricted; }
    void SetRestricted(TFieldRestrictType restricted) { FRestricted = restricted; }

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
    TFieldType StorageType() const { return FStorageType; }

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

    void SetDataType(TFieldType type) { FDataType = type; }
    void SetStorageType(TFieldType type) { FStorageType = type; }
    void InitAlignment() { FAlignment = DefaultAlignment(); }
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

    QString FFieldName;
    int FFieldNo = 0;
    int FIndex = -1;
    TFieldType FDataType;
    TFieldType FStorageType;
    int FSize;
    TFieldKind FFieldKind = TFieldKind::fkData;
    TDataSet* FDataSet = nullptr;
    QString FKeyFields;
    TDataSet* FLookupDataSet = nullptr;
    int FLookupFreeId = 0;
    QString FLookupKeyFields;
    QString FLookupResultField;
    QString FDisplayLabel;
    int FDisplayWidth = -1;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FVisible = true;
    bool FReadOnly = false;
    bool FRequired = false;
    QString FDisplayFormat;
    QString FEditFormat;
    QString FEditMask;
    QString FXmlTagName;
    TFieldRestrictType FRestricted = TFieldRestrictType::frtNone;
    XPRef<IKpDbField> FKpDbField;
    std::map<int, std::function<void(TField*)>> FFreeNotifications;
    int FNextNotificationId = 1;
};
