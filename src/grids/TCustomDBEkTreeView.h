#pragma once

#include "base/TAddNodeEvent.h"
#include "grids/DBEdGridTypes.h"
#include "platform/data/DBTypes.h"

#include <QString>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <vector>

class TDataSet;
class TDataSource;
class TEkTreeViewLink;
class TField;
class TLargeIntSet;
class TTreeNode;

// A tree of the records of a dataset: each node stands for one record, carries the record's
// integer key and a caption made of chosen fields, and the tree and the dataset follow each
// other's current record. Where a record belongs comes from level fields (dttLevels), a parent
// key (dttParentChild, whole or level by level as nodes expand), a separate level dataset
// (dttTreeByNPK) or runs of records with equal level values (dttGroupBy). Field lists are
// ";"-separated names; the key, parent and level fields hold integers (a null reads as 0).
class TCustomDBEkTreeView : public QTreeWidget {
public:
    using TBuildNodeTextEvent = std::function<QString()>;
    using TTVExpandingEvent = std::function<void(TTreeNode* Node, bool& AllowExpansion)>;
    using TTVChangedEvent = std::function<void(TTreeNode* Node)>;
    using TNotifyEvent = std::function<void()>;

    explicit TCustomDBEkTreeView(QWidget* AOwner = nullptr);
    ~TCustomDBEkTreeView() override;

    // Settings. A change of a field setting or of the tree type rebuilds the tree (an empty
    // key, level or parent field empties it instead).
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    const QString& KeyField() const { return FKeyField; }
    void SetKeyField(const QString& Value);
    const QString& CaptionFields() const { return FCaptionFields; }
    void SetCaptionFields(const QString& Value);
    const QString& LevelFields() const { return FLevelFields; }
    void SetLevelFields(const QString& Value);
    const QString& ParentField() const { return FParentField; }
    void SetParentField(const QString& Value);
    // Kept in upper case; "NULL" (also for an empty value) makes records without parent roots.
    const QString& MinParentVal() const { return FMinParentVal; }
    void SetMinParentVal(const QString& Value);
    const QString& LevelFldInSL() const { return FLevelFldInSL; }
    void SetLevelFldInSL(const QString& Value);
    const QString& CaptionSeparator() const { return FCaptionSeparator; }
    void SetCaptionSeparator(const QString& Value) { FCaptionSeparator = Value; }
    TEkDBTreeType DBTreeType() const { return FDBTreeType; }
    void SetDBTreeType(TEkDBTreeType Value);
    // Not owned; must be a client dataset for dttTreeByNPK.
    TDataSet* LevelDataSet() const { return FLevelDataSet; }
    void SetLevelDataSet(TDataSet* Value);
    bool AutoRebuild() const { return FAutoRebuild; }
    void SetAutoRebuild(bool Value) { FAutoRebuild = Value; }
    bool ActivateInRoot() const { return FActivateInRoot; }
    void SetActivateInRoot(bool Value) { FActivateInRoot = Value; }
    bool DynamicExpand() const { return FDynamic; }
    void SetDynamicExpand(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    int LevelCount() const;
    // The level field at a zero-based index; empty for a negative one, raises past the last.
    QString GetLevels(int Index) const;
    void RebuildTree();

    // Nodes.
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* Node);
    // The selected node when it carries the key, else the first one in tree order.
    TTreeNode* FindNode(int Key) const;
    int RootCount() const { return topLevelItemCount(); }
    TTreeNode* Root(int Index) const;
    // Brings the selection to the dataset's current record.
    void SyncSelection();

    TAddNodeEvent OnAddNode;
    TBuildNodeTextEvent OnBuildTreeNodeText;
    TTVExpandingEvent OnExpanding;
    TTVExpandingEvent OnCollapsing;
    TTVChangedEvent OnChange;
    TNotifyEvent OnDblClick;

    // Notices from the data link.
    void LinkActiveChanged(bool Active);
    void DataSetScrolled();
    void RecordChanged(TField* Field);
    void DataSetChanged();

protected:
    TEkTreeViewLink* DataLink() const { return FDataLink.get(); }
    // The caption of the dataset's current record.
    QString NodeText() const;
    // Asked before a node stays expanded or collapsed; loads a dynamic tree's children.
    virtual bool CanExpand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    // The selection moved: the dataset follows it.
    virtual void Change(TTreeNode* Node);
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    class UpdateBracket;

    void Rebuild(bool SelectFirst);
    bool CanBuildTree() const;
    template <class Body>
    void RunBuild(bool SelectFirst, Body body);
    void BuildLevelsTree();
    void BuildParentChildTree(bool SelectFirst);
    void BuildParentChildFullTree(bool SelectFirst);
    void BuildTreeByNPK();
    void BuildGroupByTree();
    TTreeNode* FindLevelParent(const std::vector<TField*>& levels);
    void LoadChildren(TTreeNode* Node);
    TLargeIntSet& ParentKeys();
    void LoadPathTo();
    void ExpandPathTo(int Key, std::vector<int>& visited);
    bool IsDynamicTree() const { return FDynamic && FDBTreeType == TEkDBTreeType::dttParentChild; }

    TTreeNode* AddNode(TTreeNode* Parent, const QString& Text, int Key);
    void Announce(TTreeNode* Node);
    void ClearNodes();
    void SetFieldSetting(QString& setting, const QString& Value);
    TDataSet* DataSet() const;
    int KeyValue() const;
    std::vector<TField*> FieldsOf(const QString& list) const;
    void ExpansionChanged(QTreeWidgetItem* item, bool expanded);
    void ShowError(const std::exception& e);
    void ForgetDataSource();
    void ForgetLevelDataSet();

    bool FDblCLickFired = false;
    bool FBuilding = false;
    TDataSetState FPrevState = TDataSetState::dsInactive;
    int FLockCount = 0;
    std::unique_ptr<TEkTreeViewLink> FDataLink;
    QString FKeyField, FCaptionFields, FLevelFields, FParentField;
    QString FMinParentVal = QStringLiteral("0");
    QString FCaptionSeparator = QStringLiteral("   ");
    bool FAutoRebuild = true;
    bool FNeedRebuild = false;
    TEkDBTreeType FDBTreeType = TEkDBTreeType::dttLevels;
    TDataSet* FLevelDataSet = nullptr;
    bool FActivateInRoot = true;
    std::unique_ptr<TLargeIntSet> FHasChildsParents;
    bool FDynamic = true;
    QString FLevelFldInSL;
    bool FReadOnly = true;

    int FUpdateDepth = 0;
    bool FExpandGuard = false;
    TDataSource* FNotifiedSource = nullptr;
    int FSourceNotification = 0;
    int FLevelNotification = 0;
    std::vector<QMetaObject::Connection> FConnections;
};
