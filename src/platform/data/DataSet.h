#pragma once

#include "platform/data/Bookmark.h"
#include "platform/data/ColumnStore.h"
#include "platform/data/DBTypes.h"
#include "platform/data/Field.h"
#include "platform/data/FieldDefs.h"
#include "platform/data/InsertionRanks.h"
#include "platform/data/XPInterfaces.h"
#include "platform/rtl/Value.h"

#include <QHash>
#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class TDataSource;
class TFilterExpression;

// An in-memory table with a cursor. Records live in typed columns addressed by a record slot
// that never moves; the current order (insertion order or an index over fields) is an array
// of slots, and a filter narrows it either to a range of that array (equalities on the
// index's leading fields) or to a list of the matching slots.
class TDataSet {
public:
    using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
    using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;

    TDataSet();
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    const QString& Name() const { return FName; }
    void SetName(const QString& name) { FName = name; }

    // Fields.
    TFieldDefs& FieldDefs() { return FFieldDefs; }
    const TFieldDefs& FieldDefs() const { return FFieldDefs; }
    int FieldCount() const { return int(FFields.size()); }
    TField* Fields(int index) const { return FFields.at(size_t(index)).get(); }
    std::shared_ptr<TField> FieldPtr(int index) const { return FFields.at(size_t(index)); }
    // Raises EDatabaseError "Field 'X' not found".
    TField* FieldByName(const QString& name) const;
    TField* FindField(const QString& name) const;
    // The fields named in "A;B" in that order; raises for an unknown name.
    std::vector<TField*> GetFieldList(const QString& fieldNames) const;
    QStringList GetFieldNames() const;
    int IndexOfField(const TField* field) const;
    // Puts a field at another position of the field list, open or not; its values go with it.
    void MoveField(TField* field, int newIndex);
    // Persistent fields are added while the dataset is closed.
    void AddField(std::shared_ptr<TField> field);
    void RemoveField(TField* field);
    // True when the fields were made from the field definitions.
    bool DefaultFields() const { return FDefaultFields; }

    // Open and close.
    bool Active() const { return FState != TDataSetState::dsInactive; }
    void SetActive(bool active);
    void Open();
    void Close();
    TDataSetState State() const { return FState; }
    bool Modified() const { return FModified; }

