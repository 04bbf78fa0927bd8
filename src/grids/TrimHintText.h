#pragma once

#include <QString>

// Shortens a hint: at most MaxLines lines (the last kept one becoming "..." when lines were
// dropped) and lines longer than MaxChars + Tolerance cut to MaxChars - 3 characters and
// "...". Texts with line breaks come back with CR LF after every line.
QString TrimHintText(const QString& Text, int MaxLines, int MaxChars, int Tolerance);
