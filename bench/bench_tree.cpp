// Cost of the data-aware tree view over large hierarchies: a level-by-level tree must build
// in time that follows the roots it shows, not the whole dataset's nodes, and bringing it to
// a deep record loads only the path there.
#include "GuiBenchMain.h"
#include "grids/TDBEkTreeView.h"
#include "grids/TTreeNode.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

// Keys 1..n; keys below 10 are roots (parent 0), every other key hangs under key / 10.
struct Fixture {
    TClientDataSet ds;
    TDataSource source;

    explicit Fixture(int records)
    {
        ds.FieldDefs().Add(QStringLiteral("K"), TFieldType::ftInteger);
        ds.FieldDefs().Add(QStringLiteral("P"), TFieldType::ftInteger);
        ds.FieldDefs().Add(QStringLiteral("NAME"), TFieldType::ftString, 20);
        ds.CreateDataSet();
        ds.DisableControls();
        for (int k = 1; k <= records; ++k)
            ds.AppendRecord({Value(k), Value(k < 10 ? 0 : k / 10), Value(QStringLiteral("Mezgls %1").arg(k))});
        ds.EnableControls();
        ds.First();
        source.SetDataSet(&ds);
    }
};

Fixture& fixture(int records)
{
    return CachedFixture<Fixture>(records);
}

std::unique_ptr<TDBEkTreeView> TreeOver(Fixture& f, bool dynamic)
{
    auto tree = std::make_unique<TDBEkTreeView>();
    tree->SetDBTreeType(TEkDBTreeType::dttParentChild);
    tree->SetDynamicExpand(dynamic);
    tree->SetKeyField(QStringLiteral("K"));
    tree->SetParentField(QStringLiteral("P"));
    tree->SetCaptionFields(QStringLiteral("NAME"));
    tree->SetDataSource(&f.source);
    return tree;
}

int NodeCount(const QTreeWidget& tree)
{
    int n = 0;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it; ++it)
        ++n;
    return n;
}

void BM_BuildTree(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    const bool dynamic = state.range(1) != 0;
    auto tree = TreeOver(f, dynamic);
    for (auto _ : state)
        tree->RebuildTree();
    state.counters["nodes"] = benchmark::Counter(NodeCount(*tree));
    tree.reset();
}
BENCHMARK(BM_BuildTree)->Args({100000, 1})->Args({100000, 0})->Unit(benchmark::kMillisecond);

void BM_FollowDeepRecord(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    auto tree = TreeOver(f, true);
    const int deep = static_cast<int>(state.range(0)) - 1;
    for (auto _ : state) {
        state.PauseTiming();
        f.ds.First();
        tree->RebuildTree();
        state.ResumeTiming();
        f.ds.Locate(QStringLiteral("K"), Value(deep));
    }
    state.counters["nodes"] = benchmark::Counter(NodeCount(*tree));
    state.counters["selected"] = benchmark::Counter(tree->Selected() ? tree->Selected()->Data() : -1);
    tree.reset();
}
BENCHMARK(BM_FollowDeepRecord)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunGuiBenchmarks(argc, argv, [] { CachedFixtures<Fixture>().clear(); });
}
