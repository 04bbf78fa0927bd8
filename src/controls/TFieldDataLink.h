#pragma once

#include "platform/data/DataLink.h"

#include <QString>
#include <functional>

class TField;

// A data link to one field of the current record, for single-value data-aware controls:
// it tells the control when the value, the editing state or the activity changed, and asks
// it to write its value when the record is updated.
class TFieldDataLink : public TDataLink {
public:
    TFieldDataLink() = default;

    const QString& FieldName() const { return FFieldName; }
    void SetFieldName(const QString& AValue);
    // The bound field; null when the name, the source or the dataset is missing.
    TField* Field() const { return FField; }
    bool IsModified() const { return FModified; }
    // The control's value changed and is to be written on the next update.
    void Modified() { FModified = true; }
    // Shows the field's value again, dropping the control's change.
    void Reset();
    // Puts the dataset into edit mode when it can; whether it is editing.
    bool EditRequest() { return Edit(); }

    std::function<void()> OnDataChange;
    std::function<void()> OnEditingChange;
    std::function<void()> OnActiveChange;
    std::function<void()> OnUpdateData;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* AField) override;
    void UpdateData() override;

private:
    void UpdateField();

    QString FFieldName;
    TField* FField = nullptr;
    bool FModified = false;
};
