#include "controls/TtbtnKpGlyph.h"

#include "controls/ControlsMath.h"
#include "platform/rtl/EIntOverflow.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <limits>

namespace {

// Layout sums are checked: a wrapped position would paint somewhere absurd.
int Add(qint64 a, qint64 b)
{
    const qint64 r = a + b;
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        throw EIntOverflow(QStringLiteral("Integer overflow"));
    return static_cast<int>(r);
}
int Sub(qint64 a, qint64 b) { return Add(a, -b); }

QImage Greyed(const QImage& AImage)
{
    QImage img = AImage.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int g = qGray(line[x]);
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
    }
    return img;
}

} // namespace

TtbtnKpGlyph::TtbtnKpGlyph() = default;
TtbtnKpGlyph::~TtbtnKpGlyph() = default;

void TtbtnKpGlyph::SetNumGlyphs(int AValue)
{
    AValue = std::clamp(AValue, 1, 4);
    if (AValue == FNumGlyphs)
        return;
    FNumGlyphs = AValue;
    Changed();
}

void TtbtnKpGlyph::ClearPrepared()
{
    FIndexs.fill(-1);
    FGlyphList.reset();
}

void TtbtnKpGlyph::Changed()
{
    ClearPrepared();
    if (OnChange)
        OnChange();
}

void TtbtnKpGlyph::SetActionImage(const QIcon& AIcon, const QSize& AImageSize)
{
    FActionIcon = AIcon;
    FActionImageSize = AImageSize;
    ClearPrepared();
}

QSize TtbtnKpGlyph::GlyphSize(double AFactor) const
{
    if (!HasImage())
        return {};
    if (FSmartGlyph.IsEmpty())
        return { RoundHalfEven(FActionImageSize.width() * AFactor), RoundHalfEven(FActionImageSize.height() * AFactor) };
    const int dpi = FSmartGlyph.SourceDPI() > 0 ? FSmartGlyph.SourceDPI() : 96;
    const int w = MulDiv(FSmartGlyph.SourceWidth() / FNumGlyphs, 96, dpi);
    const int h = MulDiv(FSmartGlyph.SourceHeight(), 96, dpi);
    return { RoundHalfEven(w * AFactor), RoundHalfEven(h * AFactor) };
}

int TtbtnKpGlyph::SlotOf(TcxButtonState AState) const
{
    switch (AState) {
    case TcxButtonState::cxbsDisabled: return 1;
    case TcxButtonState::cxbsPressed: return FNumGlyphs < 3 ? 0 : 2;
    default: return 0;
    }
}

