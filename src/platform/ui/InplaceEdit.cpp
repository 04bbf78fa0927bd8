#include "platform/ui/InplaceEdit.h"

#include "platform/ui/CustomGrid.h"

#include <QKeyEvent>

namespace {

// The line edit's own largest length, which stands for no limit.
constexpr int kNoEditLimit = 32767;

} // namespace

TInplaceEdit::TInplaceEdit(TCustomGrid* grid)
    : QLineEdit(grid->viewport()), FGrid(grid)
{
    setFrame(false);
    hide();
    connect(this, &QLineEdit::textEdited, this, [this] { FGrid->EditorTextEdited(EditText()); });
}

void TInplaceEdit::Move(const QRect& rect)
{
    setGeometry(rect);
    if (!isVisible())
        show();
}

void TInplaceEdit::UpdateContents()
{
    // The mask goes first: the text is then laid into its positions.
    setText(QString());
    FMask = TEditMask(FGrid->GetEditMask());
    setInputMask(FMask.InputMask());
    setText(FGrid->EditorText());
    // Without a mask the editor takes no more than the cell's value may hold (0: no limit).
    const int limit = FGrid->GetEditLimit();
    setMaxLength(limit > 0 ? limit : kNoEditLimit);
}

QString TInplaceEdit::EditText() const
{
    return FMask.IsEmpty() || FMask.SavesLiterals() ? text() : FMask.StoredText(displayText());
}

void TInplaceEdit::keyPressEvent(QKeyEvent* event)
{
    // Keys that move between cells belong to the grid, not to the text.
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        FGrid->EditorKeyPress(event);
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}
