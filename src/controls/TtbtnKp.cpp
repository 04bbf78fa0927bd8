#include "controls/TtbtnKp.h"

#include "controls/ControlsMath.h"
#include "controls/KpSkin.h"
#include "controls/LookAndFeelPainters.h"
#include "controls/ScaleCheck.h"
#include "controls/ResourceUtils.h"

#include <QEnterEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

TtbtnKp::TtbtnKp(QWidget* AParent)
    : QAbstractButton(AParent)
    , FGlyph(std::make_unique<TtbtnKpGlyph>())
{
    FGlyph->OnChange = [this] { GlyphChanged(); };
    FColors.OnChanged = [this] { update(); };
    FLookAndFeel.OnChanged = [this] { update(); };
    FLookAndFeel.SetKind(TcxLookAndFeelKind::lfFlat);
    // A tool button never takes the focus; its keyboard access is its accelerator.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::ArrowCursor);
    setGeometry(0, 0, 24, 24);
}

TtbtnKp::~TtbtnKp()
{
    FGlyph->OnChange = nullptr;
}

void TtbtnKp::GlyphChanged()
{
    AdjustSize();
    update();
}

void TtbtnKp::SetCaption(const QString& AValue)
{
    if (AValue == text())
        return;
    setText(AValue);
    AdjustSize();
    update();
}

void TtbtnKp::SetGroupIndex(int AValue)
{
    if (AValue == FGroupIndex)
        return;
    FGroupIndex = AValue;
    UpdateExclusive();
}

void TtbtnKp::SetDown(bool AValue)
{
    if (FGroupIndex == 0)
        AValue = false;
    if (AValue == FDown)
        return;
    if (FDown && !FAllowAllUp)
        return;
    FDown = AValue;
    if (AValue) {
        if (FState == TButtonState::bsUp)
            update();
        FState = TButtonState::bsExclusive;
        UpdateExclusive();
    } else {
        FState = TButtonState::bsUp;
        update();
    }
}

void TtbtnKp::SetAllowAllUp(bool AValue)
{
    if (AValue == FAllowAllUp)
        return;
    FAllowAllUp = AValue;
    UpdateExclusive();
}

