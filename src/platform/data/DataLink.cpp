#include "platform/data/DataLink.h"

#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"

#include <algorithm>

TDataLink::~TDataLink()
{
    if (FDataSource)
        FDataSource->RemoveDataLink(this);
    FDataSource = nullptr;
}

TDataSet* TDataLink::DataSet() const
{
    return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource* source)
{
    if (source == FDataSource)
        return;
    if (FDataSource)
        FDataSource->RemoveDataLink(this);
    FDataSource = source;
    if (FDataSource)
        FDataSource->AddDataLink(this);
    SourceStateChanged();
}

void TDataLink::SetReadOnly(bool readOnly)
{
    if (readOnly == FReadOnly)
        return;
    FReadOnly = readOnly;
    UpdateEditing();
}

void TDataLink::SetBufferCount(int count)
{
    FBufferCount = std::max(1, count);
    if (FActive)
        FTop = ComputeTop();
}

int TDataLink::ComputeTop() const
{
    const TDataSet* ds = DataSet();
    if (!ds || !ds->Active())
        return 0;
    const int n = ds->WindowRecordCount();
    const int p = ds->CursorWindowPosition();
    int top = FTop;
    if (p < top)
        top = p;
    if (p >= top + FBufferCount)
        top = p - FBufferCount + 1;
    top = std::min(top, std::max(0, n - FBufferCount));
    return std::max(0, top);
}

int TDataLink::ActiveRecord() const
{
    const TDataSet* ds = DataSet();
    if (!FActive || !ds)
        return 0;
    return ds->ReadPosition() - FTop;
}

void TDataLink::SetActiveRecord(int record)
{
    TDataSet* ds = DataSet();
    if (FActive && ds)
        ds->SetReadPosition(FTop + record);
}

int TDataLink::RecordCount() const
{
    const TDataSet* ds = DataSet();
    if (!FActive || !ds)
        return 0;
    return std::clamp(ds->WindowRecordCount() - FTop, 0, FBufferCount);
}

bool TDataLink::Bof() const
{
    const TDataSet* ds = DataSet();
    return !FActive || !ds || ds->Bof();
}

bool TDataLink::Eof() const
{
    const TDataSet* ds = DataSet();
    return !FActive || !ds || ds->Eof();
}

bool TDataLink::Edit()
{
    if (!FReadOnly && FDataSource)
        FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord()
{
    if (FUpdating)
        return;
    FUpdating = true;
    try {
        UpdateData();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TDataLink::UpdateEditing()
{
    const TDataSet* ds = DataSet();
    const bool editing = FActive && !FReadOnly && FDataSource && FDataSource->Enabled() && ds
        && (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert);
    if (editing != FEditing) {
        FEditing = editing;
        EditingChanged();
    }
}

void TDataLink::SourceStateChanged()
{
    const TDataSet* ds = DataSet();
    const bool active = FDataSource && FDataSource->Enabled() && ds && ds->Active();
    if (active != FActive) {
        FActive = active;
        FTop = active ? ComputeTop() : 0;
        if (!active && FEditing) {
            FEditing = false;
            EditingChanged();
        }
        ActiveChanged();
    }
    UpdateEditing();
}

void TDataLink::SourceGone()
{
    FDataSource = nullptr;
    SourceStateChanged();
}

void TDataLink::SourceEvent(TDataEvent event, TField* field)
{
    switch (event) {
    case TDataEvent::deUpdateState:
        SourceStateChanged();
        return;
    default:
        break;
    }
    if (!FActive)
        return;
    switch (event) {
    case TDataEvent::deDataSetChange:
        FTop = ComputeTop();
        DataSetChanged();
        break;
    case TDataEvent::deDataSetScroll: {
        const int old = FTop;
        FTop = ComputeTop();
        DataSetScrolled(FTop - old);
        break;
    }
    case TDataEvent::deLayoutChange:
        FTop = ComputeTop();
        LayoutChanged();
        break;
    case TDataEvent::deRecordChange:
        RecordChanged(nullptr);
        break;
    case TDataEvent::deFieldChange:
        RecordChanged(field);
        break;
    case TDataEvent::deUpdateRecord:
        UpdateRecord();
        break;
    case TDataEvent::deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case TDataEvent::deFocusControl:
        FocusControl(&field);
        break;
    default:
        break;
    }
}
