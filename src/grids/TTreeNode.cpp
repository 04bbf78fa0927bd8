#include "grids/TTreeNode.h"

TTreeNode::TTreeNode(const QString& text, int data)
    : QTreeWidgetItem(NodeType)
    , FData(data)
{
    setText(0, text);
}

int TTreeNode::Level() const
{
    int level = 0;
    for (const QTreeWidgetItem* p = parent(); p; p = p->parent())
        ++level;
    return level;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const
{
    for (const QTreeWidgetItem* p = parent(); p; p = p->parent())
        if (p == node)
            return true;
    return false;
}

bool TTreeNode::HasChildren() const
{
    return childCount() > 0 || childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
}

void TTreeNode::SetHasChildren(bool value)
{
    setChildIndicatorPolicy(value ? QTreeWidgetItem::ShowIndicator
                                  : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TTreeNode::Expand(bool recurse)
{
    setExpanded(true);
    if (recurse)
        for (int i = 0; i < childCount(); ++i)
            Item(i)->Expand(true);
}

void TTreeNode::Collapse(bool recurse)
{
    if (recurse)
        for (int i = 0; i < childCount(); ++i)
            Item(i)->Collapse(true);
    setExpanded(false);
}
