#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TKpBtnPnl;

// Shown when no program opens OpenDocument spreadsheets: says where the file is, where a
// free office suite and a plug-in can be had, and offers to open the file's folder.
class TODF_DownloadOO : public QDialog
{
    Q_OBJECT

public:
    static const QString OfficeSuiteName;
    static const QString OfficeSuiteUrl;
    static const QString PluginUrl;

    explicit TODF_DownloadOO(QWidget* parent = nullptr);

    void SetErrorStr(const QString& value);
    // The message for a written file, lines separated by CR LF.
    static QString Message(const QString& fileName);

    TKpBtnPnl* pnlBtns = nullptr;
    QPushButton* btnOK = nullptr;
    QWidget* pnl = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QCheckBox* cbOpenFolder = nullptr;
    QLabel* lblOO = nullptr;
    QLabel* lblOOPlugin = nullptr;

private:
    void btnOKClick();
};
