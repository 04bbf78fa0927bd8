#pragma once

#include <QString>
#include <QTreeWidgetItem>

// One node of the data-aware tree view: its caption and the integer key of the record it
// stands for. The tree widget owns its nodes.
class TTreeNode : public QTreeWidgetItem {
public:
    static constexpr int NodeType = QTreeWidgetItem::UserType + 105;

    TTreeNode(const QString& text, int data);

    int Data() const { return FData; }
    void SetData(int data) { FData = data; }
    QString Text() const { return text(0); }
    void SetText(const QString& text) { setText(0, text); }

    // Nodes of this tree only, so the casts are safe.
    TTreeNode* Parent() const { return static_cast<TTreeNode*>(parent()); }
    int Count() const { return childCount(); }
    TTreeNode* Item(int index) const { return static_cast<TTreeNode*>(child(index)); }
    // Depth below the root level (0 for a root node).
    int Level() const;
    // True when this node lies (at any depth) below node.
    bool HasAsParent(const TTreeNode* node) const;

    // Whether the node shows an expansion button while its children are not loaded yet.
    bool HasChildren() const;
    void SetHasChildren(bool value);
    bool Expanded() const { return isExpanded(); }
    void Expand(bool recurse);
    void Collapse(bool recurse);

private:
    int FData;
};
