#pragma once

#include "platform/data/DBTypes.h"

class TDataSet;
class TDataSource;
class TField;

// A control's view of a dataset through a data source: a window of BufferCount records
// around the cursor, and notifications as virtual operations. While painting, a control may
// switch ActiveRecord to read the fields of another record of its window; that neither moves
// the cursor nor fires events. The window moves as little as it can to keep the cursor inside
// and stays filled where there are records to fill it; DataSetScrolled gets by how many
// records it moved (positive: towards the end).
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const;
    bool Active() const { return FActive; }
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly);

    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int count);
    int ActiveRecord() const;
    void SetActiveRecord(int record);
    // Records in the window (at most BufferCount).
    int RecordCount() const;
    // Position of the window's first record in the dataset's current order.
    int FirstRecord() const { return FTop; }
    bool Bof() const;
    bool Eof() const;

    // Puts the dataset into edit state (when the source allows it); answers Editing.
    bool Edit();
    // Writes the control's pending edit into the fields.
    void UpdateRecord();

    // Used by TDataSource.
    void SourceEvent(TDataEvent event, TField* field);
    void SourceGone();
    void SourceStateChanged();

protected:
    virtual void ActiveChanged() { }
    virtual void CheckBrowseMode() { }
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int distance) { (void)distance; DataSetChanged(); }
    virtual void FocusControl(TField** field) { (void)field; }
    virtual void EditingChanged() { }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* field) { (void)field; }
    virtual void UpdateData() { }

private:
    int ComputeTop() const;
    void UpdateEditing();

    TDataSource* FDataSource = nullptr;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    int FBufferCount = 1;
    int FTop = 0;
};
