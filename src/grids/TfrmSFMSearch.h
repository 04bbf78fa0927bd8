#pragma once

#include "base/TSortOrder.h"
#include "platform/data/Bookmark.h"

#include <QKeySequence>
#include <QPointer>
#include <QString>
#include <QWidget>

class IGridSearch;
class QAction;
class QCheckBox;
class QLineEdit;
class TDataSet;
class TField;
class TKpBtnPnl;
class TtbtnKp;

// The small always-on-top search window of a sort grid: incremental search over the sort
// column, find forward or backward (optionally case-sensitive), or a step to the next or
// previous value. It reaches its grid only through IGridSearch; the grid creates one on first
// use, owns it and keeps the place where the user last left it.
class TfrmSFMSearch : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSFMSearch(QWidget* AOwner);
    ~TfrmSFMSearch() override;

    // The grid's window, created when missing, made ready for the grid's popup column and
    // placed: where the user left it last time (kept on the screen), else in the grid's
    // lower left corner.
    static TfrmSFMSearch* PrepareSearchForm(IGridSearch& Grid);
    // AText is the first text typed (empty, or a lone control character: start from the
    // current value).
    static void ShowIncrementalSearch(IGridSearch& Grid, const QString& AText);
    static void ShowFind(IGridSearch& Grid, const QString& AText);
    static void ShowNextValue(IGridSearch& Grid);

    // The owning grid is going away: hiding must not reach it any more.
    void GridDestroying() { FGridDestroying = true; }

    // Client heights of the two looks: the text line alone, and with the case box below.
    static constexpr int ShortHeight = 40;
    static constexpr int FindHeight = 58;

    QCheckBox* chkCase = nullptr;
    TKpBtnPnl* pnlTop = nullptr;
    TtbtnKp* btnSearchToEnd = nullptr;
    TtbtnKp* btnSearchToStart = nullptr;
    TtbtnKp* btnSearchFromStart = nullptr;
    QLineEdit* edtWhat = nullptr;

    // Handlers of the controls, reachable for a host that drives the window itself.
    void edtWhatChange();
    void btnPrev1Click(TtbtnKp* Sender);
    void btnFindPrev1Click(TtbtnKp* Sender);
    void btnFromTop1Click();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;

private:
    enum class TArrowAction { NextValue, Find };

    bool FormKeyPress(QKeyEvent* Event);
    bool edtWhatKeyPress(QKeyEvent* Event);
    void ArrowClick(TtbtnKp* Sender);
    void FormHide();
    void ShowWindow(int ClientHeight, bool FocusText);
    void SetTextQuietly(const QString& Text, bool SelectAll);
    void ClearEnterShortcut();
    void GiveBackEnterShortcut();
    TDataSet* DataSet() const;
    TField* SearchField() const;
    QString FieldText(const TField* Field) const;
    QPoint GridCorner() const;

    bool FbFromTop = false;
    bool FComplexFilter = false;
    QString FFieldName;
    TBookmark FStartRecBkMk;
    QPointer<QAction> FmniCleared;
    QKeySequence FClearedShortcut;
    IGridSearch* FGrid = nullptr;
    TSortOrder FSOrder = TSortOrder::soAscending;
    QPointer<QWidget> FControl;
    TArrowAction FArrowAction = TArrowAction::NextValue;
    bool FGridDestroying = false;
    bool FLostActivation = false;
};
