#pragma once

// The two file readers as the loader calls them. Each is implemented in its reader's own files
// (the classic .ktr reader and the StanForD 2010 .hqc reader); the loader (TCSHrvStumpwiseToDS)
// only declares what it calls.
//
// Contract of both readers:
// - The loader hands a fresh TAnalysisModel whose Header already holds FILE_NAME (the file name
//   as given) and HAS_EMPTY_DATE, DIENU_SKAITS, IR_PARRAVUMI = 0. The reader fills the rest of
//   what the file gives: Header (HRV_NUMURS, HRV_VIN, DATUMS_PARB), Vars (classic files only),
//   Trees, Logs, Meas and Cirsmas, appending rows with the structs' default member values as the
//   new-record defaults.
// - The reader does NOT validate or derive anything, and does not touch KokuSk or DiamNovirzes:
//   the loader runs ValidateAndCalculate on the model and publishes it afterwards.
// - Any failure is thrown (an exception derived from std::exception, e.g. EValidationException);
//   the loader turns it into the one load failure message and leaves empty datasets. The reader
//   needs no clean-up of the model on failure.

#include "import/AnalysisModel.h"

#include <QString>

// Reads a StanForD classic control file into the model.
void ImportKTRFile(const QString& sFileName, TAnalysisModel& model);

// Reads a StanForD 2010 harvesting quality control file into the model.
void ImportHQCFile(const QString& sFileName, TAnalysisModel& model);
