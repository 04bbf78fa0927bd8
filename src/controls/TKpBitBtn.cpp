#include "controls/TKpBitBtn.h"

#include "controls/ControlsMath.h"
#include "controls/ScaleCheck.h"
#include "controls/ResourceUtils.h"

#include <QEnterEvent>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <vector>

namespace {

// Fills the 4-connected area of AImage that has the colour found at ASeed with AColor.
void FloodFill(QImage& AImage, const QPoint& ASeed, QRgb AColor)
{
    if (!AImage.rect().contains(ASeed))
        return;
    const QRgb target = AImage.pixel(ASeed);
    if (target == AColor)
        return;
    std::vector<QPoint> stack { ASeed };
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        if (!AImage.rect().contains(p) || AImage.pixel(p) != target)
            continue;
        AImage.setPixel(p, AColor);
        stack.push_back(p + QPoint(1, 0));
        stack.push_back(p + QPoint(-1, 0));
        stack.push_back(p + QPoint(0, 1));
        stack.push_back(p + QPoint(0, -1));
    }
}

void SunkenFrame(QPainter& APainter, const QRect& AR, const QColor& ADark)
{
    APainter.setPen(ADark);
    APainter.drawLine(AR.topRight(), AR.topLeft());
    APainter.drawLine(AR.topLeft(), AR.bottomLeft());
    APainter.setPen(Qt::white);
    APainter.drawLine(AR.bottomLeft(), AR.bottomRight());
    APainter.drawLine(AR.bottomRight(), AR.topRight());
}

} // namespace

TKpBitBtn::TKpBitBtn(QWidget* AParent)
    : QPushButton(AParent)
{
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

TKpBitBtn::~TKpBitBtn() = default;

void TKpBitBtn::SetImageName(const QString& AValue)
{
    if (QString::compare(AValue, FImageName, Qt::CaseInsensitive) == 0)
        return;
    FImageName = AValue.toUpper();
    if (FImageName.isEmpty())
        FGlyph.Clear();
    else
        ResourceUtils::LoadGlyph(FGlyph, FImageName, this);
    UpdateIcon();
}

QImage TKpBitBtn::Glyph() const
{
    return FGlyph.IsEmpty() ? QImage() : FGlyph.ToImage();
}

void TKpBitBtn::SetGlyph(const QImage& AValue)
{
    if (AValue.isNull())
        FGlyph.Clear();
    else
        FGlyph.SetBitmap(AValue);
    UpdateIcon();
}

void TKpBitBtn::UpdateIcon()
{
    if (FGlyph.IsEmpty()) {
        setIcon(QIcon());
        return;
    }
    const int dpi = FGlyph.SourceDPI() > 0 ? FGlyph.SourceDPI() : 96;
    const int w = MulDiv(MulDiv(FGlyph.SourceWidth(), 96, dpi), FScaleFactor.Numerator, FScaleFactor.Denominator);
    const int h = MulDiv(MulDiv(FGlyph.SourceHeight(), 96, dpi), FScaleFactor.Numerator, FScaleFactor.Denominator);
    if (w <= 0 || h <= 0) {
        setIcon(QIcon());
        return;
    }
    const qreal ratio = devicePixelRatioF();
    QImage img(QSize(RoundHalfEven(w * ratio), RoundHalfEven(h * ratio)), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        FGlyph.Paint(p, QRectF(0, 0, img.width(), img.height()));
    }
    img.setDevicePixelRatio(ratio);
    setIconSize(QSize(w, h));
    setIcon(QIcon(QPixmap::fromImage(img)));
}

void TKpBitBtn::SetChecked(bool AValue)
{
    if (AValue == FChecked)
        return;
    FChecked = AValue;
    if (isCheckable())
        setChecked(AValue);
    update();
}

void TKpBitBtn::SetTogglable(bool AValue)
{
    if (AValue == FTogglable)
        return;
    FTogglable = AValue;
    setCheckable(AValue);
    if (AValue)
        setChecked(FChecked);
    update();
}

void TKpBitBtn::SetDrawFocus(bool AValue)
{
    if (AValue == FDrawFocus)
        return;
    FDrawFocus = AValue;
    update();
}

void TKpBitBtn::nextCheckState()
{
    // Called by every click, before the click is reported.
    if (FTogglable)
        SetChecked(!FChecked);
}

void TKpBitBtn::SetScale(double AValue)
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
    RescaleButtonScaleFactor(&FScaleFactor, FScale, AValue);
    FScale = AValue;
    UpdateIcon();
}

void TKpBitBtn::Assign(const TKpBitBtn& ASource)
{
    if (&ASource == this)
        return;
    setText(ASource.text());
    setToolTip(ASource.toolTip());
    setEnabled(ASource.isEnabled());
    setGeometry(ASource.geometry());
    SetImageName(ASource.ImageName());
    if (ASource.ImageName().isEmpty())
        SetGlyph(ASource.Glyph());
    SetTogglable(ASource.Togglable());
    SetChecked(ASource.Checked());
}

void TKpBitBtn::paintEvent(QPaintEvent* AEvent)
{
    if (!(FTogglable && FChecked)) {
        QPushButton::paintEvent(AEvent);
        return;
    }
    // The checked look: the face drawn pressed, its inside made white and framed sunken.
    const qreal ratio = devicePixelRatioF();
    QImage img(QSize(RoundHalfEven(width() * ratio), RoundHalfEven(height() * ratio)), QImage::Format_ARGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(palette().color(backgroundRole()));
    {
        QPainter p(&img);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        opt.state |= QStyle::State_On | QStyle::State_Sunken;
        // Drawn without the image and text first, so the white fill cannot run into them.
        QStyleOptionButton bevel = opt;
        bevel.text.clear();
        bevel.icon = QIcon();
        style()->drawControl(QStyle::CE_PushButtonBevel, &bevel, &p, this);
        p.end();
        FloodFill(img, QPoint(RoundHalfEven(3 * ratio), RoundHalfEven(3 * ratio)), qRgb(255, 255, 255));
        p.begin(&img);
        QRect r = rect();
        if (hasFocus() || isDefault())
            r.adjust(1, 1, -1, -1);
        r.adjust(0, 0, -1, -1);
        const QColor dark = palette().color(QPalette::Shadow);
        SunkenFrame(p, r, dark);
        SunkenFrame(p, r.adjusted(1, 1, -1, -1), dark);
        style()->drawControl(QStyle::CE_PushButtonLabel, &opt, &p, this);
    }
    QPainter w(this);
    w.drawImage(QPoint(0, 0), img);
}

void TKpBitBtn::enterEvent(QEnterEvent* AEvent)
{
    QPushButton::enterEvent(AEvent);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TKpBitBtn::leaveEvent(QEvent* AEvent)
{
    QPushButton::leaveEvent(AEvent);
    if (OnMouseLeave)
        OnMouseLeave(this);
}
