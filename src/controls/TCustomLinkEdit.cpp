#include "controls/TCustomLinkEdit.h"

#include "controls/ResourceUtils.h"
#include "controls/TPopupWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <memory>

TCustomLinkEdit::TCustomLinkEdit(QWidget* AParent)
    : QLineEdit(AParent)
{
    FButton = new QToolButton(this);
    // No border, and a background only while hot or pressed.
    FButton->setAutoRaise(true);
    FButton->setCursor(Qt::ArrowCursor);
    FButton->setFocusPolicy(Qt::NoFocus);
    connect(FButton, &QToolButton::clicked, this, [this] { DoClick(); });
    resize(width(), 21);
    ApplyGlyphKind();
    PlaceButton();
    UpdateButton();
}

TCustomLinkEdit::~TCustomLinkEdit()
{
    delete FPopup.data();
}

void TCustomLinkEdit::SetReadOnly(bool AValue)
{
    const bool changed = AValue != FReadOnly;
    FReadOnly = AValue;
    if (changed)
        setReadOnly(AValue);
}

void TCustomLinkEdit::SetGlyphKind(TGlyphKind AValue)
{
    FGlyphKind = AValue;
    ApplyGlyphKind();
}

void TCustomLinkEdit::ApplyGlyphKind()
{
    FButton->setArrowType(Qt::NoArrow);
    FButton->setText(QString());
    FButton->setIcon(QIcon());
    switch (FGlyphKind) {
    case TGlyphKind::gkCustom:
        if (!FButtonGlyph.isNull())
            FButton->setIcon(QIcon(QPixmap::fromImage(FButtonGlyph)));
        break;
    case TGlyphKind::gkDefault: {
        const QImage img = DefaultGlyph();
        if (!img.isNull())
            FButton->setIcon(QIcon(QPixmap::fromImage(img)));
        break;
    }
    case TGlyphKind::gkDropDown:
        FButton->setArrowType(Qt::DownArrow);
        break;
    case TGlyphKind::gkEllipsis:
        FButton->setText(QStringLiteral("..."));
        break;
    }
}

void TCustomLinkEdit::SetGlyph(const QImage& AValue)
{
    FButtonGlyph = AValue;
    if (!AValue.isNull())
        FGlyphKind = TGlyphKind::gkCustom;
    ApplyGlyphKind();
}

void TCustomLinkEdit::SetImageName(const QString& AValue)
{
    if (AValue.toUpper() == FImageName)
        return;
    FImageName = AValue.toUpper();
    if (FImageName.isEmpty()) {
        FButtonGlyph = QImage();
        ApplyGlyphKind();
        return;
    }
    TKpSmartGlyph glyph;
    ResourceUtils::LoadGlyph(glyph, FImageName, this);
    FButtonGlyph = glyph.ToImage();
    FGlyphKind = TGlyphKind::gkCustom;
    ApplyGlyphKind();
}

bool TCustomLinkEdit::ShowButton() const
{
    return FShowButton;
}

void TCustomLinkEdit::SetShowButton(bool AValue)
{
    FShowButton = AValue;
    UpdateButton();
}

void TCustomLinkEdit::SetAutoHideButton(bool AValue)
{
    FAutoHideButton = AValue;
    UpdateButton();
}

void TCustomLinkEdit::SetButtonWidth(int AValue)
{
    FButtonWidth = std::max(0, AValue);
    PlaceButton();
    UpdateButton();
}

void TCustomLinkEdit::SetButtonHint(const QString& AValue)
{
    FButtonHint = AValue;
    FButton->setToolTip(AValue);
}

void TCustomLinkEdit::PlaceButton()
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    FButton->setGeometry(width() - frame - FButtonWidth, frame, FButtonWidth, std::max(0, height() - 2 * frame));
}

void TCustomLinkEdit::UpdateButton()
{
    const bool visible = ButtonShown() && FButtonWidth > 0 && (FFocused || !FAutoHideButton);
    FButton->setVisible(visible);
    // Text stops before the button.
    setTextMargins(0, 0, visible ? FButtonWidth : 0, 0);
}

void TCustomLinkEdit::SetPopup(TPopupWindow* AValue)
{
    if (AValue == FPopup)
        return;
    delete FPopup.data();
    FPopup = AValue;
}

bool TCustomLinkEdit::EnsurePopup()
{
    if (!FPopup && FPopupClass)
        SetPopup(FPopupClass(this));
    return FPopup != nullptr;
}

QPoint TCustomLinkEdit::PopupPosition(const QPoint& AEditTopLeft, const QSize& AEditSize, const QSize& APopupSize,
                                      const QRect& AScreen)
{
    int y = AEditTopLeft.y() + AEditSize.height();
    if (y + APopupSize.height() > AScreen.bottom() + 1)
        y = AEditTopLeft.y() - APopupSize.height();
    int x = AEditTopLeft.x() + AEditSize.width() - APopupSize.width();
    if (x < AScreen.left())
        x = AEditTopLeft.x();
    return { x, y };
}

void TCustomLinkEdit::PopupDropDown()
{
    if (!EnsurePopup())
        return;
    if (!(EditAllowed() || FPopupVisible))
        return;
    const QRect screenRect = screen() ? screen()->geometry() : QRect(0, 0, 1024, 768);
    const QPoint pos = PopupPosition(mapToGlobal(QPoint(0, 0)), size(), FPopup->size(), screenRect);
    FPopup->SetValue(Value(text()));
    setFocus();
    FPopup->move(pos);
    FPopupVisible = true;
    FPopup->show();
}

