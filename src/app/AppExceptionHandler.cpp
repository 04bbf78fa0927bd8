#include "app/AppExceptionHandler.h"

#include "grids/TrimHintText.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QMessageBox>

QString AppExceptionHandler::ApplicationTitle()
{
    return QStringLiteral("Lumeret saimes produkts. KTR failu analīzes programma.");
}

QString AppExceptionHandler::Readable(const QString& text)
{
    // A message may carry bytes of a broken file: characters that cannot be shown are
    // written as their codes, and long lines or many lines are cut, so the box stays a
    // message a person can read.
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.isPrint() || c.isSurrogate() || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            shown += c;
        else if (c == QLatin1Char('\t'))
            shown += QLatin1Char(' ');
        else if (c.unicode() < 0x100)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    QString trimmed = TrimHintText(shown, MaxLines, MaxLineChars, 0);
    while (trimmed.endsWith(QLatin1Char('\n')) || trimmed.endsWith(QLatin1Char('\r')))
        trimmed.chop(1);
    return trimmed;
}

namespace {
void ShowText(QWidget* parent, const QString& text)
{
    // The caption is the program's title; Qt's application display name is left unset so
    // that it is not appended to the window's own caption.
    UiServices::MessageBox(parent, AppExceptionHandler::Readable(text), AppExceptionHandler::ApplicationTitle(),
                           QMessageBox::Critical, QMessageBox::Ok);
}
} // namespace

void AppExceptionHandler::Show(QWidget* parent, const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        ShowText(parent, own->Message());
    else
        ShowText(parent, QString::fromUtf8(error.what()));
}

void AppExceptionHandler::ShowMessage(QWidget* parent, const QString& text)
{
    ShowText(parent, text);
}

void AppExceptionHandler::ShowUnknown(QWidget* parent)
{
    ShowText(parent, QStringLiteral("Nezināma kļūda."));
}

bool AppExceptionHandler::Guard(QWidget* parent, const std::function<void()>& fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception& e) {
        Show(parent, e);
    } catch (...) {
        ShowUnknown(parent);
    }
    return false;
}
