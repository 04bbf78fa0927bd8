#pragma once

#include "platform/data/DBTypes.h"

#include <functional>
#include <map>
#include <vector>

class TDataSet;
class TDataLink;
class TField;

// Connects data links (grids, edits) to a dataset and passes the dataset's notifications on.
// Whichever of the dataset, the source and a link dies first tells the others, so none of
// them keeps a dangling pointer.
class TDataSource {
public:
    TDataSource() = default;
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* dataSet);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool autoEdit) { FAutoEdit = autoEdit; }
    // The dataset's state; inactive without a dataset or while the source is disabled.
    TDataSetState State() const;
    // Puts the dataset into edit state when AutoEdit allows it.
    void Edit();

    std::function<void(TDataSource* Sender, TField* Field)> OnDataChange;
    std::function<void(TDataSource* Sender)> OnStateChange;
    std::function<void(TDataSource* Sender)> OnUpdateData;

    int DataLinkCount() const { return int(FLinks.size()); }
    TDataLink* DataLinks(int index) const { return FLinks.at(size_t(index)); }

    // Called with the source when it is destroyed; returns an id for RemoveFreeNotification.
    int AddFreeNotification(std::function<void(TDataSource*)> callback);
    void RemoveFreeNotification(int id);

    // Used by the dataset and the links.
    void DataEvent(TDataEvent event, TField* field);
    void DataSetGone();
    void AddDataLink(TDataLink* link);
    void RemoveDataLink(TDataLink* link);

private:
    void NotifyLinks(TDataEvent event, TField* field);

    TDataSet* FDataSet = nullptr;
    bool FEnabled = true;
    bool FAutoEdit = true;
    TDataSetState FLastState = TDataSetState::dsInactive;
    std::vector<TDataLink*> FLinks;
    std::map<int, std::function<void(TDataSource*)>> FFreeNotifications;
    int FNextNotificationId = 1;
};
