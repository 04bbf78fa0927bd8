#include "platform/data/DataSource.h"

#include "platform/data/DataLink.h"
#include "platform/data/DataSet.h"

#include <algorithm>

TDataSource::~TDataSource()
{
    auto notifications = std::move(FFreeNotifications);
    for (auto& [id, callback] : notifications)
        if (callback)
            callback(this);
    if (FDataSet)
        FDataSet->DetachDataSource(this);
    FDataSet = nullptr;
    const auto links = FLinks;
    FLinks.clear();
    for (TDataLink* link : links)
        link->SourceGone();
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == FDataSet)
        return;
    if (FDataSet)
        FDataSet->DetachDataSource(this);
    FDataSet = dataSet;
    if (FDataSet)
        FDataSet->AttachDataSource(this);
    const auto links = FLinks;
    for (TDataLink* link : links)
        link->SourceStateChanged();
    const TDataSetState state = State();
    if (state != FLastState) {
        FLastState = state;
        if (OnStateChange)
            OnStateChange(this);
    }
}

void TDataSource::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    const auto links = FLinks;
    for (TDataLink* link : links)
        link->SourceStateChanged();
}

TDataSetState TDataSource::State() const
{
    return FDataSet && FEnabled ? FDataSet->State() : TDataSetState::dsInactive;
}

void TDataSource::Edit()
{
    if (FAutoEdit && State() == TDataSetState::dsBrowse)
        FDataSet->Edit();
}

int TDataSource::AddFreeNotification(std::function<void(TDataSource*)> callback)
{
    const int id = FNextNotificationId++;
    FFreeNotifications.emplace(id, std::move(callback));
    return id;
}

void TDataSource::RemoveFreeNotification(int id)
{
    FFreeNotifications.erase(id);
}

void TDataSource::AddDataLink(TDataLink* link)
{
    if (std::find(FLinks.begin(), FLinks.end(), link) == FLinks.end())
        FLinks.push_back(link);
}

void TDataSource::RemoveDataLink(TDataLink* link)
{
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), link), FLinks.end());
}

void TDataSource::NotifyLinks(TDataEvent event, TField* field)
{
    // A link may detach itself (or others) while it handles the event.
    const auto links = FLinks;
    for (TDataLink* link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end())
            link->SourceEvent(event, field);
}

void TDataSource::DataEvent(TDataEvent event, TField* field)
{
    if (event == TDataEvent::deUpdateState) {
        const TDataSetState state = State();
        NotifyLinks(event, field);
        if (state != FLastState) {
            FLastState = state;
            if (OnStateChange)
                OnStateChange(this);
        }
        return;
    }
    if (!FEnabled)
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
    FDataSet = nullptr;
    const auto links = FLinks;
    for (TDataLink* link : links)
        link->SourceStateChanged();
    if (FLastState != TDataSetState::dsInactive) {
        FLastState = TDataSetState::dsInactive;
        if (OnStateChange)
            OnStateChange(this);
    }
}
