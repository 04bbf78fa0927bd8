#include "platform/ui/EditMask.h"

#include "platform/rtl/FormatSettings.h"

namespace {

// The mask characters of the data layer and what the line edit calls them.
QChar InputMaskChar(QChar c)
{
    switch (c.unicode()) {
    case u'L': return QLatin1Char('A'); // letter, required
    case u'l': return QLatin1Char('a'); // letter, optional
    case u'A': return QLatin1Char('N'); // letter or digit, required
    case u'a': return QLatin1Char('n'); // letter or digit, optional
    case u'C': return QLatin1Char('X'); // any character, required
    case u'c': return QLatin1Char('x'); // any character, optional
    case u'0': return QLatin1Char('9'); // digit, required
    case u'9': return QLatin1Char('0'); // digit, optional
    case u'#': return QLatin1Char('#'); // digit or sign, optional
    default: return QChar();
    }
}

} // namespace

TEditMask::TEditMask(const QString& mask)
{
    // The fields are separated by ";" that no "\" escapes.
    QStringList fields;
    QString field;
    for (int i = 0; i < mask.size(); ++i) {
        if (mask[i] == QLatin1Char('\\') && i + 1 < mask.size()) {
            field += mask[i];
            field += mask[++i];
        } else if (mask[i] == QLatin1Char(';')) {
            fields << field;
            field.clear();
        } else {
            field += mask[i];
        }
    }
    fields << field;
    const QString& body = fields[0];
    if (body.isEmpty())
        return;
    if (fields.size() > 1 && fields[1].trimmed() == QLatin1String("0"))
        FSaveLiterals = false;
    if (fields.size() > 2 && !fields[2].isEmpty())
        FBlank = fields[2][0];

    const FormatSettings& fs = FormatSettings::Default();
    auto literal = [this](QChar c) {
        FInputMask += QLatin1Char('\\');
        FInputMask += c;
        FLiteral.push_back(true);
    };
    for (int i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c == QLatin1Char('\\')) {
            if (i + 1 < body.size())
                literal(body[++i]);
        } else if (c == QLatin1Char('!')) {
            // Where blanks go is the edit's own business.
        } else if (c == QLatin1Char('>')) {
            FInputMask += QLatin1Char('>');
        } else if (c == QLatin1Char('<')) {
            // "<>" ends any case conversion.
            if (i + 1 < body.size() && body[i + 1] == QLatin1Char('>')) {
                FInputMask += QLatin1Char('!');
                ++i;
            } else {
                FInputMask += QLatin1Char('<');
            }
        } else if (c == QLatin1Char('/')) {
            literal(fs.DateSeparator);
        } else if (c == QLatin1Char(':')) {
            literal(fs.TimeSeparator);
        } else if (c == QLatin1Char('_')) {
            literal(QLatin1Char(' '));
        } else if (const QChar m = InputMaskChar(c); !m.isNull()) {
            FInputMask += m;
            FLiteral.push_back(false);
        } else {
            literal(c);
        }
    }
    FInputMask += QLatin1Char(';');
    FInputMask += FBlank;
}

QString TEditMask::StoredText(const QString& displayText) const
{
    QString r;
    for (int i = 0; i < displayText.size(); ++i) {
        const bool isLiteral = i < static_cast<int>(FLiteral.size()) && FLiteral[static_cast<size_t>(i)];
        if (!isLiteral && displayText[i] != FBlank)
            r += displayText[i];
    }
    return r;
}