    // Cursor.
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);
    bool Bof() const { return FBof; }
    bool Eof() const { return FEof; }
    // 1-based position in the current order; 0 when empty; -1 while inserting.
    int RecNo() const;
    void SetRecNo(int recNo);
    int RecordCount() const;
    bool IsEmpty() const;
    bool IsSequenced() const { return true; }

    // Editing.
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void CheckBrowseMode();
    // Gives the data links the chance to write pending edits into the fields.
    void UpdateRecord();
    // Appends and posts a record with the given values in field order (null leaves a field empty).
    void AppendRecord(const ValueArray& values);
    // Bulk append: many records added in one step, their values written straight into storage
    // column by column. No record events, field change handlers or order comparisons run per
    // record; the order and the filter's view are rebuilt once at the end, and the data-aware
    // controls hear one change (or none until they are enabled again). Only for datasets whose
    // fields are all data fields. BeginBulkAppend returns the number of the first of `count` new
    // empty records (the others follow it); SetBulkValue converts and checks a value as the
    // field's own SetValue does (null leaves the field empty); EndBulkAppend puts the cursor on
    // the last new record; CancelBulkAppend drops the new records.
    bool CanBulkAppend() const;
    int BeginBulkAppend(int count);
    void SetBulkValue(int fieldIndex, int record, const ::Value& value);
    // The same for the usual kinds of value, without a variant in between.
    void SetBulkInteger(int fieldIndex, int record, qint32 value);
    // The value checked, converted or refused as the field's own SetValue does.
    void SetBulkIntegerThroughField(int fieldIndex, int record, qint32 value);
    // Writes the values of one field for a stretch of a bulk append's records, as
    // SetBulkInteger and SetBulkString do each, with what is the same for every record checked
    // once (they are this for a stretch of one).
    class TBulkColumn {
    public:
        void SetInteger(int record, qint32 value)
        {
            if (FInteger && InStretch(record) && value >= FLo && value <= FHi) [[likely]]
                FColumn->SetInt32(record, value);
            else
                FDataSet->SetBulkIntegerThroughField(FField, record, value);
        }
        void SetString(int record, const QString& value)
        {
            if (FString && InStretch(record) && (FSize <= 0 || value.size() <= FSize)) [[likely]]
                FColumn->SetString(record, value);
            else
                FDataSet->SetBulkValue(FField, record, ::Value(value));
        }

    private:
        friend class TDataSet;
        // A record outside the stretch goes through the field, which refuses one outside the
        // batch: the column is only as long as the batch.
        bool InStretch(int record) const { return unsigned(record) - unsigned(FFirst) < unsigned(FCount); }
        TDataSet* FDataSet = nullptr;
        int FField = 0;
        TColumnStore* FColumn = nullptr;
        // Straight to the column (else each value through the field):
        bool FInteger = false; // integers in FLo .. FHi
        bool FString = false;  // texts of up to FSize characters (0: any)
        qint64 FLo = 0;
        qint64 FHi = 0;
        int FSize = 0;
        int FFirst = 0;
        int FCount = 0;
    };
    // For the records first .. first + count - 1 of the bulk append.
    TBulkColumn BulkColumn(int fieldIndex, int first, int count);
    void SetBulkString(int fieldIndex, int record, const QString& value);
    void EndBulkAppend();
    void CancelBulkAppend();
    // Removes every record.
    void EmptyDataSet();
    // Leaves edit state and tells the controls to show the records anew; the cursor stays.
    void Refresh();

    // Block reading: while BlockReadSize is above 0 the dataset is in dsBlockRead state, the
    // cursor walks without telling the data sources, and the data-aware controls keep still.
    int BlockReadSize() const { return FBlockReadSize; }
    void SetBlockReadSize(int size);

    // Data-aware controls.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // Filter.
    const QString& Filter() const { return FFilterText; }
    void SetFilter(const QString& text);
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool filtered);
    TFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TFilterOptions options);
    // Move to a record that meets the filter text (and OnFilterRecord), even while Filtered
    // is off; false and no move when none does.
    bool FindFirst();
    bool FindNext();
    bool FindPrior();
    bool FindLast();
    bool Found() const { return FFound; }

    // Search. Fields "A;B"; values one per field (a single value or an array).
    bool Locate(const QString& keyFields, const ::Value& keyValues, TLocateOptions options = 0);
    ::Value Lookup(const QString& keyFields, const ::Value& keyValues, const QString& resultFields);

    // Bookmarks.
    TBookmark GetBookmark() const;
    TBookmark Bookmark() const { return GetBookmark(); }
    void GotoBookmark(const TBookmark& bookmark);
    void SetBookmark(const TBookmark& bookmark) { GotoBookmark(bookmark); }
    bool BookmarkValid(const TBookmark& bookmark) const;
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;
    void FreeBookmark(TBookmark&) const { }

    // Events.
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TFilterRecordEvent OnFilterRecord;

    // The dataset's observer subject, created on first request and kept until the dataset dies.
    XPRef<IKpDbDataSet> KpDbDataSet();

    // Called with the dataset when it is destroyed; returns an id for RemoveFreeNotification.
    int AddFreeNotification(std::function<void(TDataSet*)> callback);
    void RemoveFreeNotification(int id);

    // Tells the observer subject and (unless controls are disabled) the data sources.
    void DataEvent(TDataEvent event, TField* field);

    // Used by fields: the stored value of the record being read, and writing it.
    ::Value GetFieldData(const TField* field) const;
    void SetFieldData(TField* field, const ::Value& stored);

    // Used by data links: the number of records a window can show (the record being inserted
    // included), the cursor's place among them, and the record fields read from.
    int WindowRecordCount() const;
    int CursorWindowPosition() const;
    int ReadPosition() const { return FReadPos; }
    void SetReadPosition(int position);

    // Registration of data sources (done by TDataSource).
    void AttachDataSource(TDataSource* source);
    void DetachDataSource(TDataSource* source);

protected:
    struct OrderKey {
        int Field = -1;
        bool Descending = false;
        bool CaseInsensitive = false;
    };

    // Switches the order of the records (empty keys: insertion order); the cursor stays on
    // its record.
    void SetOrderKeys(std::vector<OrderKey> keys);
    const std::vector<OrderKey>& OrderKeys() const { return FOrderKeys; }
    // Puts the cursor on the first record of the current order whose leading key fields
    // equal (nearest: are at least) the values; false when none does.
    bool SeekKey(const ValueArray& values, bool nearest);
    // Makes columns and fields for an opening dataset; subclasses bind fields to definitions.
    virtual void CreateFields();
    virtual void InternalOpen();
    virtual void InternalClose();
    void SetState(TDataSetState state);
    void RaiseIfInactive() const;

