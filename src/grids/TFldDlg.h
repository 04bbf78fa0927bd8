#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class TCustomDBEdGrid;
class TDBEdGridColumns;
class TEkColumn;

// What a grid asks of a column chooser: its OK caption, the grid's current (and default)
// columns in, and after the modal showing the hidden and the shown columns out, in order.
class TFldDlg : public QDialog {
    Q_OBJECT
public:
    using TColumnCallback = std::function<void(TEkColumn* Column)>;

    explicit TFldDlg(QWidget* AOwner = nullptr) : QDialog(AOwner) {}

    virtual void SetOkCaption(const QString& ACaption) = 0;
    virtual void SetGrid(TCustomDBEdGrid* AGrid) = 0;
    virtual void SetDefaultColumns(TDBEdGridColumns* AColumns) = 0;
    virtual void SetCurrentColumns(TDBEdGridColumns* AColumns) = 0;
    virtual void EnumerateAllColumns(const TColumnCallback& ACallb) = 0;
    virtual void EnumerateVisibleColumns(const TColumnCallback& ACallb) = 0;
    // Counted through EnumerateVisibleColumns.
    virtual int VisibleColumnsCount();
    // The modal showing; QDialog::Accepted means OK.
    virtual int ShowModal() { return exec(); }
};

// Makes the column chooser the grids show; the owner is the grid.
using TFldDlgClass = std::function<TFldDlg*(QWidget* AOwner)>;
// TfrmFldDlg unless replaced.
extern TFldDlgClass FieldsDialogClass;
