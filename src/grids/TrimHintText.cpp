#include "grids/TrimHintText.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
QString cutLine(const QString& line, int maxChars, int tolerance)
{
    if (maxChars > 0 && line.size() > static_cast<qint64>(maxChars) + tolerance)
        return line.left(std::max(0, maxChars - 3)) + QStringLiteral("...");
    return line;
}
}

QString TrimHintText(const QString& Text, int MaxLines, int MaxChars, int Tolerance)
{
    if (Text.isEmpty() || (MaxLines <= 0 && MaxChars <= 0))
        return Text;
    if (!Text.contains(QLatin1Char('\r')) && !Text.contains(QLatin1Char('\n')))
        return cutLine(Text, MaxChars, Tolerance);
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = Text.split(breaks);
    // A final break ends the last line rather than starting an empty one.
    if (lines.size() > 1 && lines.back().isEmpty())
        lines.removeLast();
    if (MaxLines > 0 && lines.size() > MaxLines) {
        if (MaxLines > 1)
            lines[MaxLines - 1] = QStringLiteral("...");
        lines = lines.mid(0, MaxLines);
    }
    QString result;
    for (const QString& line : lines)
        result += cutLine(line, MaxChars, Tolerance) + QStringLiteral("\r\n");
    return result;
}
