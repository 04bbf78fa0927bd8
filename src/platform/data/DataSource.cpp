#include "platform/data/DataSource.h"

#include "platform/data/DataLink.h"
#include "platform/data/DataSet.h"

#include <algorithm>

TDataSource::~TDataSource()
{
    auto notifications = std::move(m_freeNotifications);
    for (auto& [id, callback] : notifications)
        if (callback)
            callback(this);
    if (m_dataSet)
        m_dataSet->DetachDataSource(this);
    m_dataSet = nullptr;
    const auto links = m_links;
    m_links.clear();
    for (TDataLink* link : links)
        link->SourceGone();
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == m_dataSet)
        return;
    if (m_dataSet)
        m_dataSet->DetachDataSource(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->AttachDataSource(this);
    const auto links = m_links;
    for (TDataLink* link : links)
        link->SourceStateChanged();
    const TDataSetState state = State();
    if (state != m_lastState) {
        m_lastState = state;
        if (OnStateChange)
            OnStateChange(this);
    }
}

void TDataSource::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    const auto links = m_links;
    for (TDataLink* link : links)
        link->SourceStateChanged();
}

TDataSetState TDataSource::State() const
{
    return m_dataSet && m_enabled ? m_dataSet->State() : TDataSetState::dsInactive;
}

void TDataSource::Edit()
{
    if (m_autoEdit && State() == TDataSetState::dsBrowse)
        m_dataSet->Edit();
}

int TDataSource::AddFreeNotification(std::function<void(TDataSource*)> callback)
{
    const int id = m_nextNotificationId++;
    m_freeNotifications.emplace(id, std::move(callback));
    return id;
}

void TDataSource::RemoveFreeNotification(int id)
{
    m_freeNotifications.erase(id);
}

void TDataSource::AddDataLink(TDataLink* link)
{
    if (std::find(m_links.begin(), m_links.end(), link) == m_links.end())
        m_links.push_back(link);
}

void TDataSource::RemoveDataLink(TDataLink* link)
{
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
}

void TDataSource::NotifyLinks(TDataEvent event, TField* field)
{
    // A link may detach itself (or others) while it handles the event.
    const auto links = m_links;
    for (TDataLink* link : links)
        if (std::find(m_links.begin(), m_links.end(), link) != m_links.end())
            link->SourceEvent(event, field);
}

void TDataSource::DataEvent(TDataEvent event, TField* field)
{
    if (event == TDataEvent::deUpdateState) {
        const TDataSetState state = State();
        NotifyLinks(event, field);
        if (state != m_lastState) {
            m_lastState = state;
            if (OnStateChange)
                OnStateChange(this);
        }
        return;
    }
    if (!m_enabled)
        return;
    NotifyLinks(event, field);
    switch (event) {
    case TDataEvent::deFieldChange:
    case TDataEvent::deRecordChange:
    case TDataEvent::deDataSetChange:
    case TDataEvent::deDataSetScroll:
    case TDataEvent::deLayoutChange:
        if (OnDataChange)
            OnDataChange(this, event == TDataEvent::deFieldChange ? field : nullptr);
        break;
    case TDataEvent::deUpdateRecord:
        if (OnUpdateData)
            OnUpdateData(this);
        break;
    default:
        break;
    }
}

void TDataSource::DataSetGone()
{
    m_dataSet = nullptr;
    const auto links = m_links;
    for (TDataLink* link : links)
        link->SourceStateChanged();
    if (m_lastState != TDataSetState::dsInactive) {
        m_lastState = TDataSetState::dsInactive;
        if (OnStateChange)
            OnStateChange(this);
    }
}
