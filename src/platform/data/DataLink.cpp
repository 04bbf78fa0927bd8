#include "platform/data/DataLink.h"

#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"

#include <algorithm>

TDataLink::~TDataLink()
{
    if (m_dataSource)
        m_dataSource->RemoveDataLink(this);
    m_dataSource = nullptr;
}

TDataSet* TDataLink::DataSet() const
{
    return m_dataSource ? m_dataSource->DataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource* source)
{
    if (source == m_dataSource)
        return;
    if (m_dataSource)
        m_dataSource->RemoveDataLink(this);
    m_dataSource = source;
    if (m_dataSource)
        m_dataSource->AddDataLink(this);
    SourceStateChanged();
}

void TDataLink::SetReadOnly(bool readOnly)
{
    if (readOnly == m_readOnly)
        return;
    m_readOnly = readOnly;
    UpdateEditing();
}

void TDataLink::SetBufferCount(int count)
{
    m_bufferCount = std::max(1, count);
    if (m_active)
        m_top = ComputeTop();
}

int TDataLink::ComputeTop() const
{
    const TDataSet* ds = DataSet();
    if (!ds || !ds->Active())
        return 0;
    const int n = ds->WindowRecordCount();
    const int p = ds->CursorWindowPosition();
    int top = m_top;
    if (p < top)
        top = p;
    if (p >= top + m_bufferCount)
        top = p - m_bufferCount + 1;
    top = std::min(top, std::max(0, n - m_bufferCount));
    return std::max(0, top);
}

int TDataLink::ActiveRecord() const
{
    const TDataSet* ds = DataSet();
    if (!m_active || !ds)
        return 0;
    return ds->ReadPosition() - m_top;
}

void TDataLink::SetActiveRecord(int record)
{
    TDataSet* ds = DataSet();
    if (m_active && ds)
        ds->SetReadPosition(m_top + record);
}

int TDataLink::RecordCount() const
{
    const TDataSet* ds = DataSet();
    if (!m_active || !ds)
        return 0;
    return std::clamp(ds->WindowRecordCount() - m_top, 0, m_bufferCount);
}

bool TDataLink::Bof() const
{
    const TDataSet* ds = DataSet();
    return !m_active || !ds || ds->Bof();
}

bool TDataLink::Eof() const
{
    const TDataSet* ds = DataSet();
    return !m_active || !ds || ds->Eof();
}

bool TDataLink::Edit()
{
    if (!m_readOnly && m_dataSource)
        m_dataSource->Edit();
    return m_editing;
}

void TDataLink::UpdateRecord()
{
    if (m_updating)
        return;
    m_updating = true;
    try {
        UpdateData();
    } catch (...) {
        m_updating = false;
        throw;
    }
    m_updating = false;
}

void TDataLink::UpdateEditing()
{
    const TDataSet* ds = DataSet();
    const bool editing = m_active && !m_readOnly && m_dataSource && m_dataSource->Enabled() && ds
        && (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert);
    if (editing != m_editing) {
        m_editing = editing;
        EditingChanged();
    }
}

void TDataLink::SourceStateChanged()
{
    const TDataSet* ds = DataSet();
    const bool active = m_dataSource && m_dataSource->Enabled() && ds && ds->Active();
    if (active != m_active) {
        m_active = active;
        m_top = active ? ComputeTop() : 0;
        if (!active && m_editing) {
            m_editing = false;
            EditingChanged();
        }
        ActiveChanged();
    }
    UpdateEditing();
}

void TDataLink::SourceGone()
{
    m_dataSource = nullptr;
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
    if (!m_active)
        return;
    switch (event) {
    case TDataEvent::deDataSetChange:
        m_top = ComputeTop();
        DataSetChanged();
        break;
    case TDataEvent::deDataSetScroll: {
        const int old = m_top;
        m_top = ComputeTop();
        DataSetScrolled(m_top - old);
        break;
    }
    case TDataEvent::deLayoutChange:
        m_top = ComputeTop();
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
