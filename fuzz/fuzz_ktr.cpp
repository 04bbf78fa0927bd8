// Feeds arbitrary bytes to the classic control file reader and the analysis that follows it.
// Every input must either load or fail with the program's own error; a crash, a hang, a leak or
// any other exception is a finding.

#include "import/AnalysisEngine.h"
#include "import/AnalysisModel.h"
#include "import/KtrReader.h"
#include "platform/rtl/Exception.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TAnalysisModel model;
    model.Header.FILE_NAME = QStringLiteral("fuzz.ktr");
    model.Header.HAS_EMPTY_DATE = 0;
    model.Header.DIENU_SKAITS = 0;
    model.Header.IR_PARRAVUMI = 0;
    try {
        KtrReader::Read(reinterpret_cast<const char*>(data), size, model);
        TAnalysisEngine::ValidateAndCalculate(model, 20);
    } catch (const Exception&) {
        // The load failure: conversion, range and overflow errors are all the program's own.
    }
    return 0;
}
