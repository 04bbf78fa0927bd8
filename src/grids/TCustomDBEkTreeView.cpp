#include "grids/TCustomDBEkTreeView.h"

#include "base/KpUt.h"
#include "base/TLargeIntSet.h"
#include "grids/TEkTreeViewLink.h"
#include "grids/TTmpFilter.h"
#include "grids/TTreeNode.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/TDataSetGuard.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QHash>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace {

const QString NullParent = QStringLiteral("NULL");
const QString Placeholder = QStringLiteral("*??*");

// Joins texts, putting the separator in front of a text only once something has been built.
template <class TextOf>
QString JoinFieldTexts(const std::vector<TField*>& fields, const QString& separator, TextOf textOf)
{
    QString s;
    for (TField* f : fields) {
        if (!s.isEmpty())
            s += separator;
        s += textOf(f);
    }
    return s;
}

QString DisplayTextOf(TField* f)
{
    return f->DisplayText().trimmed();
}

// Field names compared trimmed and in any letter case.
bool ListContainsName(const QString& list, const QString& name)
{
    QString rest = list.trimmed();
    QString token;
    while (!rest.isEmpty()) {
        KpUt::StrToken(rest, token, QStringLiteral(";"), true);
        if (token.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The dataset's filter text, filtering state and current record come back whatever happens.
constexpr unsigned KeepFilter = TDataSetGuard::Controls | TDataSetGuard::Filter | TDataSetGuard::Position;

} // namespace

// Nested brackets around changes of the node list: the tree repaints once, at the end.
class TCustomDBEkTreeView::UpdateBracket {
public:
    explicit UpdateBracket(TCustomDBEkTreeView* tree)
        : FTree(tree)
    {
        if (FTree->FUpdateDepth++ == 0)
            FTree->setUpdatesEnabled(false);
    }
    ~UpdateBracket()
    {
        if (--FTree->FUpdateDepth == 0)
            FTree->setUpdatesEnabled(true);
    }
    UpdateBracket(const UpdateBracket&) = delete;
    UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
    TCustomDBEkTreeView* FTree;
};

TCustomDBEkTreeView::TCustomDBEkTreeView(QWidget* AOwner)
    : QTreeWidget(AOwner)
    , FDataLink(std::make_unique<TEkTreeViewLink>(this))
{
    setColumnCount(1);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Slots catch at their edge: a failure shows its message and the tree stays usable.
    const auto atEdge = [this](auto work) {
        try {
            work();
        } catch (const std::exception& e) {
            ShowError(e);
        }
    };
    FConnections.push_back(connect(this, &QTreeWidget::currentItemChanged, this, [this, atEdge](QTreeWidgetItem* current) {
        atEdge([&] { Change(static_cast<TTreeNode*>(current)); });
    }));
    FConnections.push_back(connect(this, &QTreeWidget::itemExpanded, this, [this, atEdge](QTreeWidgetItem* item) {
        atEdge([&] { ExpansionChanged(item, true); });
    }));
    FConnections.push_back(connect(this, &QTreeWidget::itemCollapsed, this, [this, atEdge](QTreeWidgetItem* item) {
        atEdge([&] { ExpansionChanged(item, false); });
    }));
}

TCustomDBEkTreeView::~TCustomDBEkTreeView()
{
    // The base class clears its items after this object is gone: no notice may reach us then.
    for (const auto& c : FConnections)
        disconnect(c);
    FBuilding = true;
    ClearNodes();
    ForgetDataSource();
    ForgetLevelDataSet();
    FDataLink.reset();
}

void TCustomDBEkTreeView::ShowError(const std::exception& e)
{
    const auto* own = dynamic_cast<const Exception*>(&e);
    UiServices::MessageBox(this, own ? own->Message() : QString::fromUtf8(e.what()), QApplication::applicationName(),
                           QMessageBox::Critical, QMessageBox::Ok);
}

// ---- settings ----

TDataSource* TCustomDBEkTreeView::DataSource() const
{
    return FDataLink->DataSource();
}

void TCustomDBEkTreeView::ForgetDataSource()
{
    if (FNotifiedSource)
        FNotifiedSource->RemoveFreeNotification(FSourceNotification);
    FNotifiedSource = nullptr;
    FSourceNotification = 0;
}

void TCustomDBEkTreeView::SetDataSource(TDataSource* Value)
{
    if (Value == DataSource())
        return;
    ForgetDataSource();
    if (Value) {
        FNotifiedSource = Value;
        FSourceNotification = Value->AddFreeNotification([this](TDataSource*) {
            FNotifiedSource = nullptr;
            FSourceNotification = 0;
            FDataLink->SetDataSource(nullptr);
            ClearNodes();
        });
    }
    FDataLink->SetDataSource(Value);
    if (!Value)
        ClearNodes();
}

void TCustomDBEkTreeView::SetFieldSetting(QString& setting, const QString& Value)
{
    if (Value == setting)
        return;
    setting = Value;
    if (Value.isEmpty())
        ClearNodes();
    else
        Rebuild(false);
}

void TCustomDBEkTreeView::SetKeyField(const QString& Value)
{
    SetFieldSetting(FKeyField, Value);
}

void TCustomDBEkTreeView::SetLevelFields(const QString& Value)
{
    SetFieldSetting(FLevelFields, Value);
}

void TCustomDBEkTreeView::SetParentField(const QString& Value)
{
    SetFieldSetting(FParentField, Value);
}

void TCustomDBEkTreeView::SetLevelFldInSL(const QString& Value)
{
    SetFieldSetting(FLevelFldInSL, Value);
}

void TCustomDBEkTreeView::SetCaptionFields(const QString& Value)
{
    if (Value == FCaptionFields)
        return;
    FCaptionFields = Value;
    Rebuild(false);
}

void TCustomDBEkTreeView::SetMinParentVal(const QString& Value)
{
    const QString v = Value.isEmpty() ? NullParent : Value.toUpper();
    if (v == FMinParentVal)
        return;
    FMinParentVal = v;
    Rebuild(false);
}

void TCustomDBEkTreeView::SetDBTreeType(TEkDBTreeType Value)
{
    if (Value == FDBTreeType)
        return;
    FDBTreeType = Value;
    Rebuild(false);
}

void TCustomDBEkTreeView::SetDynamicExpand(bool Value)
{
    if (Value == FDynamic)
        return;
    FDynamic = Value;
    RebuildTree();
}

void TCustomDBEkTreeView::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    setEditTriggers(Value ? QAbstractItemView::NoEditTriggers
                          : QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

void TCustomDBEkTreeView::ForgetLevelDataSet()
{
    if (FLevelDataSet && FLevelNotification)
        FLevelDataSet->RemoveFreeNotification(FLevelNotification);
    FLevelNotification = 0;
}

void TCustomDBEkTreeView::SetLevelDataSet(TDataSet* Value)
{
    if (Value == FLevelDataSet)
        return;
    ForgetLevelDataSet();
    FLevelDataSet = Value;
    if (!Value) {
        ClearNodes();
        return;
    }
    FLevelNotification = Value->AddFreeNotification([this](TDataSet*) {
        FLevelDataSet = nullptr;
        FLevelNotification = 0;
        ClearNodes();
    });
    Rebuild(false);
}

int TCustomDBEkTreeView::LevelCount() const
{
    QString rest = FLevelFields.trimmed();
    QString token;
    int n = 0;
    while (!rest.isEmpty()) {
        KpUt::StrToken(rest, token, QStringLiteral(";"), true);
        ++n;
    }
    return n;
}

QString TCustomDBEkTreeView::GetLevels(int Index) const
{
    if (Index < 0)
        return QString();
    QString rest = FLevelFields.trimmed();
    QString token;
    for (int i = 0; i <= Index; ++i) {
        if (rest.isEmpty())
            throw Exception(QStringLiteral("Invalid index in Levels array of TDBEkTreeView"));
        KpUt::StrToken(rest, token, QStringLiteral(";"), true);
    }
    return token;
}

void TCustomDBEkTreeView::RebuildTree()
{
    Rebuild(false);
}

// ---- nodes ----

TTreeNode* TCustomDBEkTreeView::Selected() const
{
    return static_cast<TTreeNode*>(currentItem());
}

void TCustomDBEkTreeView::SetSelected(TTreeNode* Node)
{
    setCurrentItem(Node);
}

TTreeNode* TCustomDBEkTreeView::Root(int Index) const
{
    return static_cast<TTreeNode*>(topLevelItem(Index));
}

TTreeNode* TCustomDBEkTreeView::FindNode(int Key) const
{
    TTreeNode* sel = Selected();
    if (sel && sel->Data() == Key)
        return sel;
    for (QTreeWidgetItemIterator it(const_cast<TCustomDBEkTreeView*>(this)); *it; ++it) {
        auto* node = static_cast<TTreeNode*>(*it);
        if (node->Data() == Key)
            return node;
    }
    return nullptr;
}

TTreeNode* TCustomDBEkTreeView::AddNode(TTreeNode* Parent, const QString& Text, int Key)
{
    auto* node = new TTreeNode(Text, Key);
    if (Parent)
        Parent->addChild(node);
    else
        addTopLevelItem(node);
    return node;
}

void TCustomDBEkTreeView::Announce(TTreeNode* Node)
{
    if (OnAddNode)
        OnAddNode(Node, DataSet());
}

void TCustomDBEkTreeView::ClearNodes()
{
    QScopedValueRollback building(FBuilding, true);
    clear();
}

TDataSet* TCustomDBEkTreeView::DataSet() const
{
    return FDataLink ? FDataLink->DataSet() : nullptr;
}

int TCustomDBEkTreeView::KeyValue() const
{
    return DataSet()->FieldByName(FKeyField)->AsInteger();
}

std::vector<TField*> TCustomDBEkTreeView::FieldsOf(const QString& list) const
{
    TDataSet* ds = DataSet();
    std::vector<TField*> fields;
    QString rest = list.trimmed();
    QString token;
    while (!rest.isEmpty()) {
        KpUt::StrToken(rest, token, QStringLiteral(";"), true);
        if (!token.isEmpty())
            fields.push_back(ds->FieldByName(token));
    }
    return fields;
}

QString TCustomDBEkTreeView::NodeText() const
{
    if (OnBuildTreeNodeText)
        return OnBuildTreeNodeText();
    std::vector<TField*> fields;
    if (FCaptionFields.trimmed().isEmpty()) {
        TDataSet* ds = DataSet();
        for (int i = 0; i < ds->FieldCount(); ++i)
            fields.push_back(ds->Fields(i));
    } else {
        fields = FieldsOf(FCaptionFields);
    }
    return JoinFieldTexts(fields, FCaptionSeparator, DisplayTextOf);
}

// ---- building ----

bool TCustomDBEkTreeView::CanBuildTree() const
{
    if (FKeyField.isEmpty())
        return false;
    switch (FDBTreeType) {
    case TEkDBTreeType::dttLevels:
        return !FLevelFields.isEmpty();
    case TEkDBTreeType::dttParentChild:
        return !FParentField.isEmpty();
    case TEkDBTreeType::dttTreeByNPK:
        if (FLevelDataSet && !dynamic_cast<TClientDataSet*>(FLevelDataSet))
            throw Exception(QStringLiteral("LevelDataSet must be TClientDataSet or its descendant!"));
        return FLevelDataSet && !FLevelFldInSL.isEmpty();
    case TEkDBTreeType::dttGroupBy:
        return !FLevelFields.isEmpty() && !FLevelFldInSL.isEmpty();
    }
    return false;
}

void TCustomDBEkTreeView::Rebuild(bool SelectFirst)
{
    if (!DataSet() || FBuilding || !CanBuildTree())
        return;
    switch (FDBTreeType) {
    case TEkDBTreeType::dttLevels:
        BuildLevelsTree();
        break;
    case TEkDBTreeType::dttParentChild:
        if (FDynamic)
            BuildParentChildTree(SelectFirst);
        else
            BuildParentChildFullTree(SelectFirst);
        break;
    case TEkDBTreeType::dttTreeByNPK:
        BuildTreeByNPK();
        break;
    case TEkDBTreeType::dttGroupBy:
        BuildGroupByTree();
        break;
    }
}

// Every build: an empty tree first, the dataset's controls still and its record kept, and at
// the end either the first root selected (the dataset follows it) or the selection brought
// to the dataset's record.
template <class Body>
void TCustomDBEkTreeView::RunBuild(bool SelectFirst, Body body)
{
    TDataSet* ds = DataSet();
    {
        QScopedValueRollback building(FBuilding, true);
        UpdateBracket updates(this);
        clear();
        if (!ds->Active())
            return;
        const TDataSetGuard restore(ds, TDataSetGuard::Controls | TDataSetGuard::Position);
        body(ds);
    }
    if (!SelectFirst)
        SyncSelection();
    else if (RootCount() > 0)
        SetSelected(Root(0));
}

TTreeNode* TCustomDBEkTreeView::FindLevelParent(const std::vector<TField*>& levels)
{
    TTreeNode* found = nullptr;
    for (TField* level : levels) {
        const int v = level->AsInteger();
        if (v == 0)
            break;
        TTreeNode* match = nullptr;
        const int count = found ? found->Count() : RootCount();
        for (int i = 0; i < count && !match; ++i) {
            TTreeNode* candidate = found ? found->Item(i) : Root(i);
            if (candidate->Data() == v)
                match = candidate;
        }
        if (!match) {
            UiServices::MessageBox(this,
                                   QStringLiteral("Nekorekti dati ierakstā") + NodeText() + QStringLiteral("(PK=")
                                       + DataSet()->FieldByName(FKeyField)->AsString() + QStringLiteral(")"),
                                   QApplication::applicationName(), QMessageBox::NoIcon, QMessageBox::Ok);
            break;
        }
        found = match;
    }
    return found;
}

void TCustomDBEkTreeView::BuildLevelsTree()
{
    RunBuild(false, [this](TDataSet* ds) {
        const std::vector<TField*> levels = FieldsOf(FLevelFields);
        const int n = int(levels.size());
        TTmpFilter filter(ds);
        for (int k = 0; k <= n; ++k) {
            QString condition;
            if (k < n) {
                const QString& lk = levels[size_t(k)]->FieldName();
                condition = QStringLiteral("((") + lk + QStringLiteral("=Null) or (") + lk + QStringLiteral("=0))");
            }
            if (k > 0) {
                const QString& lp = levels[size_t(k - 1)]->FieldName();
                if (!condition.isEmpty())
                    condition += QStringLiteral("AND");
                condition += QStringLiteral("((") + lp + QStringLiteral(" <> Null) and (") + lp + QStringLiteral("<>0))");
            }
            if (!filter.ApplyFilter(condition))
                break;
            TTreeNode* parent = nullptr;
            while (!ds->Eof()) {
                TTreeNode* node = nullptr;
                if (k == 0) {
                    node = AddNode(nullptr, NodeText(), KeyValue());
                } else {
                    const int up = levels[size_t(k - 1)]->AsInteger();
                    if (!parent || parent->Data() != up)
                        parent = FindLevelParent(levels);
                    if (parent)
                        node = AddNode(parent, NodeText(), KeyValue());
                }
                if (node)
                    Announce(node);
                ds->Next();
            }
        }
    });
}

TLargeIntSet& TCustomDBEkTreeView::ParentKeys()
{
    if (!FHasChildsParents) {
        auto keys = std::make_unique<TLargeIntSet>();
        TDataSet* ds = DataSet();
        const TDataSetGuard keep(ds, KeepFilter);
        ds->SetFiltered(false);
        keys->LoadFromDataSetField(ds->FieldByName(FParentField));
        FHasChildsParents = std::move(keys);
    }
    return *FHasChildsParents;
}

void TCustomDBEkTreeView::LoadChildren(TTreeNode* Node)
{
    if (Node ? Node->Count() > 0 : RootCount() > 0)
        return;
    TDataSet* ds = DataSet();
    const TLargeIntSet& parents = ParentKeys();
    UpdateBracket updates(this);
    {
        const TDataSetGuard keep(ds, KeepFilter);
        ds->SetFilter(FParentField + QStringLiteral("=") + (Node ? QString::number(Node->Data()) : FMinParentVal));
        ds->SetFiltered(true);
        ds->First();
        while (!ds->Eof()) {
            const int key = KeyValue();
            TTreeNode* node = AddNode(Node, NodeText(), key);
            Announce(node);
            node->SetHasChildren(parents.Exists(key));
            ds->Next();
        }
    }
    // A node whose children are all out of reach keeps no expansion button.
    if (Node && Node->Count() == 0)
        Node->SetHasChildren(false);
}

void TCustomDBEkTreeView::BuildParentChildTree(bool SelectFirst)
{
    FHasChildsParents.reset();
    RunBuild(SelectFirst, [this](TDataSet*) { LoadChildren(nullptr); });
}

void TCustomDBEkTreeView::BuildParentChildFullTree(bool SelectFirst)
{
    RunBuild(SelectFirst, [this](TDataSet* ds) {
        const bool nullRoots = FMinParentVal == NullParent;
        TTmpFilter filter(ds);
        filter.ApplyFilter(nullRoots ? QString()
                                     : QStringLiteral("(") + FParentField + QStringLiteral(">=") + FMinParentVal
                                           + QStringLiteral(")"));
        TField* parentField = ds->FieldByName(FParentField);
        QHash<int, TTreeNode*> listed;
        for (ds->First(); !ds->Eof(); ds->Next()) {
            TTreeNode* parent = nullptr;
            if (!(parentField->IsNull() && nullRoots)) {
                const int pk = parentField->AsInteger();
                parent = listed.value(pk);
                if (!parent) {
                    parent = AddNode(nullptr, Placeholder, pk);
                    listed.insert(pk, parent);
                }
            }
            const int key = KeyValue();
            TTreeNode* node = listed.value(key);
            if (!node) {
                node = AddNode(parent, NodeText(), key);
                listed.insert(key, node);
            } else {
                // A placeholder made for an earlier child. Records that name themselves or
                // each other as parents stay where they are rather than hang under themselves.
                if (parent != node && !(parent && parent->HasAsParent(node))) {
                    if (QTreeWidgetItem* from = node->parent())
                        from->removeChild(node);
                    else
                        takeTopLevelItem(indexOfTopLevelItem(node));
                    if (parent) {
                        parent->addChild(node);
                        parent->Collapse(false);
                    } else {
                        addTopLevelItem(node);
                    }
                }
                node->SetText(NodeText());
            }
            Announce(node);
        }
        // Placeholders of parents that are missing: their children take their place at the root.
        for (int i = 0; i < RootCount();) {
            TTreeNode* root = Root(i);
            if (root->Text() != Placeholder || ds->Locate(FKeyField, ::Value(root->Data()))) {
                ++i;
                continue;
            }
            takeTopLevelItem(i);
            const QList<QTreeWidgetItem*> children = root->takeChildren();
            insertTopLevelItems(i, children);
            delete root;
            i += int(children.size());
        }
    });
}

void TCustomDBEkTreeView::BuildTreeByNPK()
{
    RunBuild(FActivateInRoot, [this](TDataSet* ds) {
        auto* lds = static_cast<TClientDataSet*>(FLevelDataSet);
        TField* levelField = ds->FieldByName(FLevelFldInSL);
        TField* child = lds->FieldByName(QStringLiteral("PK_CHILD"));
        TField* ancestor = lds->FieldByName(QStringLiteral("PK_KEY"));
        // The level dataset is only read: its controls stay still and its record comes back.
        const TDataSetGuard keepLevels(lds, KeepFilter);
        TTreeNode* candidate = nullptr;
        for (ds->First(); !ds->Eof(); ds->Next()) {
            const QString text = NodeText();
            const int key = KeyValue();
            bool searched = false;
            bool placed = false;
            TBookmark entries;
            while (candidate && !placed) {
                if (!searched) {
                    searched = true;
                    if (!lds->FindKey({::Value(key), levelField->Value()}))
                        throw Exception(QStringLiteral("Object ID=") + QString::number(key)
                                        + QStringLiteral(" not found in LevelDataset!"));
                    lds->Next();
                    if (lds->Eof() || child->AsInteger() != key) {
                        candidate = nullptr;
                        break;
                    }
                    entries = lds->GetBookmark();
                } else {
                    lds->GotoBookmark(entries);
                }
                for (; !lds->Eof() && child->AsInteger() == key; lds->Next())
                    if (ancestor->AsInteger() == candidate->Data()) {
                        placed = true;
                        break;
                    }
                if (!placed)
                    candidate = candidate->Parent();
            }
            TTreeNode* node = AddNode(candidate, text, key);
            Announce(node);
            candidate = node;
        }
    });
}

void TCustomDBEkTreeView::BuildGroupByTree()
{
    RunBuild(FActivateInRoot, [this](TDataSet* ds) {
        const std::vector<TField*> levels = FieldsOf(FLevelFields);
        const std::vector<TField*> captions = FieldsOf(FLevelFldInSL);
        const QString keySeparator(QChar(23));
        const auto groupKey = [&] { return JoinFieldTexts(levels, keySeparator, [](TField* f) { return f->AsString(); }); };
        ds->First();
        while (!ds->Eof()) {
            const QString group = groupKey();
            QString caption = JoinFieldTexts(captions, FCaptionSeparator, DisplayTextOf);
            if (caption.isEmpty())
                caption = QStringLiteral("<") + QStringLiteral("Nav piešķirts") + QStringLiteral(">");
            TTreeNode* groupNode = AddNode(nullptr, caption, KeyValue());
            while (!ds->Eof() && groupKey().compare(group, Qt::CaseInsensitive) == 0) {
                Announce(AddNode(groupNode, NodeText(), KeyValue()));
                ds->Next();
            }
        }
    });
}

// ---- following each other ----

void TCustomDBEkTreeView::SyncSelection()
{
    TDataSet* ds = DataSet();
    if (FBuilding || FLockCount > 0 || !ds || !ds->Active() || FKeyField.isEmpty())
        return;
    const int key = KeyValue();
    TTreeNode* node = FindNode(key);
    TTreeNode* sel = Selected();
    if (node == sel && !(node == nullptr && IsDynamicTree()))
        return;
    if (node && sel && (node->parent() == sel->parent() || node->HasAsParent(sel))) {
        SetSelected(node);
    } else if (node && sel && sel->HasAsParent(node)) {
        SetSelected(node);
        node->Collapse(true);
    } else {
        if (!node && IsDynamicTree() && !FParentField.isEmpty()) {
            LoadPathTo();
            node = FindNode(key);
        }
        UpdateBracket updates(this);
        collapseAll();
        SetSelected(node);
    }
    if (node)
        scrollToItem(node);
}

void TCustomDBEkTreeView::LoadPathTo()
{
    TDataSet* ds = DataSet();
    TField* parent = ds->FieldByName(FParentField);
    if (FMinParentVal == NullParent && parent->IsNull())
        return;
    if (parent->AsString() == FMinParentVal)
        return;
    QScopedValueRollback building(FBuilding, true);
    std::vector<int> visited;
    ExpandPathTo(parent->AsInteger(), visited);
}

void TCustomDBEkTreeView::ExpandPathTo(int Key, std::vector<int>& visited)
{
    // Records that name each other as parents would send the walk round for ever.
    if (std::find(visited.begin(), visited.end(), Key) != visited.end())
        return;
    visited.push_back(Key);
    TDataSet* ds = DataSet();
    {
        const TDataSetGuard keep(ds, KeepFilter);
        if (!FindNode(Key) && QString::number(Key) != FMinParentVal
            && ds->Locate(FKeyField, ::Value(Key)))
            ExpandPathTo(ds->FieldByName(FParentField)->AsInteger(), visited);
    }
    if (TTreeNode* node = FindNode(Key))
        LoadChildren(node);
}

void TCustomDBEkTreeView::Change(TTreeNode* Node)
{
    if (FBuilding)
        return;
    TDataSet* ds = DataSet();
    if (FLockCount == 0 && Node && ds && ds->Active() && !FKeyField.isEmpty() && Node->Data() != KeyValue()) {
        ++FLockCount;
        const auto unlock = qScopeGuard([this] { --FLockCount; });
        ds->Locate(FKeyField, ::Value(Node->Data()));
    }
    if (OnChange)
        OnChange(Node);
}

bool TCustomDBEkTreeView::CanExpand(TTreeNode* Node)
{
    const auto clearMark = qScopeGuard([this] { FDblCLickFired = false; });
    if (FDblCLickFired && OnDblClick)
        return false;
    if (IsDynamicTree() && DataSet() && DataSet()->Active() && !FParentField.isEmpty() && !FKeyField.isEmpty()) {
        QScopedValueRollback building(FBuilding, true);
        LoadChildren(Node);
    }
    bool allow = true;
    if (OnExpanding)
        OnExpanding(Node, allow);
    return allow;
}

bool TCustomDBEkTreeView::CanCollapse(TTreeNode* Node)
{
    const auto clearMark = qScopeGuard([this] { FDblCLickFired = false; });
    if (FDblCLickFired && OnDblClick)
        return false;
    bool allow = true;
    if (OnCollapsing)
        OnCollapsing(Node, allow);
    return allow;
}

// The tree widget tells of an expansion or a collapse once it is done: a refused one is
// undone at once.
void TCustomDBEkTreeView::ExpansionChanged(QTreeWidgetItem* item, bool expanded)
{
    if (FExpandGuard)
        return;
    auto* node = static_cast<TTreeNode*>(item);
    if (!(expanded ? CanExpand(node) : CanCollapse(node))) {
        QScopedValueRollback guard(FExpandGuard, true);
        item->setExpanded(!expanded);
    }
}

void TCustomDBEkTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    FDblCLickFired = true;
    const auto clearMark = qScopeGuard([this] { FDblCLickFired = false; });
    if (!OnDblClick) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    // The handler has the double click to itself: no node opens or closes on it.
    event->accept();
    try {
        OnDblClick();
    } catch (const std::exception& e) {
        ShowError(e);
    }
}

// ---- data link notices ----

void TCustomDBEkTreeView::LinkActiveChanged(bool Active)
{
    if (!FAutoRebuild)
        return;
    if (!Active)
        ClearNodes();
    else if (!DataSet()->ControlsDisabled())
        Rebuild(FActivateInRoot);
}

void TCustomDBEkTreeView::DataSetScrolled()
{
    SyncSelection();
}

void TCustomDBEkTreeView::RecordChanged(TField* Field)
{
    if (FBuilding || FLockCount > 0 || !Field || FKeyField.isEmpty())
        return;
    if (!FCaptionFields.trimmed().isEmpty() && !ListContainsName(FCaptionFields, Field->FieldName()))
        return;
    if (TTreeNode* node = FindNode(KeyValue()))
        node->SetText(NodeText());
}

void TCustomDBEkTreeView::DataSetChanged()
{
    TDataSet* ds = DataSet();
    if (!ds)
        return;
    const TDataSetState state = ds->State();
    if (FLockCount == 0 && !FBuilding && state == TDataSetState::dsBrowse && FPrevState != TDataSetState::dsSetKey) {
        if (FAutoRebuild)
            Rebuild(false);
        else
            FNeedRebuild = true;
    }
    FPrevState = state;
}
