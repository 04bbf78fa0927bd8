#pragma once

#include <QDialog>

class QPlainTextEdit;
class QSizeGrip;
class QWidget;
class TtbtnKp;

// The modal pop-up a grid cell opens for a long text: a memo with OK and Cancel on its right.
// OK: the check button, Ctrl+Enter, F3, Tab, Alt+Up/Down; Cancel: the cross button or Esc.
class TfrmEdGridMemoEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEdGridMemoEdit(QWidget* AOwner = nullptr);

    QPlainTextEdit* Memo() const { return FMemo; }
    TtbtnKp* btnOk() const { return FbtnOk; }
    TtbtnKp* btnCancel() const { return FbtnCancel; }
    // Whether the user resized the form since it was last shown.
    bool UserResized() const { return FUserResized; }
    // Most characters the memo takes; 0 for no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int AValue);

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;
    void keyPressEvent(QKeyEvent* AEvent) override;
    void resizeEvent(QResizeEvent* AEvent) override;
    void showEvent(QShowEvent* AEvent) override;
    void paintEvent(QPaintEvent* AEvent) override;

private:
    bool HandleKey(QKeyEvent* AKey);
    void CutToMaxLength();

    QPlainTextEdit* FMemo;
    QWidget* FPanel;
    TtbtnKp* FbtnOk;
    TtbtnKp* FbtnCancel;
    QSizeGrip* FGrip;
    bool FUserResized = false;
    int FMaxLength = 0;
    bool FShown = false;
};
