#include "controls/KpSmartGlyph.h"

#include "controls/EImageError.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

TKpSmartGlyph::TKpSmartGlyph() = default;
TKpSmartGlyph::~TKpSmartGlyph() = default;

void TKpSmartGlyph::LoadFromData(const QByteArray& AData, TImageType AType)
{
    if (AType == TImageType::itSVG) {
        auto renderer = std::make_unique<QSvgRenderer>(AData);
        const QSize size = renderer->defaultSize();
        if (!renderer->isValid() || size.isEmpty())
            throw EImageError(QStringLiteral("Invalid SVG image"));
        Clear();
        FType = TImageType::itSVG;
        FSvgData = AData;
        FSvg = std::move(renderer);
        FSourceWidth = size.width();
        FSourceHeight = size.height();
        return;
    }
    QBuffer buffer;
    buffer.setData(AData);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, AType == TImageType::itPNG ? "png" : "bmp");
    QImage image = reader.read();
    if (image.isNull())
        throw EImageError(QStringLiteral("Invalid %1 image: %2")
                              .arg(AType == TImageType::itPNG ? QStringLiteral("PNG") : QStringLiteral("bitmap"),
                                   reader.errorString()));
    SetBitmap(image);
    FType = AType;
}

void TKpSmartGlyph::SetBitmap(const QImage& AImage)
{
    Clear();
    FType = TImageType::itBitmap;
    FBitmap = AImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    FSourceWidth = FBitmap.width();
    FSourceHeight = FBitmap.height();
}

void TKpSmartGlyph::Clear()
{
    FType = TImageType::itNone;
    FSvg.reset();
    FSvgData.clear();
    FBitmap = QImage();
    FSourceWidth = 0;
    FSourceHeight = 0;
}

bool TKpSmartGlyph::IsEmpty() const
{
    return FType == TImageType::itNone;
}

void TKpSmartGlyph::SetSourceSize(int AWidth, int AHeight)
{
    FSourceWidth = AWidth;
    FSourceHeight = AHeight;
}

void TKpSmartGlyph::ResampleToSourceSize()
{
    if (FSvg || FBitmap.isNull() || FSourceWidth <= 0 || FSourceHeight <= 0)
        return;
    if (FBitmap.width() != FSourceWidth || FBitmap.height() != FSourceHeight)
        FBitmap = FBitmap.scaled(FSourceWidth, FSourceHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void TKpSmartGlyph::Paint(QPainter& APainter, const QRectF& ATarget) const
{
    if (FSvg) {
        FSvg->render(&APainter, ATarget);
    } else if (!FBitmap.isNull()) {
        if (ATarget.size() == QSizeF(FBitmap.size()))
            APainter.drawImage(ATarget.topLeft(), FBitmap);
        else {
            APainter.save();
            APainter.setRenderHint(QPainter::SmoothPixmapTransform);
            APainter.drawImage(ATarget, FBitmap);
            APainter.restore();
        }
    }
}

QImage TKpSmartGlyph::ToImage() const
{
    if (!FSvg && !FBitmap.isNull() && FBitmap.width() == FSourceWidth && FBitmap.height() == FSourceHeight)
        return FBitmap;
    if (FSourceWidth <= 0 || FSourceHeight <= 0)
        return {};
    QImage image(FSourceWidth, FSourceHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Paint(painter, QRectF(0, 0, FSourceWidth, FSourceHeight));
    painter.end();
    return image;
}
