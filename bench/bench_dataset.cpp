// Speed of the in-memory dataset: appending, walking, and switching a key filter the way the
// analysis window filters logs to the current tree.
#include "platform/data/ClientDataSet.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<TClientDataSet> MakeTenFields()
{
    auto ds = std::make_unique<TClientDataSet>();
    auto& defs = ds->FieldDefs();
    defs.Add("KOKS_NR", TFieldType::ftInteger);
    defs.Add("BALKIS_NR", TFieldType::ftInteger);
    defs.Add("MERIJUMS_NR", TFieldType::ftInteger);
    defs.Add("MERVIETA", TFieldType::ftInteger);
    defs.Add("DERIGS", TFieldType::ftInteger);
    defs.Add("MERIJ_VEIDS", TFieldType::ftSmallint);
    defs.Add("HRV_APJOMS", TFieldType::ftFloat);
    defs.Add("DAST_APJOMS", TFieldType::ftFloat);
    defs.Add("PIEZIMES", TFieldType::ftString, 150);
    defs.Add("DATUMS_PARB", TFieldType::ftDateTime);
    ds->CreateDataSet();
    ds->SetLogChanges(false);
    return ds;
}

void Fill(TClientDataSet& ds, int records, int perTree)
{
    TField* f[10];
    for (int i = 0; i < 10; ++i)
        f[i] = ds.Fields(i);
    const QString note = QStringLiteral("Mērījuma vieta");
    ds.DisableControls();
    for (int r = 0; r < records; ++r) {
        ds.Append();
        f[0]->SetAsInteger(r / perTree + 1);
        f[1]->SetAsInteger(r % perTree / 10 + 1);
        f[2]->SetAsInteger(r % 10);
        f[3]->SetAsInteger(r % 10 * 37);
        f[4]->SetAsInteger(0);
        f[5]->SetAsInteger(r % 3);
        f[6]->SetAsFloat(r * 0.001);
        f[7]->SetAsFloat(r * 0.002);
        if (r % 7 == 0)
            f[8]->SetAsString(note);
        f[9]->SetAsDateTime(DateTime(45000.0 + r % 30));
        ds.Post();
    }
    ds.EnableControls();
}

void BM_Append1M(benchmark::State& state)
{
    for (auto _ : state) {
        auto ds = MakeTenFields();
        Fill(*ds, 1000000, 100);
        benchmark::DoNotOptimize(ds->RecordCount());
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_Append1M)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Walk1M(benchmark::State& state)
{
    auto ds = MakeTenFields();
    Fill(*ds, 1000000, 100);
    TField* koks = ds->FieldByName("KOKS_NR");
    TField* vol = ds->FieldByName("HRV_APJOMS");
    for (auto _ : state) {
        double sum = 0;
        ds->DisableControls();
        ds->First();
        while (!ds->Eof()) {
            sum += koks->AsInteger() + vol->AsFloat();
            ds->Next();
        }
        ds->EnableControls();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_Walk1M)->Unit(benchmark::kMillisecond)->Iterations(3);

// Switching "KOKS_NR = n" on 100,000 records: with the index on KOKS_NR the filter is a
// range of the index; without it every record is tested.
void FilterSwitch(benchmark::State& state, bool indexed)
{
    auto ds = MakeTenFields();
    if (indexed)
        ds->SetIndexFieldNames("KOKS_NR;BALKIS_NR");
    Fill(*ds, 100000, 100);
    int n = 0;
    for (auto _ : state) {
        ds->SetFiltered(false);
        ds->SetFilter(QStringLiteral("KOKS_NR = %1").arg(n % 1000 + 1));
        ds->SetFiltered(true);
        benchmark::DoNotOptimize(ds->RecordCount());
        ++n;
    }
}

void BM_FilterSwitchIndexed(benchmark::State& state)
{
    FilterSwitch(state, true);
}
BENCHMARK(BM_FilterSwitchIndexed)->Unit(benchmark::kMicrosecond);

void BM_FilterSwitchUnindexed(benchmark::State& state)
{
    FilterSwitch(state, false);
}
BENCHMARK(BM_FilterSwitchUnindexed)->Unit(benchmark::kMicrosecond);

// Emptying 100,000 records by deleting the first one until none is left, with an index and
// with the key filter off, as the loader clears its tables before each load.
void BM_DeleteFirstUntilEmpty(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto ds = MakeTenFields();
        ds->SetIndexFieldNames("KOKS_NR;BALKIS_NR");
        Fill(*ds, 100000, 100);
        state.ResumeTiming();
        ds->DisableControls();
        while (!ds->IsEmpty()) {
            ds->First();
            ds->Delete();
        }
        ds->EnableControls();
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_DeleteFirstUntilEmpty)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
