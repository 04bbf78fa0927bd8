// The column chooser and the columns description of the data grid.
#include "grids/CustomDBEdGrid.h"

#include "base/TEnumStrings.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "grids/TFldDlg.h"
#include "platform/data/Field.h"
#include "platform/rtl/EIntOverflow.h"

#include <QScopeGuard>
#include <climits>
#include <cmath>
#include <functional>
#include <memory>

namespace {

// Halves to even, as every stored width is rounded.
int RoundEven(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= double(INT_MIN) && r <= double(INT_MAX)))
        throw EIntOverflow(QStringLiteral("Integer overflow"));
    return static_cast<int>(r);
}

int IndexOfName(const TEnumStrings& dsc, const QString& Name)
{
    for (int i = 0; i < dsc.Count(); ++i)
        if (dsc.Get(i).compare(Name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// Runs fn over the description the owner hands back, within one layout bracket.
void WithOwnersDesc(TCustomDBEdGrid* grid, const std::function<void(const TEnumStrings& dsc)>& fn)
{
    grid->BeginLayout();
    auto endLayout = qScopeGuard([grid] { grid->EndLayout(); });
    TEnumStrings dsc;
    if (grid->OnRestoreColumnsDesc)
        grid->OnRestoreColumnsDesc(grid, dsc);
    fn(dsc);
}

// Gives a listed column its stored width; false when the description does not list it.
bool TakeDescWidth(TCustomDBEdGrid* grid, TEkColumn* c, const TEnumStrings& dsc)
{
    const int at = IndexOfName(dsc, c->FieldName());
    if (at < 0)
        return false;
    const int code = int(dsc.GetObject(at));
    c->SetWidth(grid->ScaleValue(code == 0 ? 10 : code));
    return true;
}

} // namespace

void TCustomDBEdGrid::CopyAllColumns(TDBEdGridColumns* Dest)
{
    Dest->Assign(*FColumns);
    for (int i = 0; i < FInvisibleColumns->Count(); ++i)
        Dest->Add()->Assign(*FInvisibleColumns->Items(i));
}

void TCustomDBEdGrid::RestoreDefaultColumnsToColumns(TDBEdGridColumns* descTo)
{
    descTo->Assign(*FOriginalColumns);
    FColumns->SetDescsModified(true);
}

void TCustomDBEdGrid::FieldsDialog()
{
    if (!FUseColumnsDesc)
        return;
    if (LinkActive())
        DataLink()->UpdateRecord(); // a modified edit text is written first
    TField* selected = SelectedField();
    const QString selectedName = selected ? selected->FieldName() : QString();
    BeginLayout();
    {
        auto endLayout = qScopeGuard([this] { EndLayout(); });
        std::unique_ptr<TFldDlg> dlg(FieldsDialogClass(this));
        dlg->SetGrid(this);
        auto defaults = std::make_unique<TDBEdGridColumns>(this);
        auto current = std::make_unique<TDBEdGridColumns>(this);
        if (HasDefaultColumns()) {
            RestoreDefaultColumnsToColumns(defaults.get());
            dlg->SetDefaultColumns(defaults.get());
        }
        CopyAllColumns(current.get());
        dlg->SetCurrentColumns(current.get());
        if (dlg->ShowModal() == QDialog::Accepted) {
            FInvisibleColumns->Clear();
            dlg->EnumerateAllColumns([this](TEkColumn* c) {
                if (!c->Visible())
                    FInvisibleColumns->Add()->Assign(*c);
            });
            FColumns->Clear();
            dlg->EnumerateVisibleColumns([this](TEkColumn* c) { FColumns->Add()->Assign(*c); });
            FColumns->SetDescsModified(true);
        }
        dlg.reset();
        if (OnValidateColumnsDesc)
            OnValidateColumnsDesc(this);
    }
    TEkColumn* c = selectedName.isEmpty() ? nullptr : ColumnByFieldName(selectedName);
    if (c && c->Collection() == FColumns.get())
        MoveCol(c->Index() + FIndicatorOffset);
    else
        SelectFirstTabColumn();
    InvalidateEditor();
}

std::unique_ptr<TEnumStrings> TCustomDBEdGrid::BuildColumnsDesc(TDBEdGridColumns* Collection, bool OnlyVisible)
{
    auto dsc = std::make_unique<TEnumStrings>();
    const double per96 = double(PixelsPerInch()) * FScale / 96.0;
    for (int i = 0; i < Collection->Count(); ++i) {
        TEkColumn* c = Collection->Items(i);
        if (OnlyVisible && !c->Visible())
            continue;
        dsc->AddInt(c->FieldName(), RoundEven(c->Width() / per96));
    }
    return dsc;
}

void TCustomDBEdGrid::SaveColumnsDesc()
{
    if (!FColumns->DescsModified() || !OnSaveColumnsDesc)
        return;
    const std::unique_ptr<TEnumStrings> dsc = BuildColumnsDesc(FColumns.get(), true);
    OnSaveColumnsDesc(this, *dsc);
}

void TCustomDBEdGrid::RestoreColumnsDesc()
{
    if (!FUseColumnsDesc)
        return;
    WithOwnersDesc(this, [this](const TEnumStrings& dsc) {
        ShowAllColumns();
        auto hide = [this](TEkColumn* c) {
            c->SetVisible(false);
            if (c->Visible())
                return; // a required column stays
            if (c->Collection() != FInvisibleColumns.get()) {
                c->Collection()->RemoveItem(c);
                FInvisibleColumns->InsertItem(c);
            }
            c->SetIndex(0);
        };
        if (dsc.Count() > 0) {
            for (int i = FColumns->Count() - 1; i >= 0; --i) {
                TEkColumn* c = FColumns->Items(i);
                if (TakeDescWidth(this, c, dsc))
                    c->SetVisible(true);
                else
                    hide(c);
            }
            for (int i = 0; i < dsc.Count(); ++i)
                if (TEkColumn* c = ColumnByFieldName(dsc.Get(i)))
                    c->SetIndex(std::min(i, FColumns->Count() - 1));
        } else {
            for (int i = FColumns->Count() - 1; i >= 0; --i)
                if (!FColumns->Items(i)->Visible())
                    hide(FColumns->Items(i));
        }
        if (FColumns->Count() == 0)
            ShowAllColumns();
        FColumns->SetDescsModified(false);
    });
}

void TCustomDBEdGrid::RestoreColumnsWidth()
{
    if (!FUseColumnsDesc)
        return;
    WithOwnersDesc(this, [this](const TEnumStrings& dsc) {
        for (int i = 0; i < FColumns->Count(); ++i)
            TakeDescWidth(this, FColumns->Items(i), dsc);
    });
}
