#pragma once

#include "grids/TFldDlg.h"

#include <QString>
#include <memory>

class IGridColumns;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QSplitter;
class QWidget;
class TKpBitBtn;
class TKpBtnPnl;
class TtbtnKp;

// The column chooser: the available columns on the left, the shown ones on the right in
// their order, buttons to move them across and up or down, the width of the chosen column
// and the grid's default layout.
class TfrmFldDlg : public TFldDlg {
    Q_OBJECT
public:
    explicit TfrmFldDlg(QWidget* AOwner = nullptr);
    ~TfrmFldDlg() override;

    void SetOkCaption(const QString& ACaption) override;
    void SetGrid(TCustomDBEdGrid* AGrid) override;
    void SetDefaultColumns(TDBEdGridColumns* AColumns) override;
    void SetCurrentColumns(TDBEdGridColumns* AColumns) override;
    void EnumerateAllColumns(const TColumnCallback& ACallb) override;
    void EnumerateVisibleColumns(const TColumnCallback& ACallb) override;

    void FillListBoxes(TDBEdGridColumns* SrcDescs);
    void FillListBoxes(IGridColumns* Src);
    virtual void FillSelectedList();
    virtual void LoadColumns(TDBEdGridColumns* SrcDescs);
    virtual void LoadColumns(IGridColumns* Src);
    virtual void ApplyWidth(QListWidget* ListBox);
    virtual void ShowWidth(QListWidget* ListBox);
    // A column is about to move into ListBox.
    virtual void ItemMoved(TEkColumn* Column, QListWidget* ListBox);
    virtual QString GetItemText(TEkColumn* Column);
    virtual void FillListBoxesDef();
    // Hides in ToDescs what the left list holds and shows, sizes and orders what the right holds.
    virtual void ApplySelection(TDBEdGridColumns* ToDescs);

    // The commands of the buttons.
    void AddClick();
    void RemoveClick();
    void UpClick();
    void DownClick();
    void DefaultClick();
    void OkClick();

    // The column an item carries.
    static TEkColumn* ItemColumn(const QListWidgetItem* Item);

    std::unique_ptr<TDBEdGridColumns> AllDescs;
    std::unique_ptr<TDBEdGridColumns> SelDescs;

    QWidget* pnlLeft;
    QLabel* Label1;
    QListWidget* lstAll;
    QSplitter* spl;
    QWidget* pnlRight;
    QLabel* lblRedzKol;
    QLabel* lblPlatums;
    QLineEdit* edtWidth;
    TtbtnKp* btnDefault;
    TKpBitBtn* KpBitBtn1;
    TKpBitBtn* KpBitBtn2;
    TKpBitBtn* KpBitBtn3;
    TKpBitBtn* KpBitBtn4;
    QListWidget* lstSel;
    TKpBtnPnl* pnlBtnPanel;
    TKpBitBtn* btnOK;
    TKpBitBtn* btnCancel;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    TCustomDBEdGrid* OwnerGrid() const;
    QListWidgetItem* NewItem(TEkColumn* Column);
    void FillList(QListWidget* List, TDBEdGridColumns* Descs);
    // SelDescs takes the order of the right list.
    void SyncSelOrder();
    void MoveSelected(bool Up);
    bool WidthKey(QKeyEvent* Event);
};
