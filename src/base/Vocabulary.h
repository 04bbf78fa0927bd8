#pragma once

#include <QString>

// Latvian words shared by applications of the framework: states of file transfers and archiving,
// yes and no.
enum class TVocabularyWord { Done, InProgress, Copying, Yes, No };

inline constexpr int VocabularyWordCount = 5;

QString VocabularyWord(TVocabularyWord word);
