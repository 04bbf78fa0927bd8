#include "app/QtTranslations.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <iostream>

namespace {

// The Yes button of a message box, as the person sees it.
QString YesText()
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text();
}

const char* const kProbe = "STUMPWISE_LANGUAGE_PROBE";

// This test program started again under a desktop of the given language: it loads Qt's texts
// as the program does at start-up and reports the button's text.
QString YesTextStartedUnder(const QString& lang)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing may override the desktop's language (the tests run with LC_ALL set).
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), lang);
    env.insert(QString::fromLatin1(kProbe), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=QtTranslations.FollowTheDesktopsLanguageAtStartUp")});
    EXPECT_TRUE(child.waitForFinished(120000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString() << child.readAllStandardError().toStdString();
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("YES=")))
            return line.mid(4);
    return QStringLiteral("<none>");
}

TEST(QtTranslations, FollowTheDesktopsLanguageAtStartUp)
{
    if (qEnvironmentVariableIsSet(kProbe)) {
        QtTranslations::Install();
        std::cout << "YES=" << YesText().toStdString() << std::endl;
        return;
    }
    EXPECT_EQ(YesTextStartedUnder(QStringLiteral("lv_LV.UTF-8")), QStringLiteral("&Jā"));
    EXPECT_EQ(YesTextStartedUnder(QStringLiteral("de_DE.UTF-8")), QStringLiteral("&Ja"));
    EXPECT_EQ(YesTextStartedUnder(QStringLiteral("C.UTF-8")), QStringLiteral("&Yes"));
}

TEST(QtTranslations, ALanguageReplacesTheOneBefore)
{
    const auto english = qScopeGuard([] { QtTranslations::Install(QLocale::c()); });
    ASSERT_TRUE(QtTranslations::Install(QLocale(QLocale::German, QLocale::Germany)));
    EXPECT_EQ(YesText(), QStringLiteral("&Ja"));
    ASSERT_TRUE(QtTranslations::Install(QLocale(QLocale::Latvian, QLocale::Latvia)));
    EXPECT_EQ(YesText(), QStringLiteral("&Jā"));
    // A language Qt has no texts for leaves its English ones.
    EXPECT_FALSE(QtTranslations::Install(QLocale(QLocale::Estonian, QLocale::Estonia)));
    EXPECT_EQ(YesText(), QStringLiteral("&Yes"));
}

} // namespace
