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
    auto it = FMade.find(key);
    if (it == FMade.end()) {
        QString notes = *key.first;
        if (!notes.isEmpty())
            notes += QLatin1Char(';');
        notes += TAnalysisEngine::GetErrorMessage(code);
        it = FMade.emplace(key, &FTexts.emplace_back(notes.left(AnalysisWidth::PIEZIMES))).first;
    }
    row.PIEZIMES = TPooledText(it->second);
}
