#include "base/KelpUtils.h"

#include "base/KpDaTi.h"
#include "base/KpUt.h"
#include "base/TDesktopShellServices.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/ui/IUserInterface.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

namespace {

std::shared_ptr<IShellServices>& ShellSlot()
{
    static std::shared_ptr<IShellServices> slot;
    return slot;
}

bool AllDigits(const QString& s)
{
    for (const QChar c : s)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return true;
}

} // namespace

QString KelpUtils::NewTempFileName(const QString& folder)
{
    QString dir = folder;
    if (!dir.endsWith(QLatin1Char('/')) && !dir.endsWith(QLatin1Char('\\')))
        dir += QLatin1Char('/');
    return dir + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

IShellServices& KelpUtils::ShellServices()
{
    auto& slot = ShellSlot();
    if (!slot)
        slot = std::make_shared<TDesktopShellServices>();
    return *slot;
}

void KelpUtils::SetShellServices(std::shared_ptr<IShellServices> services)
{
    ShellSlot() = std::move(services);
}

void KelpUtils::ShellOpenFile(const QString& fileName)
{
    if (fileName.trimmed().isEmpty())
        return;
    IShellServices& shell = ShellServices();
    const QFileInfo file(fileName);
    if (!file.exists()) {
        shell.ShowError(Format(QStringLiteral("Fails \"%s\" nav atrasts!"), {Value(fileName)}));
        return;
    }
    bool opened = false;
    try {
        opened = shell.OpenFile(fileName);
    } catch (const std::exception&) {
        opened = false;
    }
    // The file is there: saying it is missing would be false, and saying nothing would hide
    // where it went. Typically no program on the machine opens files of its type.
    if (!opened)
        shell.ShowError(Format(QStringLiteral("Fails \"%s\" ir izveidots, bet to neizdevās atvērt. "
                                              "Iespējams, datorā nav programmas, kas atver šāda tipa failus."),
                               {Value(QDir::toNativeSeparators(file.absoluteFilePath()))}));
}

QString KelpUtils::InterimDateToDisplayText(const QString& value, bool monthStart)
{
    if (value.size() != 10 || !AllDigits(value))
        return value;
    QString suffix = value.mid(8, 2);
    TInterimType type = suffix == QLatin1String("00") ? TInterimType::InterimNo
                                                      : TInterimType::InterimAfterLast;
    DateTime date = KpDaTi::GetDateValueInDateTimeWithInterim(value, type);
    if (monthStart) {
        date = date + 1.0;
        suffix = QStringLiteral("00");
        type = TInterimType::InterimNo;
    }
    return KpDaTi::GetInterimDisplayText(date, type, suffix, monthStart, false);
}

DateTime KelpUtils::GetDateValueInDateTimeWithInterim(const QString& text, TInterimType type)
{
    return KpDaTi::GetDateValueInDateTimeWithInterim(text, type);
}

QString KelpUtils::GetInterimDisplayText(DateTime date, TInterimType type,
                                         const QString& interimValue, bool monthOnly,
                                         bool showTime)
{
    return KpDaTi::GetInterimDisplayText(date, type, interimValue, monthOnly, showTime);
}

QString KelpUtils::DateFormatToSheetFormat(const QString& format)
{
    QString r = format;
    r.replace(QLatin1Char('n'), QLatin1Char('m'));
    r.replace(QLatin1Char('z'), QLatin1Char('0'));
    r.replace(QStringLiteral("ampm"), QStringLiteral("AM/PM"), Qt::CaseInsensitive);
    // "AM/PM" just written must not be matched again as "a/p"; it is upper case and starts
    // with "AM", which "a/p" does not match.
    r.replace(QStringLiteral("a/p"), QStringLiteral("AM/PM"), Qt::CaseInsensitive);
    return r;
}

QString KelpUtils::NumberFormatToSheetFormat(const QString& format)
{
    QString r = format;
    r.replace(QStringLiteral("S"), QStringLiteral("\\S"));
    r.replace(QStringLiteral("s"), QStringLiteral("\\s"));
    r.replace(QStringLiteral(" %"), QStringLiteral("00\\%"));
    return r;
}

void KelpUtils::DefaultWaitCursor(bool onFlag)
{
    IUserInterface::Current().WaitCursor(onFlag);
}

void KelpUtils::InstallDefaultHooks()
{
    WaitCursorProc = &KelpUtils::DefaultWaitCursor;
}
