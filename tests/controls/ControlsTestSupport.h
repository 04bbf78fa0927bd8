#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects warnings written while it lives.
class TWarningCatcher {
public:
    TWarningCatcher();
    ~TWarningCatcher();
    QStringList Messages() const { return FMessages; }

private:
    static void Handler(QtMsgType AType, const QMessageLogContext& AContext, const QString& AMessage);
    static TWarningCatcher* FCurrent;
    QtMessageHandler FPrevious;
    QStringList FMessages;
};

// An SVG of the given size filled with one colour.
QByteArray SolidSvg(int AWidth, int AHeight, const QString& AColor = QStringLiteral("#ff0000"));
void WriteFile(const QString& APath, const QByteArray& AData);
// An image file of one colour in the given format ("PNG" or "BMP").
void WriteSolidImage(const QString& APath, int AWidth, int AHeight, const QColor& AColor, const char* AFormat);
