#pragma once

// Validation, derived values and the deviation table, computed on the in-memory model of one
// control file. The loader runs it once per load, between reading the file and publishing the
// datasets; it never runs twice on the same model (it adds synthetic rows and sums volumes).

#include "import/AnalysisModel.h"

#include <QString>

#include <cstdint>

class TAnalysisEngine {
public:
    TAnalysisEngine() = delete;

    // Validates the trees, logs and measurements of a freshly read model and derives
    // everything else, ending with the deviation table for kinds 1, 2 and 0.
    static void ValidateAndCalculate(TAnalysisModel& model, int32_t maksNovirze);

    // Fills the deviation table of one selection kind (0 all, 1 operator-selected, 2 random)
    // on a model as ValidateAndCalculate leaves it before its last step.
    static void CalcDiamNovirzes(TAnalysisModel& model, int kind, int32_t maksNovirze);

    // Latvian text of a validation code followed by two blanks; two blanks for any other value.
    static QString GetErrorMessage(int32_t errId);
    // Interval text of a harvester diameter in mm; the text lasts as long as the program.
    static const QString& GetDiamInterval(int32_t diameter);
    // Deviation class: up to 2 mm gives 2, up to 4 gives 3, up to 6 gives 4, above 6 gives 1.
    static int16_t GetNovirzeClass(int32_t deviation);

    static QString TotalRowText();
};
