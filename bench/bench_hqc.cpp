// Reading a generated .hqc file of many stems, against pugixml's own parse of the same bytes
// (the floor no reader can beat), the analysis that follows and the whole load into the
// loader's datasets, with the peak memory of a whole load against the file's size. BM_HqcRatios
// prints the figures the whole load is judged by: `bench_hqc --benchmark_filter=Ratios`.

#include "import/AnalysisEngine.h"
#include "import/AnalysisModel.h"
#include "import/HqcReader.h"
#include "import/TCSHrvStumpwiseToDS.h"

#include "LoadRatios.h"
#include "PeakMemory.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <map>

namespace {

// Stems of three logs, each log with a harvester and a caliper measurement of five "Average"
// points and five "First" points, as real machines write them.
QByteArray GeneratedFile(int stems)
{
    QByteArray s;
    s.reserve(stems * 6000);
    s += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<HarvestingQualityControl xmlns=\"urn:skogforsk:stanford2010\" version=\"3.1\">\n"
         "<HarvestingQualityControlHeader><CreationDate>2023-05-17T08:15:42.125+03:00</CreationDate>"
         "</HarvestingQualityControlHeader>\n<Machine><MachineKey>M</MachineKey><MachineUserID>VIN</MachineUserID>"
         "<MachineOwnerID>AB-1</MachineOwnerID>\n<ControlValues>\n"
         "<SpeciesGroupDefinition><SpeciesGroupName>PRIEDE</SpeciesGroupName><SpeciesGroupKey>1</SpeciesGroupKey>"
         "</SpeciesGroupDefinition>\n<SpeciesGroupDefinition><SpeciesGroupName>EGLE</SpeciesGroupName>"
         "<SpeciesGroupKey>2</SpeciesGroupKey></SpeciesGroupDefinition>\n"
         "<ObjectDefinition><ObjectKey>1</ObjectKey><ObjectUserID>OBJ</ObjectUserID></ObjectDefinition>\n";
    for (int i = 0; i < stems; ++i) {
        s += "<Stem><StemKey>" + QByteArray::number(i + 1) + "</StemKey><ObjectKey>1</ObjectKey><SpeciesGroupKey>" +
             QByteArray::number(1 + i % 2) + "</SpeciesGroupKey><HarvestDate>2023-05-1" + QByteArray::number(i % 3) +
             "T10:00:00.5+03:00</HarvestDate><ProcessingCategory>SingleTreeProcessing</ProcessingCategory>"
             "<ControlStemInfo><RandomControlStemSelection>" +
             QByteArray(i % 4 ? "Randomly selected stem" : "Operator selected stem") +
             "</RandomControlStemSelection></ControlStemInfo>\n<SingleTreeProcessedStem>\n";
        for (int log = 1; log <= 3; ++log) {
            const int butt = 300 - 60 * log + i % 17;
            s += "<Log><LogKey>" + QByteArray::number(log) + "</LogKey>\n";
            for (const char* cat : {"Machine", "Operator"}) {
                s += QByteArray("<LogMeasurement logMeasurementCategory=\"") + cat +
                     "\"><LogDiameter logDiameterCategory=\"Top ob\" diameterMeasurementCategory=\"Average\">" +
                     QByteArray::number(butt - 50) + "</LogDiameter><LogLength>" + QByteArray::number(400 + log) +
                     "</LogLength><MeasurementDate>2023-05-16T10:00:00+03:00</MeasurementDate>\n";
                for (int p = 0; p < 5; ++p)
                    for (const char* dcat : {"Average", "First"})
                        s += "<ControlLogDiameter diameterPosition=\"" + QByteArray::number(50 + 70 * p) +
                             "\" controlLogDiameterCategory=\"ob\" diameterMeasurementCategory=\"" + dcat + "\">" +
                             QByteArray::number(butt - 10 * p + (cat[0] == 'O' ? p % 3 : 0)) + "</ControlLogDiameter>\n";
                s += "</LogMeasurement>\n";
            }
            s += "</Log>\n";
        }
        s += "</SingleTreeProcessedStem></Stem>\n";
    }
    s += "</ControlValues></Machine></HarvestingQualityControl>\n";
    return s;
}

const QByteArray& FileOf(int stems)
{
    static std::map<int, QByteArray> cache;
    auto it = cache.find(stems);
    if (it == cache.end())
        it = cache.emplace(stems, GeneratedFile(stems)).first;
    return it->second;
}

// Many control groups, each defining one more species: every group used to look through all
// species known so far.
QByteArray ManyGroups(int groups)
{
    QByteArray s = "<HarvestingQualityControl><HarvestingQualityControlHeader><CreationDate>2023-05-17T08:15:42"
                   "</CreationDate></HarvestingQualityControlHeader><Machine><MachineKey>M</MachineKey>\n";
    for (int i = 1; i <= groups; ++i)
        s += "<ControlValues><SpeciesGroupDefinition><SpeciesGroupName>S" + QByteArray::number(i)
             + "</SpeciesGroupName><SpeciesGroupKey>" + QByteArray::number(i)
             + "</SpeciesGroupKey></SpeciesGroupDefinition></ControlValues>\n";
    return s + "</Machine></HarvestingQualityControl>\n";
}

void PugixmlParse(const QByteArray& file)
{
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(file.constData(), static_cast<size_t>(file.size())));
}

