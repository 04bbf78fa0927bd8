#pragma once

#include <QString>
#include <QWidget>

class TfrmCSKTRImportBaseFRM;

// The program's single window: hosts the analysis frame, completes its set-up for a
// standalone program, applies the skin, shows the version and keeps the maximum diameter
// deviation between runs in QSettings("Qurta", "Stumpwise"), value "DiamMaxNovize" (read at
// creation, written when the window is destroyed).
class TfmCSKTRImportAppFM : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* SettingName = "DiamMaxNovize";

    explicit TfmCSKTRImportAppFM(QWidget* parent = nullptr);
    ~TfmCSKTRImportAppFM() override;

    TfrmCSKTRImportBaseFRM* frmMainFrame() const { return FfrmMainFrame; }

    void FormCreate();
    void FormDestroy();
    void frmMainFramebtnCloseClick();
    void frmMainFramebtnLoadFileClick();
    void ChangeSkin(const QString& ASkinName);
    // "major.minor.release.build" of a program file: empty for the running program means
    // its own version; any other file carries no version this program can read (empty).
    static QString GetExeVersion(const QString& AFileName = QString());
    void ColorControls();

private:
    TfrmCSKTRImportBaseFRM* FfrmMainFrame;
    bool FDestroyed = false;
};
