#pragma once

#include "GridTestUtil.h"
#include "grids/TCustomDBEkTreeView.h"
#include "grids/TTreeNode.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"

#include <QStringList>

#include <memory>
#include <vector>

// A client dataset of integer fields, then NAME (string 30) holding "n" and the first field's
// value unless a row gives a name of its own as an extra value.
inline std::unique_ptr<TClientDataSet> MakeTable(const QStringList& intFields, const std::vector<ValueArray>& rows)
{
    auto ds = std::make_unique<TClientDataSet>();
    for (const QString& f : intFields)
        ds->FieldDefs().Add(f, TFieldType::ftInteger);
    ds->FieldDefs().Add(QStringLiteral("NAME"), TFieldType::ftString, 30);
    ds->CreateDataSet();
    for (ValueArray row : rows) {
        if (int(row.size()) == intFields.size())
            row.push_back(Value(QStringLiteral("n") + row.front().AsString()));
        ds->AppendRecord(row);
    }
    ds->First();
    return ds;
}

// The tree as keys: "1(2(3)),4" for root 1 with child 2 with child 3, and root 4.
inline QString DumpNodes(QTreeWidgetItem* parent, const QTreeWidget& tree)
{
    QStringList parts;
    const int count = parent ? parent->childCount() : tree.topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        auto* node = static_cast<TTreeNode*>(parent ? parent->child(i) : tree.topLevelItem(i));
        QString s = QString::number(node->Data());
        if (node->childCount() > 0)
            s += QStringLiteral("(") + DumpNodes(node, tree) + QStringLiteral(")");
        parts << s;
    }
    return parts.join(QLatin1Char(','));
}

inline QString Dump(const QTreeWidget& tree)
{
    return DumpNodes(nullptr, tree);
}

inline int Key(const TDataSet& ds)
{
    return ds.FieldByName(QStringLiteral("K"))->AsInteger();
}