void BM_PugixmlParseOnly(benchmark::State& state)
{
    const QByteArray& file = FileOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        PugixmlParse(file);
    state.SetBytesProcessed(state.iterations() * file.size());
    state.SetComplexityN(state.range(0));
}

void BM_HqcRead(benchmark::State& state)
{
    const QByteArray& file = FileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TAnalysisModel model;
        TCSStanDForFileHQC::ImportDocument(file, QStringLiteral("bench.hqc"), model);
        benchmark::DoNotOptimize(model.Meas.size());
    }
    state.SetBytesProcessed(state.iterations() * file.size());
    state.SetComplexityN(state.range(0));
}

void BM_HqcReadAndAnalyse(benchmark::State& state)
{
    const QByteArray& file = FileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TAnalysisModel model;
        model.Header.HAS_EMPTY_DATE = 0;
        model.Header.DIENU_SKAITS = 0;
        model.Header.IR_PARRAVUMI = 0;
        TCSStanDForFileHQC::ImportDocument(file, QStringLiteral("bench.hqc"), model);
        TAnalysisEngine::ValidateAndCalculate(model, 20);
        benchmark::DoNotOptimize(model.Header.PROCENTS_ALL);
    }
    state.SetBytesProcessed(state.iterations() * file.size());
    state.SetComplexityN(state.range(0));
}