private:
    void StartInsert(bool atEnd);
    friend class TField;

    // Views: the records that the cursor walks, as positions in the current order.
    int ViewCount() const;
    int ViewSlot(int position) const;
    int SlotAtWindowPosition(int position) const;
    int CursorSlot() const;
    bool Passes(int slot) const;
    ::Value StoredValue(int fieldIndex, int slot) const;
    int CompareSlots(int a, int b) const;
    int CompareSlotToKey(int slot, const ValueArray& key, int count) const;
    int OrderPositionOf(int slot) const;
    void InsertIntoOrder(int slot);
    void RemoveFromOrder(int slot);
    void RebuildOrder();
    bool SortByIntegerKeys();
    void RebuildView();
    void RecomputeRange();
    int ViewPositionOfSlot(int slot) const;
    void CompileFilter();
    bool MatchesFilterText(int slot) const;
    double NextRankBefore(int slot);
    void RenumberRanks();
    int AllocateSlot(double rank);
    void ReleaseSlot(int slot);
    void WriteBufferToSlot(int slot);
    void LoadBufferFromSlot(int slot);
    void CalculateFields();
    void Resync(int position);
    void MoveTo(int position, bool fireEvents);
    void CheckActive() const;
    void CheckCanModify() const;
    bool FindRecord(bool restart, bool forward);
    void NotifyDataSources(TDataEvent event, TField* field);
    void ClearData();
    void ReindexFields();
    void Fire(const TDataSetNotifyEvent& event) { if (event) event(this); }

    QString FName;
    TFieldDefs FFieldDefs;
    std::vector<std::shared_ptr<TField>> FFields;
    QHash<QString, int> FFieldByName;        // exact names
    QHash<QString, int> FFieldByUpperName;   // names in capitals, for any letter case
    bool FDefaultFields = false;
    TDataSetState FState = TDataSetState::dsInactive;

    // Records.
    std::vector<TColumnStore> FColumns;      // one per field (calculated ones included)
    TInsertionRanks FRank;                   // insertion-order rank per slot
    std::vector<std::uint8_t> FLive;         // 1 for a slot holding a record
    int FLiveCount = 0;
    qint64 FSerialBase = 0;                  // bookmarks of earlier storage generations are invalid
    double FMaxRank = 0;

    // Order and view.
    std::vector<OrderKey> FOrderKeys;
    // Deques: removing the first records (emptying a table row by row) must not cost a move
    // of all the others each time.
    std::deque<int> FOrder;                  // live slots in the current order
    enum class ViewMode { All, Range, List };
    ViewMode FViewMode = ViewMode::All;
    int FRangeLo = 0, FRangeHi = 0;
    std::deque<int> FView;                   // List mode
    std::vector<std::pair<int, ::Value>> FRangeTerms; // Range mode: key values of the leading fields

    // Cursor.
    int FPos = 0;                            // position in the window (view plus an inserted record)
    int FReadPos = 0;
    int FFilterSlot = -1;                    // record OnFilterRecord is judging
    bool FBof = true, FEof = true;
    bool FFound = false;

    // Editing.
    std::vector<::Value> FBuffer;            // stored values of the record being edited
    int FEditSlot = -1;                      // slot being edited (-1 while inserting)
    int FInsertPos = -1;                     // window position of the record being inserted
    double FInsertRank = 0;
    bool FModified = false;
    bool FBufferActive = false;
    bool FInCalc = false;

    // Filter.
    QString FFilterText;
    bool FFiltered = false;
    TFilterOptions FFilterOptions = 0;
    std::unique_ptr<TFilterExpression> FFilterExpr;

    // Controls and notifications.
    int FDisableCount = 0;
    int FBlockReadSize = 0;
    TDataSetState FDisableState = TDataSetState::dsInactive;
    TDataEvent FEnableEvent = TDataEvent::deDataSetChange;
    std::vector<TDataSource*> FDataSources;
    XPRef<IKpDbDataSet> FKpDbDataSet;
    std::map<int, std::function<void(TDataSet*)>> FFreeNotifications;
    int FNextNotificationId = 1;

    // Bulk append in progress: its first slot and the highest rank before it (-1: none).
    int FBulkFirst = -1;
    double FBulkMaxRank = 0;
    // Per field, whether a bulk write may go straight to its column: the plain integer fields
    // with their range, the plain text fields with their width; others convert through the field.
    struct BulkTarget {
        enum class Kind : std::uint8_t { Field, Integer, String } Kind = Kind::Field;
        qint64 Lo = 0, Hi = 0;
        int Size = 0;
    };
    std::vector<BulkTarget> FBulkTargets;
};