QImage TtbtnKpGlyph::RenderSlot(int ASlot, const QSize& AG) const
{
    // The own image takes precedence over the action's.
    if (FSmartGlyph.IsEmpty()) {
        const QIcon::Mode mode = ASlot == 1 ? QIcon::Disabled : QIcon::Normal;
        QImage img(AG, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        FActionIcon.paint(&p, QRect(QPoint(0, 0), AG), Qt::AlignCenter, mode);
        return img;
    }
    QImage img(AG, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (FNumGlyphs == 1) {
            FSmartGlyph.Paint(p, QRectF(0, 0, AG.width(), AG.height()));
        } else {
            const int k = ASlot < FNumGlyphs ? ASlot : 0;
            const QImage whole = FSmartGlyph.ToImage();
            const int sliceW = whole.width() / FNumGlyphs;
            p.drawImage(QRect(QPoint(0, 0), AG), whole, QRect(k * sliceW, 0, sliceW, whole.height()));
        }
    }
    if (FNumGlyphs == 1 && ASlot == 1)
        return Greyed(img);
    return img;
}

const QImage* TtbtnKpGlyph::PreparedImage(TcxButtonState AState, const QSize& AG)
{
    if (!HasImage() || AG.isEmpty())
        return nullptr;
    const int slot = SlotOf(AState);
    if (FIndexs[static_cast<size_t>(slot)] < 0) {
        if (!FGlyphList)
            FGlyphList = std::make_unique<TcxGlyphList>(AG.width(), AG.height());
        FIndexs[static_cast<size_t>(slot)] = FGlyphList->Add(RenderSlot(slot, AG));
    }
    return FGlyphList->Image(FIndexs[static_cast<size_t>(slot)]);
}

QMargins TtbtnKpGlyph::TextMargins(bool AImageShown)
{
    return AImageShown ? QMargins(0, 0, 0, 0) : QMargins(1, 0, 2, 0);
}

QSize TtbtnKpGlyph::MeasureCaption(const QString& ACaption, const QFont& AFont, bool AImageShown)
{
    if (ACaption.isEmpty())
        return {};
    const QMargins m = TextMargins(AImageShown);
    const QSize s = QFontMetrics(AFont).size(Qt::TextShowMnemonic | Qt::TextSingleLine, ACaption);
    return { s.width() + m.left() + m.right(), s.height() + m.top() + m.bottom() };
}

TGlyphLayout TtbtnKpGlyph::CalcGlyphLayout(const QRect& AClient, const QPoint& AOffset, const QSize& AG,
                                           const QSize& AT, const QMargins& ATextMargins,
                                           TButtonLayout ALayout, int AMargin, int ASpacing,
                                           bool ARightToLeft)
{
    if (ARightToLeft) {
        if (ALayout == TButtonLayout::blGlyphLeft)
            ALayout = TButtonLayout::blGlyphRight;
        else if (ALayout == TButtonLayout::blGlyphRight)
            ALayout = TButtonLayout::blGlyphLeft;
    }
    const int W = AClient.width();
    const int H = AClient.height();
    const bool horizontal = ALayout == TButtonLayout::blGlyphLeft || ALayout == TButtonLayout::blGlyphRight;
    const int c = horizontal ? W : H;
    const int g = horizontal ? AG.width() : AG.height();
    const int t = horizontal ? AT.width() : AT.height();

    int margin = AMargin;
    int spacing = ASpacing;
    if (AT.width() == 0 || AG.width() == 0)
        spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = Sub(c, Add(g, t)) / 3;
            spacing = margin;
        } else {
            margin = Sub(c, Add(Add(g, spacing), t)) / 2;
        }
    } else if (spacing == -1) {
        spacing = Sub(Sub(c, Add(margin, g)), t) / 2;
    }

    const QPoint origin = AClient.topLeft() + AOffset;
    QPoint p;
    switch (ALayout) {
    case TButtonLayout::blGlyphLeft: p = { margin, Sub(H, AG.height()) / 2 }; break;
    case TButtonLayout::blGlyphRight: p = { Sub(Sub(W, margin), AG.width()), Sub(H, AG.height()) / 2 }; break;
    case TButtonLayout::blGlyphTop: p = { Sub(W, AG.width()) / 2, margin }; break;
    case TButtonLayout::blGlyphBottom: p = { Sub(W, AG.width()) / 2, Sub(Sub(H, margin), AG.height()) }; break;
    }
    p = QPoint(Add(p.x(), origin.x()), Add(p.y(), origin.y()));

    int dx = 0;
    int dy = 0;
    switch (ALayout) {
    case TButtonLayout::blGlyphLeft:
        dx = Add(Add(p.x(), AG.width()), spacing);
        dy = Add(origin.y(), Sub(Sub(H, AT.height()), 1) / 2);
        break;
    case TButtonLayout::blGlyphRight:
        dx = Sub(Sub(p.x(), spacing), AT.width());
        dy = Add(origin.y(), Sub(Sub(H, AT.height()), 1) / 2);
        break;
    case TButtonLayout::blGlyphTop:
        dx = Add(origin.x(), Sub(W, AT.width()) / 2);
        dy = Add(Add(p.y(), AG.height()), spacing);
        break;
    case TButtonLayout::blGlyphBottom:
        dx = Add(origin.x(), Sub(W, AT.width()) / 2);
        dy = Sub(Sub(p.y(), spacing), AT.height());
        break;
    }
    TGlyphLayout r;
    r.GlyphPos = p;
    r.TextRect = QRect(dx + ATextMargins.left(), dy + ATextMargins.top(),
                       AT.width() - ATextMargins.left() - ATextMargins.right(),
                       AT.height() - ATextMargins.top() - ATextMargins.bottom());
    r.Margin = margin;
    r.Spacing = spacing;
    return r;
}

void TtbtnKpGlyph::Draw(QPainter& ACanvas, const QRect& AClient, const QPoint& AOffset,
                        const QString& ACaption, TButtonLayout ALayout, int AMargin, int ASpacing,
                        TcxButtonState AState, bool ARightToLeft, const QFont& AFont,
                        const QColor& ATextColor, const QColor& AHighlight, double AFactor)
{
    const QSize g = GlyphSize(AFactor);
    const bool imageShown = !g.isEmpty();
    const QSize t = MeasureCaption(ACaption, AFont, imageShown);
    const TGlyphLayout layout = CalcGlyphLayout(AClient, AOffset, g, t, TextMargins(imageShown),
                                                ALayout, AMargin, ASpacing, ARightToLeft);
    if (const QImage* img = PreparedImage(AState, g))
        ACanvas.drawImage(layout.GlyphPos, *img);
    if (ACaption.isEmpty())
        return;
    ACanvas.save();
    ACanvas.setFont(AFont);
    const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine | Qt::AlignLeft | Qt::AlignTop;
    if (AState == TcxButtonState::cxbsDisabled) {
        ACanvas.setPen(AHighlight);
        ACanvas.drawText(layout.TextRect.translated(1, 1), flags, ACaption);
    }
    ACanvas.setPen(ATextColor);
    ACanvas.drawText(layout.TextRect, flags, ACaption);
    ACanvas.restore();
}
