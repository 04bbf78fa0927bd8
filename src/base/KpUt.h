#pragma once

#include "platform/rtl/Value.h"

#include <QString>
#include <bitset>

// A set of 8-bit characters used as token delimiters; characters above 255 are never in it.
using TFieldChars = std::bitset<256>;

// Replaceable wait-cursor routine; when set, KpUt::WaitCursor calls it instead of its own.
using TWaitCursorProc = void (*)(bool onFlag);
extern TWaitCursorProc WaitCursorProc;

// Helpers for tokens in delimited texts, rounding, initials and a few dialogs. Searches are
// case-sensitive; positions in the descriptions count characters from 1.
class KpUt
{
public:
    KpUt() = delete;

    static TFieldChars FieldChars(const QString& chars);

    // Tokens
    static void StrToken(QString& sSrc, QString& sDest, const QString& aDelimiter, bool aTrim);
    static QString TokenFromString(const QString& sSrc, int aTokenNr, const QString& aDelimiter);
    static QString TokensUntil(const QString& sSrc, int aDelimNr, const QString& aDelimiter);
    static QString TokensAfter(const QString& sSrc, int aDelimNr, const QString& aDelimiter);
    static int TokenCnt(const QString& sSrc, const QString& aDelimiter);
    static bool StrContainsToken(const QString& sStr, const QString& sToken,
                                 const TFieldChars& delim);
    static bool IsTokenInString(const QString& aToken, const QString& aStr,
                                const QString& aSeparator);
    static QString AddSeparated(const QString& aStr, const QString& separator,
                                const QString& aNewStr, bool aUnique);
    static QString ExtractQuotedStr(const QString& aStr);
    static QString AizvietoLVBurtus(const QString& s);
    static QString GetInitials(const QString& aStr, int aCharsToLeave);

    // Numbers and values
    // rInput rounded to rPrecision decimals (tens, hundreds... for a negative precision).
    // A value whose dropped part lies near one half rounds away from zero. Throws
    // EOverflowError when 10^|rPrecision| is beyond the extended range, EInvalidOp for a
    // value that is not finite.
    static long double KpRound(long double rInput, int rPrecision);
    static int KpCeil(long double x, long double e);
    static int KpFloor(long double x, long double e);
    static QString KelpFormatString(const QString& sFormat, const Value& value);
    static Value iif(bool fExpr, const Value& fTrue, const Value& fFalse);
    static int VarToIntDef(const Value& aValue, int aDefault);
    static bool IsNum(const QString& aNumber);

    // Environment and dialogs
    static QString GetLocaleString(int lid);
    static void WaitCursor(bool onFlag);
    static void ShowUserError(const QString& s);
    // Returns mrYes or mrNo; the second argument has no effect.
    static int ConfirmYesNo(const QString& s, bool aDefaultValue = true);

    static constexpr int mrYes = 6;
    static constexpr int mrNo = 7;
};