void TtbtnKp::UpdateExclusive()
{
    if (FGroupIndex == 0 || !parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<TtbtnKp*>(Qt::FindDirectChildrenOnly);
    for (TtbtnKp* b : siblings)
        b->ButtonPressed(FGroupIndex, this);
}

void TtbtnKp::ButtonPressed(int AGroupIndex, TtbtnKp* ASender)
{
    if (AGroupIndex != FGroupIndex || ASender == this)
        return;
    if (ASender->Down() && FDown) {
        FDown = false;
        FState = TButtonState::bsUp;
        update();
    }
    FAllowAllUp = ASender->AllowAllUp();
}

void TtbtnKp::SetLayout(TButtonLayout AValue)
{
    if (AValue == FLayout)
        return;
    FLayout = AValue;
    update();
}

void TtbtnKp::SetSpacing(int AValue)
{
    if (AValue == FSpacing)
        return;
    FSpacing = AValue;
    update();
}

void TtbtnKp::SetMargin(int AValue)
{
    if (AValue == FMargin || AValue < -1)
        return;
    FMargin = AValue;
    update();
}

void TtbtnKp::SetFlatBorder(bool AValue)
{
    if (AValue == FFlatBorder)
        return;
    FFlatBorder = AValue;
    update();
}

void TtbtnKp::SetAutosize(bool AValue)
{
    if (AValue == FAutosize)
        return;
    FAutosize = AValue;
    AdjustSize();
}

void TtbtnKp::SetImageName(const QString& AValue)
{
    if (QString::compare(AValue, FImageName, Qt::CaseInsensitive) == 0)
        return;
    FImageName = AValue.toUpper();
    if (FImageName.isEmpty())
        FGlyph->SmartGlyph().Clear();
    else
        ResourceUtils::LoadGlyph(FGlyph->SmartGlyph(), FImageName, this);
    FGlyph->Changed();
}

QImage TtbtnKp::Glyph() const
{
    return FGlyph->HasImage() ? FGlyph->SmartGlyph().ToImage() : QImage();
}

void TtbtnKp::SetGlyph(const QImage& AValue)
{
    if (AValue.isNull())
        FGlyph->SmartGlyph().Clear();
    else
        FGlyph->SmartGlyph().SetBitmap(AValue);
    FGlyph->Changed();
}

void TtbtnKp::SetCaptionMargin(int AValue)
{
    FCaptionMargin = AValue;
    AdjustSize();
}

void TtbtnKp::SetShowCaption(bool AValue)
{
    FShowCaption = AValue;
    if (!AValue)
        setText(QString());
    else if (FAction)
        setText(FAction->text());
    AdjustSize();
    update();
}

double TtbtnKp::ImageFactor() const
{
    // The logical resolution is 96; Qt applies the screen's pixel ratio itself.
    return RoundHalfEven(96.0 * FScale * 100.0) / 9600.0;
}

void TtbtnKp::SetScale(double AValue)
{
    if (AValue == FScale)
        return;
    CheckScale(AValue);
    if (testAttribute(Qt::WA_SetFont)) {
        QFont f = font();
        if (f.pixelSize() > 0)
            f.setPixelSize(RoundHalfEven(AValue * f.pixelSize() / FScale));
        else
            f.setPointSizeF(AValue * f.pointSizeF() / FScale);
        setFont(f);
    }
    FScale = AValue;
    FGlyph->ClearPrepared();
    AdjustSize();
    update();
}

void TtbtnKp::ChangeScale(int AM, int AD)
{
    if (FMargin != -1)
        FMargin = MulDiv(FMargin, AM, AD);
    if (FSpacing != -1)
        FSpacing = MulDiv(FSpacing, AM, AD);
    FCaptionMargin = MulDiv(FCaptionMargin, AM, AD);
    FGlyph->ClearPrepared();
    AdjustSize();
    update();
}

void TtbtnKp::AdjustSize()
{
    if (!FAutosize)
        return;
    FCaptionMargin = std::max(FCaptionMargin, 15);
    const QSize g = FGlyph->GlyphSize(ImageFactor());
    const int glyphFullWidth = g.width() * FGlyph->NumGlyphs();
    if (FShowCaption) {
        const QFontMetrics fm(font());
        const QSize t = fm.size(Qt::TextShowMnemonic | Qt::TextSingleLine, text());
        resize(glyphFullWidth + t.width() + FCaptionMargin, std::max(g.height(), FCaptionMargin + t.height()));
    } else {
        resize(width(), std::max(g.height(), height()));
    }
}

void TtbtnKp::Click()
{
    // An own click handler replaces the action, as it would in any button.
    if (OnClick)
        OnClick(this);
    else if (FAction)
        FAction->trigger();
    emit clicked(FDown);
}

void TtbtnKp::SetAction(QAction* AValue)
{
    if (AValue == FAction)
        return;
    disconnect(FActionConnection);
    FAction = AValue;
    if (AValue)
        FActionConnection = connect(AValue, &QAction::changed, this, [this] { ActionChange(); });
    ActionChange();
}

void TtbtnKp::ActionChange()
{
    if (!FAction) {
        FGlyph->SetActionImage(QIcon(), QSize(16, 16));
        update();
        return;
    }
    FGlyph->SetActionImage(FAction->icon(), QSize(16, 16));
    setEnabled(FAction->isEnabled());
    setToolTip(FAction->toolTip());
    setText(FShowCaption ? FAction->text() : QString());
    AdjustSize();
    update();
}

void TtbtnKp::DropDown()
{
    SetDown(true);
    if (FDropDownMenu)
        FDropDownMenu->exec(mapToGlobal(QPoint(0, height())));
    SetDown(false);
}

void TtbtnKp::Assign(const TtbtnKp& ASource)
{
    if (&ASource == this)
        return;
    setObjectName(ASource.objectName());
    setGeometry(ASource.geometry());
    SetCaption(ASource.Caption());
    SetImageName(ASource.ImageName());
    if (ASource.ImageName().isEmpty())
        SetGlyph(ASource.Glyph());
    FColors.Assign(ASource.FColors);
}

TcxButtonState TtbtnKp::PaintState() const
{
    if (!isEnabled())
        return TcxButtonState::cxbsDisabled;
    if (FState == TButtonState::bsDown || FDown)
        return TcxButtonState::cxbsPressed;
    if (FAction && FAction->isCheckable() && FAction->isChecked())
        return TcxButtonState::cxbsPressed;
    return FMouseInControl ? TcxButtonState::cxbsHot : TcxButtonState::cxbsNormal;
}

namespace {

QColor StateColor(const TtbtnKpColors& AColors, TcxButtonState AState, bool AText)
{
    using E = TtbtnKpColors;
    E::Entry entry = AText ? E::NormalText : E::Normal;
    switch (AState) {
    case TcxButtonState::cxbsHot: entry = AText ? E::HotText : E::Hot; break;
    case TcxButtonState::cxbsPressed: entry = AText ? E::PressedText : E::Pressed; break;
    case TcxButtonState::cxbsDisabled: entry = AText ? E::DisabledText : E::Disabled; break;
    default: break;
    }
    if (AColors.IsAssigned(entry))
        return AColors.Color(entry);
    if (AState == TcxButtonState::cxbsNormal || AState == TcxButtonState::cxbsDefault)
        return AColors.Color(AText ? E::DefaultText : E::Default);
    return AColors.Color(AText ? E::NormalText : E::Normal);
}

} // namespace

QColor TtbtnKp::FaceColor(TcxButtonState AState) const
{
    return StateColor(FColors, AState, false);
}

QColor TtbtnKp::TextColor(TcxButtonState AState) const
{
    const QColor c = StateColor(FColors, AState, true);
    if (c.isValid())
        return c;
    const QPalette pal = FacePalette();
    return FLookAndFeel.Painter().ButtonSymbolColor(AState, pal, pal.color(QPalette::WindowText));
}

QPalette TtbtnKp::FacePalette() const
{
    if (!FLookAndFeel.SkinName().isEmpty())
        if (const TKpSkinPainter* painter = LookAndFeelPainters().GetPainter(FLookAndFeel.SkinName()))
            if (const TKpSkin* skin = painter->Skin())
                return skin->Palette();
    return palette();
}

bool TtbtnKp::BorderShown(TcxButtonState AState) const
{
    const TcxLookAndFeelKind kind = FLookAndFeel.Kind();
    if (kind == TcxLookAndFeelKind::lfStandard || kind == TcxLookAndFeelKind::lfOffice11)
        return true;
    return FFlatBorder || AState == TcxButtonState::cxbsHot || AState == TcxButtonState::cxbsPressed;
}

TGlyphLayout TtbtnKp::CurrentLayout() const
{
    const TKpButtonPainter& painter = FLookAndFeel.Painter();
    const TcxButtonState state = PaintState();
    const int shift = painter.ButtonTextShift();
    const QPoint offset = state == TcxButtonState::cxbsPressed && shift != 0 ? QPoint(shift, shift) : QPoint();
    const int b = painter.ButtonBorderSize(TcxButtonState::cxbsDefault);
    const QRect client = rect().adjusted(b, b, -b, -b);
    const QSize g = FGlyph->GlyphSize(ImageFactor());
    const bool imageShown = !g.isEmpty();
    const QSize t = TtbtnKpGlyph::MeasureCaption(text(), font(), imageShown);
    return TtbtnKpGlyph::CalcGlyphLayout(client, offset, g, t, TtbtnKpGlyph::TextMargins(imageShown), FLayout,
                                         FMargin, FSpacing, layoutDirection() == Qt::RightToLeft);
}

QSize TtbtnKp::sizeHint() const
{
    const QSize g = FGlyph->GlyphSize(ImageFactor());
    const QSize t = TtbtnKpGlyph::MeasureCaption(text(), font(), !g.isEmpty());
    const int gap = !g.isEmpty() && !t.isEmpty() ? std::max(FSpacing, 0) : 0;
    const int b = 2 * FLookAndFeel.Painter().ButtonBorderSize(TcxButtonState::cxbsDefault) + 8;
    const bool across = FLayout == TButtonLayout::blGlyphLeft || FLayout == TButtonLayout::blGlyphRight;
    const QSize content = across ? QSize(g.width() + gap + t.width(), std::max(g.height(), t.height()))
                                 : QSize(std::max(g.width(), t.width()), g.height() + gap + t.height());
    return { std::max(24, content.width() + b), std::max(24, content.height() + b) };
}

void TtbtnKp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const TKpButtonPainter& painter = FLookAndFeel.Painter();
    const TcxButtonState state = PaintState();
    // The parent shows through round the face.
    p.fillRect(rect(), palette().color(backgroundRole()));
    const QPalette pal = FacePalette();
    painter.DrawButton(p, rect(), state, BorderShown(state), FaceColor(state), pal);
    const int shift = painter.ButtonTextShift();
    const QPoint offset = state == TcxButtonState::cxbsPressed && shift != 0 ? QPoint(shift, shift) : QPoint();
    const int bs = painter.ButtonBorderSize(state);
    p.setClipRect(rect().adjusted(bs, bs, -bs, -bs));
    const int b = painter.ButtonBorderSize(TcxButtonState::cxbsDefault);
    FGlyph->Draw(p, rect().adjusted(b, b, -b, -b), offset, text(), FLayout, FMargin, FSpacing, state,
                 layoutDirection() == Qt::RightToLeft, font(), TextColor(state),
                 pal.color(QPalette::Light), ImageFactor());
}

