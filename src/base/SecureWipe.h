#pragma once

#include <QByteArray>
#include <QString>

// Overwrite a text's or byte array's memory with zeros in place, its whole capacity and not only
// its current content, so every copy sharing it is wiped.
// Data the program does not own (literals, raw data in read-only memory) is left alone: writing
// there would crash, and it never holds a secret made at run time.
void SecureWipe(const QString& text);
void SecureWipe(const QByteArray& bytes);
