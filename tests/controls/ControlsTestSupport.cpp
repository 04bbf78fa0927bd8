#include "ControlsTestSupport.h"

#include <QColor>
#include <gtest/gtest.h>

TWarningCatcher* TWarningCatcher::FCurrent = nullptr;

TWarningCatcher::TWarningCatcher() : FPrevious(qInstallMessageHandler(&TWarningCatcher::Handler))
{
    FCurrent = this;
}

TWarningCatcher::~TWarningCatcher()
{
    qInstallMessageHandler(FPrevious);
    FCurrent = nullptr;
}

void TWarningCatcher::Handler(QtMsgType AType, const QMessageLogContext&, const QString& AMessage)
{
    if (FCurrent && AType == QtWarningMsg)
        FCurrent->FMessages << AMessage;
}

QByteArray SolidSvg(int AWidth, int AHeight, const QString& AColor)
{
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\">"
                          "<rect width=\"%1\" height=\"%2\" fill=\"%3\"/></svg>")
        .arg(AWidth)
        .arg(AHeight)
        .arg(AColor)
        .toUtf8();
}

void WriteFile(const QString& APath, const QByteArray& AData)
{
    QFile file(APath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(AData);
}

void WriteSolidImage(const QString& APath, int AWidth, int AHeight, const QColor& AColor, const char* AFormat)
{
    QImage image(AWidth, AHeight, QImage::Format_RGB32);
    image.fill(AColor);
    ASSERT_TRUE(image.save(APath, AFormat));
}
