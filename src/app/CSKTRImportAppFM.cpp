#include "app/CSKTRImportAppFM.h"

#include "app/AppExceptionHandler.h"
#include "app/CSKTRImportBaseFRM.h"
#include "app/DBReadOnlyEdit.h"
#include "controls/KelpSkinManager.h"
#include "platform/rtl/EConvertError.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#ifndef STUMPWISE_VERSION
#define STUMPWISE_VERSION ""
#endif

TfmCSKTRImportAppFM::TfmCSKTRImportAppFM(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fmCSKTRImportAppFM"));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    // Qt sizes are those of the client area.
    setMinimumSize(1084, 676);
    resize(1084, 676);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FfrmMainFrame = new TfrmCSKTRImportBaseFRM(this);
    FfrmMainFrame->setObjectName(QStringLiteral("frmMainFrame"));
    layout->addWidget(FfrmMainFrame);

    // The host's changes to the frame's design.
    connect(FfrmMainFrame->btnClose, &QAbstractButton::clicked, this, [this] { frmMainFramebtnCloseClick(); });
    FfrmMainFrame->lblVersija->setVisible(true);
    FfrmMainFrame->edtMaxNovirze->setFrame(false);
    for (QFrame* p : {FfrmMainFrame->pnlKoki, FfrmMainFrame->pnlKokiLabel, FfrmMainFrame->pnlBalki,
                      FfrmMainFrame->pnlBalkiLabel, FfrmMainFrame->pnlMerijumi, FfrmMainFrame->pnlMerlabel})
        p->setFrameShape(QFrame::NoFrame);

    AppExceptionHandler::Guard(this, [this] { FormCreate(); });
}

TfmCSKTRImportAppFM::~TfmCSKTRImportAppFM()
{
    AppExceptionHandler::Guard(this, [this] { FormDestroy(); });
}

void TfmCSKTRImportAppFM::FormCreate()
{
    setWindowTitle(QStringLiteral("KTR/HQC failu analīzes programma"));
    SkinManager().Initialize(this, QStringLiteral("QurtaLumeret"));
    FfrmMainFrame->InitDataSets();
    FfrmMainFrame->SetStandaloneApp(true);
    FfrmMainFrame->pgcRows->setTabVisible(FfrmMainFrame->pgcRows->indexOf(FfrmMainFrame->tsVar), false);
    FfrmMainFrame->lblVersija->setText(QStringLiteral("Versija: ") + GetExeVersion(QString()));
    FfrmMainFrame->pgcRows->setCurrentIndex(0);
    FfrmMainFrame->edtMaxNovirze->setVisible(true);
    FfrmMainFrame->lblMaxNovirze->setVisible(true);
    FfrmMainFrame->lblFirstReg->setVisible(false);
    FfrmMainFrame->edtFirstReg->setVisible(false);

    // A stored value that is no number is reported, and the start-up goes on with the
    // default: it is no reason to leave the window half set up.
    AppExceptionHandler::Guard(this, [this] {
        QSettings settings(QStringLiteral("Qurta"), QStringLiteral("Stumpwise"));
        // An unreadable store is no error: the edit keeps its default.
        if (settings.status() == QSettings::NoError && settings.contains(QLatin1String(SettingName))) {
            const QString text = settings.value(QLatin1String(SettingName)).toString().trimmed();
            bool ok = false;
            const int value = text.toInt(&ok);
            if (!ok)
                throw EConvertError(QStringLiteral("'%1' nav derīga vesela skaitļa vērtība").arg(text));
            FfrmMainFrame->edtMaxNovirze->SetValue(value);
        }
    });
    ColorControls();
}

void TfmCSKTRImportAppFM::FormDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    const qint32 v = FfrmMainFrame->MaxNovirzeValue();
    QSettings settings(QStringLiteral("Qurta"), QStringLiteral("Stumpwise"));
    // A store that cannot be written is no error: nothing is saved.
    settings.setValue(QLatin1String(SettingName), v);
    settings.sync();
}

void TfmCSKTRImportAppFM::frmMainFramebtnCloseClick()
{
    close();
}

void TfmCSKTRImportAppFM::frmMainFramebtnLoadFileClick()
{
    FfrmMainFrame->btnLoadFileClick();
}

void TfmCSKTRImportAppFM::ChangeSkin(const QString& ASkinName)
{
    SkinManager().SetSkinName(ASkinName);
    SkinManager().RefreshVisualization(this);
}

QString TfmCSKTRImportAppFM::GetExeVersion(const QString& AFileName)
{
    if (!AFileName.isEmpty())
        return {};
    const QStringList parts = QStringLiteral(STUMPWISE_VERSION).split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 4)
        return {};
    QStringList numbers;
    for (const QString& p : parts) {
        bool ok = false;
        const uint n = p.toUInt(&ok);
        if (!ok || n > 0xFFFF)
            return {};
        numbers << QString::number(n);
    }
    while (numbers.size() < 4)
        numbers << QStringLiteral("0");
    return numbers.join(QLatin1Char('.'));
}

void TfmCSKTRImportAppFM::ColorControls()
{
    const QColor face = palette().color(QPalette::Button);
    for (TDBReadOnlyEdit* e : FfrmMainFrame->findChildren<TDBReadOnlyEdit*>())
        e->setFrame(false);
    for (QWidget* w : FfrmMainFrame->findChildren<QWidget*>()) {
        if (!w->objectName().startsWith(QLatin1String("pnl")))
            continue;
        QPalette p = w->palette();
        p.setColor(QPalette::Window, face);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
}
