#pragma once

#include "platform/data/BlobStream.h"
#include "platform/data/DataSet.h"
#include "platform/data/IndexDefs.h"

// The in-memory dataset the program works with: created from field definitions, ordered by
// named indexes or by a list of fields, searched by key.
class TClientDataSet : public TDataSet {
public:
    TClientDataSet() = default;

    // Makes the fields from the field definitions (or binds the persistent fields to them) and
    // opens an empty dataset.
    void CreateDataSet();

    TIndexDefs& IndexDefs() { return FIndexDefs; }
    const TIndexDefs& IndexDefs() const { return FIndexDefs; }
    // "" or "DEFAULT_ORDER": the order of insertion.
    const QString& IndexName() const { return FIndexName; }
    void SetIndexName(const QString& name);
    // Fields "A;B" to order by, ascending; setting it clears IndexName and the reverse.
    const QString& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const QString& names);
    void AddIndex(const QString& name, const QString& fields, TIndexOptions options = 0,
                  const QString& descFields = QString(), const QString& caseInsFields = QString());
    void DeleteIndex(const QString& name);
    // The fields of the current order.
    std::vector<TField*> IndexFields() const;
    int IndexFieldCount() const { return int(OrderKeys().size()); }

    // Moves to the first record whose current-order key fields equal the values.
    bool FindKey(const ValueArray& keyValues);
    // Moves to the first record whose key is at least the values.
    void FindNearest(const ValueArray& keyValues);

    // A stream over a blob field of the current record; compressed through the registered
    // implementation when the field asks for compression and one is registered.
    std::unique_ptr<TBlobStream> CreateBlobStream(TField* field, TBlobStreamMode mode);

    // No change log is kept; the switch is kept for callers that turn it off.
    bool LogChanges() const { return FLogChanges; }
    void SetLogChanges(bool value) { FLogChanges = value; }
    // Whether blobs travel in the change log; can only be set while the dataset is closed.
    bool IncludeBlobsInDelta() const { return FIncludeBlobsInDelta; }
    void SetIncludeBlobsInDelta(bool value);

    static const QString DefaultOrderName;

protected:
    void InternalOpen() override;

private:
    std::vector<OrderKey> KeysFor(const QString& fields, const QString& descFields, const QString& caseInsFields,
                                  TIndexOptions options) const;
    void ApplyOrder();

    TIndexDefs FIndexDefs;
    QString FIndexName;
    QString FIndexFieldNames;
    bool FLogChanges = true;
    bool FIncludeBlobsInDelta = false;
};