void TCustomLinkEdit::PopupCloseUp(bool AAccept)
{
    if (!FPopup || !FPopupVisible)
        return;
    struct ClearVisible {
        bool& Flag;
        ~ClearVisible() { Flag = false; }
    } clear { FPopupVisible };
    Value v;
    const bool take = AAccept && EditAllowed();
    if (take)
        v = FPopup->GetValue();
    FPopupVisible = false;
    FPopup->hide();
    setFocus();
    update();
    if (take && EditAllowed() && AcceptPopupValue(v)) {
        setText(v.AsString());
        setModified(true);
        if (hasFocus())
            selectAll();
    }
}

void TCustomLinkEdit::DoClick()
{
    if (FShowButton && EditAllowed())
        ButtonClick();
}

void TCustomLinkEdit::ButtonClick()
{
    setFocus();
    if (EnsurePopup()) {
        if (FPopupVisible)
            PopupCloseUp(true);
        else
            PopupDropDown();
        return;
    }
    if (OnButtonClick)
        OnButtonClick(this);
    if (!hasFocus() && isEnabled() && isVisible())
        setFocus();
}

void TCustomLinkEdit::DoPaste()
{
    if (!FDirectInput || !EditAllowed())
        return;
    if (!inputMask().isEmpty()) {
        paste();
        return;
    }
    QString s = QApplication::clipboard()->text();
    // Control characters would break the one-line text: line breaks and tabs (a value copied
    // from a table or over several lines) become blanks, any other one is shown as DEL.
    for (QChar& c : s) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
        else if (c.unicode() < 32)
            c = QChar(127);
    }
    insert(s);
}

void TCustomLinkEdit::DoCut()
{
    if (FDirectInput && EditAllowed())
        cut();
    else
        copy();
}

void TCustomLinkEdit::keyPressEvent(QKeyEvent* AEvent)
{
    const Qt::KeyboardModifiers mods = AEvent->modifiers();
    const bool altOrCtrl = mods & (Qt::AltModifier | Qt::ControlModifier);
    const QKeySequence pressed(AEvent->keyCombination());
    if ((AEvent->key() == Qt::Key_F4 && !altOrCtrl) || (!FClickKey.isEmpty() && pressed == FClickKey)) {
        if (FButtonWidth > 0)
            DoClick();
        AEvent->accept();
        return;
    }
    if (AEvent->key() == Qt::Key_F8 && !altOrCtrl && EditAllowed() && FDirectInput)
        clear();
    if (AEvent->key() == Qt::Key_Delete && !FDirectInput) {
        AEvent->accept();
        return;
    }
    if (AEvent->matches(QKeySequence::Paste)) {
        DoPaste();
        AEvent->accept();
        return;
    }
    if (AEvent->matches(QKeySequence::Cut)) {
        DoCut();
        AEvent->accept();
        return;
    }
    switch (AEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (FPopupVisible)
            PopupCloseUp(true);
        AEvent->accept();
        return;
    case Qt::Key_Escape:
        if (FPopupVisible)
            PopupCloseUp(false);
        AEvent->accept();
        return;
    default:
        break;
    }
    if (!FDirectInput && !AEvent->text().isEmpty() && !AEvent->matches(QKeySequence::Copy)
        && !AEvent->matches(QKeySequence::SelectAll)) {
        AEvent->accept();
        return;
    }
    QLineEdit::keyPressEvent(AEvent);
}

void TCustomLinkEdit::mousePressEvent(QMouseEvent* AEvent)
{
    if (AEvent->button() == Qt::LeftButton && FPopup) {
        setFocus();
        if (!hasFocus())
            return;
        if (FPopupVisible)
            PopupCloseUp(false);
        else if (EditAllowed() && !FDirectInput)
            PopupDropDown();
    }
    QLineEdit::mousePressEvent(AEvent);
}

void TCustomLinkEdit::focusInEvent(QFocusEvent* AEvent)
{
    QLineEdit::focusInEvent(AEvent);
    if (FAutoSelect && !(QApplication::mouseButtons() & Qt::LeftButton))
        selectAll();
    FFocused = true;
    UpdateButton();
}

void TCustomLinkEdit::focusOutEvent(QFocusEvent* AEvent)
{
    QLineEdit::focusOutEvent(AEvent);
    // Another window or a menu taking the focus for a while does not leave the edit.
    if (AEvent->reason() == Qt::ActiveWindowFocusReason || AEvent->reason() == Qt::PopupFocusReason)
        return;
    FFocused = false;
    // While the pop-up is open the focus is in it and the button stays.
    if (!FPopupVisible)
        UpdateButton();
}

void TCustomLinkEdit::enterEvent(QEnterEvent* AEvent)
{
    QLineEdit::enterEvent(AEvent);
    if (ButtonShown() && FButtonWidth > 0) {
        FButton->show();
        setTextMargins(0, 0, FButtonWidth, 0);
    }
}

void TCustomLinkEdit::leaveEvent(QEvent* AEvent)
{
    QLineEdit::leaveEvent(AEvent);
    UpdateButton();
}

void TCustomLinkEdit::resizeEvent(QResizeEvent* AEvent)
{
    QLineEdit::resizeEvent(AEvent);
    PlaceButton();
}

void TCustomLinkEdit::contextMenuEvent(QContextMenuEvent* AEvent)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The menu's own paste and cut would bypass the rules above.
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { DoPaste(); });
        } else if (action->objectName() == QLatin1String("edit-cut")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { DoCut(); });
        }
    }
    menu->exec(AEvent->globalPos());
}
