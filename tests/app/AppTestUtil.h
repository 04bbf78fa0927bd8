#pragma once

#include "app/AppExceptionHandler.h"
#include "app/CSKTRImportAppFM.h"
#include "app/CSKTRImportBaseFRM.h"
#include "controls/ControlsModule.h"
#include "import/Readers.h"
#include "import/TCSHrvStumpwiseToDS.h"
#include "import/TOpenFileDialog.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"
#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

#ifndef STUMPWISE_QSTRING_PRINTTO
#define STUMPWISE_QSTRING_PRINTTO
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
#endif

inline QString Fixture(const char* relative)
{
    return QStringLiteral(STUMPWISE_FIXTURES "/") + QString::fromUtf8(relative);
}

// Every test gets its own settings folder, a recorded error box and a window built as the
// program builds it; the readers are wrapped so that loads can be counted.
class AppTest : public ::testing::Test {
protected:
    struct Box {
        QString text, caption;
    };

    void SetUp() override
    {
        ASSERT_TRUE(FSettingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FSettingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FSettingsDir.path());
        UiServices::SetMessageBoxHook([this](QWidget*, const QString& text, const QString& caption,
                                             QMessageBox::Icon, QMessageBox::StandardButtons) {
            boxes.push_back({text, caption});
            return QMessageBox::Ok;
        });
    }

    void TearDown() override
    {
        window.reset();
        UiServices::SetMessageBoxHook({});
    }


    void MakeWindow()
    {
        window = std::make_unique<TfmCSKTRImportAppFM>();
        window->resize(1500, 1100);
        window->show();
        QApplication::processEvents();
        frame = window->frmMainFrame();
        loader = frame->StumpwiseToDS();
        loader->SetReaders(
            [this](const QString& f, TAnalysisModel& m) { ++loads; ImportKTRFile(f, m); },
            [this](const QString& f, TAnalysisModel& m) { ++loads; ImportHQCFile(f, m); });
    }

    // The dialog answers with this file; an empty name cancels it.
    void ChooseInDialog(const QString& path)
    {
        loader->odKTRFiles()->OnExecute = [this, path](TOpenFileDialog& d) {
            ++dialogs;
            if (path.isEmpty())
                return false;
            d.SetFileName(path);
            return true;
        };
    }

    void ClickLoad(const QString& path)
    {
        ChooseInDialog(path);
        QTest::mouseClick(frame->btnLoadFile, Qt::LeftButton);
        QApplication::processEvents();
    }

    void LeaveMaxEdit(const QString& text)
    {
        frame->edtMaxNovirze->setText(text);
        frame->edtMaxNovirze->OnExit(frame->edtMaxNovirze);
    }

    static qint32 Int(TDataSet* ds, const char* field) { return ds->FieldByName(QString::fromLatin1(field))->AsInteger(); }

    QTemporaryDir FSettingsDir;
    std::unique_ptr<TfmCSKTRImportAppFM> window;
    TfrmCSKTRImportBaseFRM* frame = nullptr;
    TCSHrvStumpwiseToDS* loader = nullptr;
    std::vector<Box> boxes;
    int loads = 0;
    int dialogs = 0;
};
