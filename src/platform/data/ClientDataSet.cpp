#include "platform/data/ClientDataSet.h"

#include "platform/data/BlobField.h"
#include "platform/data/EDatabaseError.h"
#include "platform/data/ZipBlobStream.h"

const QString TClientDataSet::DefaultOrderName = QStringLiteral("DEFAULT_ORDER");

namespace {
bool NameInList(const QString& list, const QString& name)
{
    const auto parts = list.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& p : parts)
        if (p.trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace

void TClientDataSet::CreateDataSet()
{
    if (Active())
        Close();
    Open();
}

void TClientDataSet::InternalOpen()
{
    TDataSet::InternalOpen();
    ApplyOrder();
}

std::vector<TDataSet::OrderKey> TClientDataSet::KeysFor(const QString& fields, const QString& descFields,
                                                        const QString& caseInsFields, TIndexOptions options) const
{
    std::vector<OrderKey> keys;
    for (TField* f : GetFieldList(fields)) {
        OrderKey k;
        k.Field = f->Index();
        k.Descending = (options & ixDescending) != 0 || NameInList(descFields, f->FieldName());
        k.CaseInsensitive = (options & ixCaseInsensitive) != 0 || NameInList(caseInsFields, f->FieldName());
        keys.push_back(k);
    }
    return keys;
}

void TClientDataSet::ApplyOrder()
{
    if (FieldCount() == 0)
        return;
    if (!FIndexFieldNames.isEmpty()) {
        SetOrderKeys(KeysFor(FIndexFieldNames, QString(), QString(), 0));
    } else if (FIndexName.isEmpty() || FIndexName.compare(DefaultOrderName, Qt::CaseInsensitive) == 0) {
        SetOrderKeys({});
    } else {
        const TIndexDef& def = FIndexDefs.Find(FIndexName);
        SetOrderKeys(KeysFor(def.Fields(), def.DescFields(), def.CaseInsFields(), def.Options()));
    }
}

void TClientDataSet::SetIndexName(const QString& name)
{
    if (!name.isEmpty() && name.compare(DefaultOrderName, Qt::CaseInsensitive) != 0)
        FIndexDefs.Find(name); // raises for an unknown index, leaving the order as it was
    const QString oldName = FIndexName, oldFields = FIndexFieldNames;
    FIndexName = name;
    FIndexFieldNames.clear();
    try {
        ApplyOrder();
    } catch (...) {
        FIndexName = oldName;
        FIndexFieldNames = oldFields;
        throw;
    }
}

void TClientDataSet::SetIndexFieldNames(const QString& names)
{
    if (FieldCount() > 0 && !names.isEmpty())
        GetFieldList(names); // raises for an unknown field, leaving the order as it was
    const QString oldName = FIndexName, oldFields = FIndexFieldNames;
    FIndexFieldNames = names;
    FIndexName.clear();
    try {
        ApplyOrder();
    } catch (...) {
        FIndexName = oldName;
        FIndexFieldNames = oldFields;
        throw;
    }
}

void TClientDataSet::AddIndex(const QString& name, const QString& fields, TIndexOptions options,
                              const QString& descFields, const QString& caseInsFields)
{
    if (name.compare(DefaultOrderName, Qt::CaseInsensitive) == 0)
        throw EDatabaseError(QStringLiteral("Index name '%1' is reserved").arg(name));
    if (FieldCount() > 0)
        GetFieldList(fields);
    FIndexDefs.Add(name, fields, options, descFields, caseInsFields);
}

void TClientDataSet::DeleteIndex(const QString& name)
{
    const int i = FIndexDefs.IndexOf(name);
    if (i < 0)
        throw EDatabaseError(QStringLiteral("Index '%1' not found").arg(name));
    FIndexDefs.Delete(i);
    if (FIndexName.compare(name, Qt::CaseInsensitive) == 0) {
        FIndexName.clear();
        ApplyOrder();
    }
}

std::vector<TField*> TClientDataSet::IndexFields() const
{
    std::vector<TField*> result;
    for (const OrderKey& k : OrderKeys())
        result.push_back(Fields(k.Field));
    return result;
}

bool TClientDataSet::FindKey(const ValueArray& keyValues)
{
    return SeekKey(keyValues, false);
}

void TClientDataSet::FindNearest(const ValueArray& keyValues)
{
    SeekKey(keyValues, true);
}

void TClientDataSet::SetIncludeBlobsInDelta(bool value)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    FIncludeBlobsInDelta = value;
}

std::unique_ptr<TBlobStream> TClientDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode)
{
    auto* blob = dynamic_cast<TBlobField*>(field);
    if (!blob || blob->DataSet() != this)
        throw EDatabaseError(QStringLiteral("Field '%1' is not a blob field of this dataset")
                                 .arg(field ? field->FieldName() : QString()));
    auto stream = std::make_unique<TBlobStream>(blob, mode);
    if (blob->Compression() != TBlobCompressionType::bcNone && TZipBlobStream::IsZipBlobStreamsEnabled())
        return TZipBlobStream::CreateZipBlobStream(std::move(stream), blob, mode);
    return stream;
}
