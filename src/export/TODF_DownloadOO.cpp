#include "export/TODF_DownloadOO.h"

#include "controls/TKpBitBtn.h"
#include "controls/TKpBtnPnl.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

const QString TODF_DownloadOO::OfficeSuiteName = QStringLiteral("LibreOffice");
const QString TODF_DownloadOO::OfficeSuiteUrl = QStringLiteral("https://www.libreoffice.org/download/");
const QString TODF_DownloadOO::PluginUrl = QStringLiteral("https://sourceforge.net/projects/odf-converter/");

namespace {

QLabel* LinkLabel(QWidget* parent, const QString& caption, const QString& url)
{
    auto* l = new QLabel(parent);
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(10);
    l->setFont(f);
    // A label without a caption shows its link.
    l->setText(QStringLiteral("<a href=\"%1\" style=\"color: rgb(0, 159, 218);\">%2</a>")
                   .arg(url.toHtmlEscaped(), (caption.isEmpty() ? url : caption).toHtmlEscaped()));
    l->setTextFormat(Qt::RichText);
    l->setOpenExternalLinks(true);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

} // namespace

TODF_DownloadOO::TODF_DownloadOO(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ODF_DownloadOO"));
    setWindowTitle(QStringLiteral("Open Document formāts"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(492, 311);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnl = new QWidget(this);
    pnl->setObjectName(QStringLiteral("pnl"));
    auto* inner = new QVBoxLayout(pnl);
    inner->setContentsMargins(4, 4, 4, 4);
    Memo1 = new QPlainTextEdit(pnl);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFixedSize(485, 196);
    inner->addWidget(Memo1);
    cbOpenFolder = new QCheckBox(QStringLiteral("Atvērt eksporta radītā faila novietojuma mapi"), pnl);
    cbOpenFolder->setObjectName(QStringLiteral("cbOpenFolder"));
    cbOpenFolder->setChecked(true);
    inner->addWidget(cbOpenFolder);
    lblOO = LinkLabel(pnl, OfficeSuiteName, OfficeSuiteUrl);
    lblOO->setObjectName(QStringLiteral("lblOO"));
    inner->addWidget(lblOO);
    lblOOPlugin = LinkLabel(pnl, QString(), PluginUrl);
    lblOOPlugin->setObjectName(QStringLiteral("lblOOPlugin"));
    inner->addWidget(lblOOPlugin);
    inner->addStretch();
    layout->addWidget(pnl, 1);

    pnlBtns = new TKpBtnPnl(this);
    pnlBtns->setObjectName(QStringLiteral("pnlBtns"));
    pnlBtns->setFixedHeight(33);
    auto* ok = new TKpBitBtn(pnlBtns);
    ok->SetCaption(QStringLiteral("Labi"));
    btnOK = ok;
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TODF_DownloadOO::btnOKClick);
    layout->addWidget(pnlBtns);
}

void TODF_DownloadOO::SetErrorStr(const QString& value)
{
    Memo1->setPlainText(value);
}

void TODF_DownloadOO::btnOKClick()
{
    // The only button also cancels, so any way out is the same.
    accept();
}

QString TODF_DownloadOO::Message(const QString& fileName)
{
    const QStringList lines{
        QStringLiteral("Tika radīts Open Document formāta fails: \"%1\"").arg(fileName),
        QStringLiteral("Jūsu sistēmā nav uzinstalēta vai ir uzinstalēta, bet nav asociēta ar šo faila tipu neviena programma."),
        QStringLiteral("Open Document formātu spēj atvērt: "),
        OfficeSuiteUrl,
        QStringLiteral("programmatūra, kura ir lejuplādējama par brīvu."),
        QString(),
        QStringLiteral("Microsoft Office šo formātu atver sākot ar versiju 2007 ar Service Pack 2."),
        QStringLiteral("Vecākas Microsoft Office programmas to atver, ja ir uzinstalēts Open Document spraudnis,"),
        QStringLiteral("kuru par brīvu var lejuplādēt no: %1").arg(PluginUrl),
    };
    return lines.join(QStringLiteral("\r\n"));
}
