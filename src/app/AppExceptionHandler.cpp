#include "app/AppExceptionHandler.h"

#include "platform/rtl/Exception.h"
#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QMessageBox>

QString AppExceptionHandler::ApplicationTitle()
{
    return QStringLiteral("Lumeret saimes produkts. KTR failu analīzes programma.");
}

namespace {
void ShowText(QWidget* parent, const QString& text)
{
    // The caption is the title set on the application at start; tests that build the
    // window without the program block still get the program's own caption.
    QString caption = QApplication::applicationDisplayName();
    if (caption.isEmpty() || caption == QCoreApplication::applicationName())
        caption = AppExceptionHandler::ApplicationTitle();
    UiServices::MessageBox(parent, text, caption, QMessageBox::Critical, QMessageBox::Ok);
}
} // namespace

void AppExceptionHandler::Show(QWidget* parent, const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        ShowText(parent, own->Message());
    else
        ShowText(parent, QString::fromUtf8(error.what()));
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
