#include "base/Vocabulary.h"

#include "base/BindTexts.h"

QString VocabularyWord(TVocabularyWord word)
{
    // Bound once, when the module is first used, and kept for the run.
    static const auto words = BindTexts(
        std::array<const char*, VocabularyWordCount>{"Izpildīts", "Notiek", "Kopēšana", "Jā", "Nē"});
    return words.at(static_cast<std::size_t>(word));
}