// The whole load as the program runs it: the file read, analysed and published to the
// loader's datasets (one loader, reused, as the analysis window reuses its own).
void BM_HqcLoad(benchmark::State& state)
{
    const QByteArray& bytes = FileOf(static_cast<int>(state.range(0)));
    const LoadRatios::TFileOnDisk file(bytes, QStringLiteral("bench.hqc"));
    if (!file.Ok()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    const double peak = PeakMemory::GrowthOf([&] {
        TCSHrvStumpwiseToDS fresh;
        fresh.ImportFileIntoDS(file.Name());
    });
    state.counters["peak_per_file_byte"] = peak / double(bytes.size());
    TCSHrvStumpwiseToDS loader;
    for (auto _ : state)
        loader.ImportFileIntoDS(file.Name());
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.SetComplexityN(state.range(0));
}

// The figures of the whole load in one place, against pugixml's parse of the same bytes: the
// load with one loader, reused (load_per_floor), the load with a loader made and freed for it
// (with_loader_per_floor), per 1,000 stems, and the peak memory of a load with a fresh loader
// against the file's size. Argument 2: 1 for the variant without fresh-memory page faults.
void BM_HqcRatios(benchmark::State& state)
{
    const int stems = static_cast<int>(state.range(0));
    const QByteArray& bytes = FileOf(stems);
    const LoadRatios::TFileOnDisk file(bytes, QStringLiteral("bench.hqc"));
    if (!file.Ok()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    TCSHrvStumpwiseToDS loader;
    const auto fresh = [&] {
        TCSHrvStumpwiseToDS once;
        once.ImportFileIntoDS(file.Name());
    };
    LoadRatios::Work w;
    w.Floor = [&] { PugixmlParse(bytes); };
    w.Load = [&] { loader.ImportFileIntoDS(file.Name()); };
    w.SecondLoad = fresh;
    w.SecondCounter = "with_loader_per_floor";
    w.PeakLoad = fresh;
    LoadRatios::Run(state, stems, bytes.size(), w, state.range(1) != 0);
}

// Every element's name and text and every attribute's name and value touched once, in document
// order: what any reader of the parsed document must read at the least.
size_t TouchEveryNode(const pugi::xml_node& parent)
{
    const auto first = [](const char* text) { return static_cast<unsigned char>(text[0]); };
    size_t sum = 0;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        sum += first(c.name()) + first(c.value());
        for (pugi::xml_attribute a = c.first_attribute(); a; a = a.next_attribute())
            sum += first(a.name()) + first(a.value());
        sum += TouchEveryNode(c);
    }
    return sum;
}

// The least a reader of pugixml's document can cost, against the same floor as BM_HqcRatios:
// the bytes parsed in place as the .hqc reader parses them, then every node touched once
// (load_per_floor), and the parse in place alone (parse_in_place_per_floor). Both copy the bytes
// first, as the reader parses bytes of its own. A whole load adds to this the reading itself,
// the analysis and the publishing.
void BM_HqcDomRatios(benchmark::State& state)
{
    const int stems = static_cast<int>(state.range(0));
    const QByteArray& bytes = FileOf(stems);
    const auto parseInPlace = [&](bool touch) {
        QByteArray copy(bytes.constData(), bytes.size());
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_buffer_inplace(copy.data(), static_cast<size_t>(copy.size()),
                                                         pugi::parse_default | pugi::parse_embed_pcdata));
        if (touch)
            benchmark::DoNotOptimize(TouchEveryNode(doc));
    };
    LoadRatios::Work w;
    w.Floor = [&] { PugixmlParse(bytes); };
    w.Load = [&] { parseInPlace(true); };
    w.SecondLoad = [&] { parseInPlace(false); };
    w.SecondCounter = "parse_in_place_per_floor";
    LoadRatios::Run(state, stems, bytes.size(), w, state.range(1) != 0);
}

// Creating and freeing a loader with nothing loaded: its eight datasets and its dialog settings.
// What a fresh loader adds to a load beyond this is the first touch of the memory its datasets
// fill, which a reused loader has touched already.
void BM_HqcLoaderCreate(benchmark::State& state)
{
    for (auto _ : state) {
        TCSHrvStumpwiseToDS loader;
        benchmark::DoNotOptimize(&loader);
    }
}

void BM_HqcManyGroups(benchmark::State& state)
{
    const QByteArray file = ManyGroups(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TAnalysisModel model;
        TCSStanDForFileHQC::ImportDocument(file, QStringLiteral("bench.hqc"), model);
        benchmark::DoNotOptimize(model.Trees.size());
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_PugixmlParseOnly)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_HqcRead)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_HqcReadAndAnalyse)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_HqcLoad)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_HqcLoaderCreate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HqcManyGroups)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();
const int registered = LoadRatios::Register({{"BM_HqcRatios", BM_HqcRatios}, {"BM_HqcDomRatios", BM_HqcDomRatios}});
BENCHMARK_MAIN();
