#include "import/MeasNotes.h"

#include "import/AnalysisEngine.h"

void TMeasNotes::Set(TMeasRow& row, int32_t code)
{
    row.DERIGS = code;
    if (code == 0) {
        row.PIEZIMES = TPooledText();
        return;
    }
    const std::pair key{&row.PIEZIMES.Text(), code};
    // Rows in a row mostly get the same notes: the last ones made are tried first.
    if (FLast != FMade.end() && FLast->first == key) {
        row.PIEZIMES = TPooledText(FLast->second);
        return;
    }
    auto it = FMade.find(key);
    if (it == FMade.end()) {
        QString notes = *key.first;
        if (!notes.isEmpty())
            notes += QLatin1Char(';');
        notes += TAnalysisEngine::GetErrorMessage(code);
        it = FMade.emplace(key, &FTexts.emplace_back(notes.left(AnalysisWidth::PIEZIMES))).first;
    }
    FLast = it;
    row.PIEZIMES = TPooledText(it->second);
}
