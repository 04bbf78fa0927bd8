// Feeds arbitrary bytes to the classic control file reader through the loader: reading, the
// analysis and publishing to the datasets. Every input must either load or fail with the
// loader's one validation error; a crash, a hang, a leak or any other exception is a finding.

#include "base/EValidationException.h"
#include "import/AnalysisModel.h"
#include "import/KtrReader.h"
#include "import/TCSHrvStumpwiseToDS.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One loader for the run, as the program keeps one: every load starts by emptying it.
    static TCSHrvStumpwiseToDS* loader = [] {
        auto* l = new TCSHrvStumpwiseToDS();
        return l;
    }();
    loader->SetReaders(
        [data, size](const QString&, TAnalysisModel& model) {
            KtrReader::Read(reinterpret_cast<const char*>(data), size, model);
        },
        nullptr);
    try {
        loader->ImportFileIntoDS(QStringLiteral("fuzz.ktr"));
    } catch (const EValidationException&) {
    }
    return 0;
}