bool TtbtnKp::InsideForRelease(const QPoint& APos, const QSize& ASize)
{
    // The bottom edge still counts, the right edge does not.
    return APos.x() >= 0 && APos.x() < ASize.width() && APos.y() >= 0 && APos.y() <= ASize.height();
}

bool TtbtnKp::hitButton(const QPoint& APos) const
{
    return InsideForRelease(APos, size());
}

void TtbtnKp::mousePressEvent(QMouseEvent* AEvent)
{
    if (AEvent->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(AEvent);
        return;
    }
    AEvent->accept();
    if (FDropDownMenu) {
        DropDown();
        return;
    }
    if (!FDown) {
        FState = TButtonState::bsDown;
        update();
    }
    FDragging = true;
}

void TtbtnKp::mouseDoubleClickEvent(QMouseEvent* AEvent)
{
    mousePressEvent(AEvent);
    if (AEvent->button() == Qt::LeftButton && FDown && OnDblClick)
        OnDblClick(this);
}

void TtbtnKp::mouseMoveEvent(QMouseEvent* AEvent)
{
    AEvent->accept();
    const QPoint pos = AEvent->position().toPoint();
    if (FDragging) {
        TButtonState newState = TButtonState::bsUp;
        if (FDown)
            newState = TButtonState::bsExclusive;
        else if (InsideForRelease(pos, size()))
            newState = TButtonState::bsDown;
        if (newState != FState) {
            FState = newState;
            update();
        }
    } else if (!FMouseInControl) {
        RefreshHotTracking(rect().contains(pos));
    }
}

