#include "platform/ui/InplaceEdit.h"

#include "platform/ui/CustomGrid.h"

#include <QKeyEvent>

TInplaceEdit::TInplaceEdit(TCustomGrid* grid)
    : QLineEdit(grid->viewport()), FGrid(grid)
{
    setFrame(false);
    hide();
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        FGrid->EditorTextEdited(text);
    });
}

void TInplaceEdit::Move(const QRect& rect)
{
    setGeometry(rect);
    if (!isVisible())
        show();
}

void TInplaceEdit::UpdateContents()
{
    setText(FGrid->EditorText());
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
