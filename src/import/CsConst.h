#pragma once

// Enumerations shared by the import subsystem and the display tables that the analysis
// datasets' text handlers read.

#include <QString>

#include <array>

enum TCSHrvKtrHqcFileType { csHrvKtrHqcUnknowFile, csHrvKTRFile, csHrvHQCFile };

enum TCsStanDForFileType { csStDForHPR, csStDForHQC, csStDForMOM };

enum TCSHprProcessingCat {
    csHprProcessingCatUnknown,
    csHprSingleTreeProcessing,
    csHprMultiTreeProcessing,
    csHprSingleTreeFelling,
    csHprMultiTreeFelling
};

enum TCsHrvLogMeasCateg { csLogMeasUnknown, csLogMeasMachine, csLogMeasOperator, csLogMeasAuditor };

class CsConst {
public:
    CsConst() = delete;

    // Selection kind of a count or deviation row: 0 all trees, 1 operator-selected, 2 random.
    static const std::array<QString, 3>& IzvVeidsTexts();
    // Origin of a measurement row: 0 from the file, 1 synthetic butt, 2 synthetic top.
    static const std::array<QString, 3>& MerijVeidsTexts();
    // Use of a measurement in the deviation table: 0 counted, 1 rejected, 2 not used.
    static const std::array<QString, 3>& DerigsDiamNovTexts();

    // Text of a table at an index; empty outside 0..2.
    static QString TextAt(const std::array<QString, 3>& table, int index);
};
