#include "grids/TfrmEdGridMemoEdit.h"

#include "controls/TtbtnKp.h"
#include "platform/ui/UiServices.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSizeGrip>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

TfrmEdGridMemoEdit::TfrmEdGridMemoEdit(QWidget* AOwner)
    : QDialog(AOwner, Qt::Popup)
    , FMemo(new QPlainTextEdit(this))
    , FPanel(new QWidget(this))
    , FbtnOk(new TtbtnKp(FPanel))
    , FbtnCancel(new TtbtnKp(FPanel))
    , FGrip(new QSizeGrip(FPanel))
{
    setObjectName(QStringLiteral("frmEdGridMemoEdit"));
    const int ppi = UiServices::PixelsPerInch(this);
    auto s = [ppi](int n) { return n * ppi / 96; };
    FMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FMemo->setFrameShape(QFrame::NoFrame);
    FMemo->setTabChangesFocus(false);
    FbtnOk->SetImageName(QStringLiteral("CHECKMARK"));
    FbtnCancel->SetImageName(QStringLiteral("CROSSMARK"));
    FbtnOk->setFixedSize(s(20), s(20));
    FbtnCancel->setFixedSize(s(20), s(20));
    FPanel->setFixedWidth(s(20));
    auto* panel = new QVBoxLayout(FPanel);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(0);
    panel->addWidget(FbtnOk);
    panel->addWidget(FbtnCancel);
    panel->addStretch();
    panel->addWidget(FGrip, 0, Qt::AlignRight | Qt::AlignBottom);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(FMemo);
    layout->addWidget(FPanel);
    resize(s(258), s(129));

    FbtnOk->OnClick = [this](TtbtnKp*) { done(QDialog::Accepted); };
    FbtnCancel->OnClick = [this](TtbtnKp*) { done(QDialog::Rejected); };
    FMemo->installEventFilter(this);
    connect(FMemo, &QPlainTextEdit::textChanged, this, [this] { CutToMaxLength(); });
}

void TfrmEdGridMemoEdit::SetMaxLength(int AValue)
{
    FMaxLength = std::max(0, AValue);
    CutToMaxLength();
}

void TfrmEdGridMemoEdit::CutToMaxLength()
{
    // Typing or pasting beyond the limit keeps the text's beginning.
    if (FMaxLength <= 0 || FMemo->document()->characterCount() - 1 <= FMaxLength)
        return;
    QTextCursor cursor(FMemo->document());
    cursor.setPosition(FMaxLength);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    FMemo->moveCursor(QTextCursor::End);
}

bool TfrmEdGridMemoEdit::HandleKey(QKeyEvent* AKey)
{
    const Qt::KeyboardModifiers mods = AKey->modifiers() & ~Qt::KeypadModifier;
    switch (AKey->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!(mods & Qt::AltModifier))
            return false;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!(mods & Qt::ControlModifier))
            return false;
        break;
    case Qt::Key_F3:
    case Qt::Key_Tab:
        break;
    case Qt::Key_Escape:
        done(QDialog::Rejected);
        return true;
    default:
        return false;
    }
    // A read-only memo has no OK: these keys only close it.
    done(FbtnOk->isVisible() ? QDialog::Accepted : QDialog::Rejected);
    return true;
}

bool TfrmEdGridMemoEdit::eventFilter(QObject* AWatched, QEvent* AEvent)
{
    if (AEvent->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(AEvent)))
        return true;
    return QDialog::eventFilter(AWatched, AEvent);
}

void TfrmEdGridMemoEdit::keyPressEvent(QKeyEvent* AEvent)
{
    if (!HandleKey(AEvent))
        QDialog::keyPressEvent(AEvent);
}

void TfrmEdGridMemoEdit::resizeEvent(QResizeEvent* AEvent)
{
    QDialog::resizeEvent(AEvent);
    if (FShown && isVisible())
        FUserResized = true;
}

void TfrmEdGridMemoEdit::showEvent(QShowEvent* AEvent)
{
    FUserResized = false;
    QDialog::showEvent(AEvent);
    FShown = true;
    FMemo->setFocus();
}

void TfrmEdGridMemoEdit::paintEvent(QPaintEvent* AEvent)
{
    QDialog::paintEvent(AEvent);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
