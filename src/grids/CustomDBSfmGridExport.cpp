// The export commands of the sort grid.
#include "grids/CustomDBSfmGrid.h"

#include "export/TODFSpreadSheet.h"
#include "export/TToExcel.h"
#include "export/TxlColumn.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "grids/ExportProgressView.h"
#include "grids/TFldDlg.h"
#include "platform/data/DataSet.h"
#include "platform/data/DateTimeField.h"
#include "platform/rtl/FormatSettings.h"

std::unique_ptr<TFldDlg> TCustomDBSfmGrid::ExportColumnsDialog(bool AShowColumnsDialog, TDBEdGridColumns& Cols)
{
    TDataSet* ds = LinkDataSet();
    if (!ds)
        return nullptr;
    ds->CheckBrowseMode();
    if (ds->IsEmpty())
        return nullptr;
    CopyAllColumns(&Cols);
    std::unique_ptr<TFldDlg> dlg(FieldsDialogClass(this));
    dlg->SetOkCaption(QStringLiteral("Eksportēt"));
    dlg->SetGrid(this);
    dlg->SetCurrentColumns(&Cols);
    if (AShowColumnsDialog && dlg->ShowModal() != QDialog::Accepted)
        return nullptr;
    if (dlg->VisibleColumnsCount() == 0)
        return nullptr;
    return dlg;
}

void TCustomDBSfmGrid::ExportColumnToList(TDocumentExportBase& W, TDBEdGridColumns& Cols, TEkColumn* C,
                                          bool CheckField)
{
    TDataSet* ds = LinkDataSet();
    Cols.Add()->Assign(*C);
    TxlColumn& X = W.Columns().Add();
    X.SetDataSet(ds);
    X.SetDataField(C->FieldName().toUpper());
    X.SetDisplayWidth(C->DisplayWidth());
    X.SetDisplayLabel(C->Title()->Caption());
    // The OpenDocument export insists on the field: a missing one raises the dataset's error.
    TField* f = CheckField ? ds->FindField(X.DataField()) : ds->FieldByName(X.DataField());
    if (f && dynamic_cast<TDateTimeField*>(f) && X.DisplayFormat().isEmpty())
        X.SetDisplayFormat(FormatSettings::Default().ShortDateFormat);
}

void TCustomDBSfmGrid::ExportToExcel(bool AShowColumnsDialog, int XLSFormat)
{
    auto Cols = std::make_unique<TDBEdGridColumns>(this);
    const std::unique_ptr<TFldDlg> Dlg = ExportColumnsDialog(AShowColumnsDialog, *Cols);
    if (!Dlg)
        return;
    TToExcel W;
    W.SetXLSFormat(XLSFormat);
    W.SetDataset(LinkDataSet());
    Cols->Clear();
    Dlg->EnumerateVisibleColumns([&](TEkColumn* C) { ExportColumnToList(W, *Cols, C, true); });
    if (OnExportToExcel)
        OnExportToExcel(this, W);
    if (OnExport)
        OnExport(this, XLSFormat == 9 ? TExportType::etOOXMLSheet : TExportType::etExcel, *Cols);
    ExportProgressView progress(this);
    W.SetVisible(false);
    W.Execute(false, true);
    W.SetVisible(true);
}

void TCustomDBSfmGrid::ExportToOOXMLSheet(bool AShowColumnsDialog) { ExportToExcel(AShowColumnsDialog, 9); }

void TCustomDBSfmGrid::ExportToOpenDocumentSpreadSheet(bool AShowColumnsDialog)
{
    auto Cols = std::make_unique<TDBEdGridColumns>(this);
    const std::unique_ptr<TFldDlg> Dlg = ExportColumnsDialog(AShowColumnsDialog, *Cols);
    if (!Dlg)
        return;
    TODFSpreadSheet W;
    W.SetDataset(LinkDataSet());
    Cols->Clear();
    Dlg->EnumerateVisibleColumns([&](TEkColumn* C) { ExportColumnToList(W, *Cols, C, false); });
    if (OnExport)
        OnExport(this, TExportType::etOOCalc, *Cols);
    ExportProgressView progress(this);
    W.Execute(false, false);
    W.OpenExportedFile();
}