void TtbtnKp::mouseReleaseEvent(QMouseEvent* AEvent)
{
    if (!FDragging) {
        QWidget::mouseReleaseEvent(AEvent);
        return;
    }
    AEvent->accept();
    FDragging = false;
    const QPoint pos = AEvent->position().toPoint();
    const bool clicked = InsideForRelease(pos, size());
    if (FGroupIndex == 0) {
        FState = TButtonState::bsUp;
        FMouseInControl = false;
        update();
    } else if (clicked) {
        SetDown(!FDown);
        if (FDown)
            update();
    } else {
        if (FDown)
            FState = TButtonState::bsExclusive;
        update();
    }
    if (clicked)
        Click();
    RefreshHotTracking(rect().contains(pos));
}

bool TtbtnKp::HotTrackAllowed() const
{
    return isEnabled()
        && (FLookAndFeel.Painter().IsButtonHotTrack() || FLookAndFeel.Kind() == TcxLookAndFeelKind::lfFlat);
}

void TtbtnKp::RefreshHotTracking(bool AInside)
{
    if (!isEnabled())
        return;
    if (AInside)
        MouseEnter();
    else
        MouseLeave();
}

void TtbtnKp::MouseEnter()
{
    if (!FMouseInControl && HotTrackAllowed() && !QWidget::mouseGrabber()) {
        FMouseInControl = true;
        update();
    }
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TtbtnKp::MouseLeave()
{
    if (FMouseInControl && HotTrackAllowed() && !FDragging) {
        FMouseInControl = false;
        update();
    }
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TtbtnKp::enterEvent(QEnterEvent* AEvent)
{
    QAbstractButton::enterEvent(AEvent);
    MouseEnter();
}

void TtbtnKp::leaveEvent(QEvent* AEvent)
{
    QAbstractButton::leaveEvent(AEvent);
    MouseLeave();
}

void TtbtnKp::changeEvent(QEvent* AEvent)
{
    QAbstractButton::changeEvent(AEvent);
    if (AEvent->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            FMouseInControl = false;
        update();
    } else if (AEvent->type() == QEvent::FontChange) {
        update();
    }
}

bool TtbtnKp::event(QEvent* AEvent)
{
    if (AEvent->type() == QEvent::Shortcut) {
        // The caption's accelerator clicks an enabled button whose window shows.
        if (isEnabled() && isVisible() && parentWidget() && parentWidget()->isVisible())
            Click();
        return true;
    }
    return QAbstractButton::event(AEvent);
}
