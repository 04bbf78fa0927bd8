#include "grids/TPopupTree.h"

#include "grids/TDBEditGridInplaceEdit.h"
#include "platform/ui/UiServices.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>

TPopupTree::TPopupTree(TDBEditGridInplaceEdit* AEditor) : TDBEkTreeView(AEditor), FEditor(AEditor)
{
    setWindowFlags(Qt::Popup);
    setAttribute(Qt::WA_NoMouseReplay);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    // The focus stays in the editor, which hands the keys over while the tree is open.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    hide();
}

void TPopupTree::keyPressEvent(QKeyEvent* event)
{
    // An open pop-up gets the keyboard: its closing keys act as in the editor.
    int key = event->key();
    FEditor->DoDropDownKeys(key, event->modifiers() & ~Qt::KeypadModifier);
    if (key != 0)
        TDBEkTreeView::keyPressEvent(event);
}

void TPopupTree::mousePressEvent(QMouseEvent* event)
{
    TDBEkTreeView::mousePressEvent(event);
    LeftPress(event);
}

void TPopupTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    TDBEkTreeView::mouseDoubleClickEvent(event);
    LeftPress(event);
}

void TPopupTree::LeftPress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const qint64 now = UiServices::TickCount();
    const bool second = FHavePrevDown && now - FPrevDown <= QGuiApplication::styleHints()->mouseDoubleClickInterval();
    FPrevDown = now;
    FHavePrevDown = !second;
    if (second && FEditor->ListVisible() && FEditor->ActiveList() == this)
        FEditor->CloseUp(rect().contains(event->position().toPoint()));
}

void TPopupTree::hideEvent(QHideEvent* event)
{
    TDBEkTreeView::hideEvent(event);
    FHavePrevDown = false;
    // Closed by a press outside it: nothing is taken.
    if (FEditor->ListVisible() && FEditor->ActiveList() == this)
        FEditor->CloseUp(false);
}
