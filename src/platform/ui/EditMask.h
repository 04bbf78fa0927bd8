#pragma once

#include <QChar>
#include <QString>
#include <vector>

// A field's edit mask as the data layer writes it ("mask;save literals;blank", e.g.
// "!00/00/0000;1;_") turned into the line edit's input mask, and the text the edit hands
// back: without the literals when the mask says they are not saved.
class TEditMask {
public:
    explicit TEditMask(const QString& mask);

    bool IsEmpty() const { return FInputMask.isEmpty(); }
    // The line edit's input mask; empty for no mask.
    const QString& InputMask() const { return FInputMask; }
    bool SavesLiterals() const { return FSaveLiterals; }
    QChar Blank() const { return FBlank; }
    // The text to store from the edit's displayed text (one character per mask position):
    // without the literals and the blanks.
    QString StoredText(const QString& displayText) const;

private:
    QString FInputMask;
    bool FSaveLiterals = true;
    QChar FBlank = QLatin1Char('_');
    // For each position of the mask: a literal, not typed by the user.
    std::vector<bool> FLiteral;
};
