// Feeds arbitrary bytes to the StanForD 2010 quality-control reader and the analysis that
// follows it. Every input must either load or fail with the program's own error, which the
// loader turns into its one load failure; a crash, a hang, a leak or any other exception is a
// finding.

#include "import/AnalysisEngine.h"
#include "import/AnalysisModel.h"
#include "import/HqcReader.h"
#include "import/StanForD2010Reader.h"
#include "import/StanForD2010Xml.h"
#include "platform/rtl/Exception.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TAnalysisModel model;
    model.Header.FILE_NAME = QStringLiteral("fuzz.hqc");
    model.Header.HAS_EMPTY_DATE = 0;
    model.Header.DIENU_SKAITS = 0;
    model.Header.IR_PARRAVUMI = 0;
    try {
        const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        TCSStanDForFileHQC::ImportDocument(bytes, model.Header.FILE_NAME, model);
        TAnalysisEngine::ValidateAndCalculate(model, 20);
    } catch (const Exception&) {
        // The load failure: missing elements, conversion and range errors are the program's own.
    }
    // The same bytes as a production message read with every definition, bark functions and
    // product details included.
    try {
        const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        pugi::xml_document doc;
        TCSStanDForFile::LoadDocument(doc, bytes);
        TCSStanDForFile reader(nullptr, csStDForHPR);
        reader.SetIsForDWH(true);
        const pugi::xml_node root = doc.document_element();
        reader.ReadCommonData(root, SelectChildNode(root, "Machine", true), false, true, true, true);
    } catch (const Exception&) {
    }
    return 0;
}
