#pragma once

#include "controls/ImageType.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <memory>

class QPainter;
class QSvgRenderer;

// An image that keeps its source form: an SVG stays a vector drawing until it is
// painted, a raster image stays a bitmap. The source size and resolution say at what
// size the image is meant to be shown; painting scales to the target rectangle.
class TKpSmartGlyph {
public:
    TKpSmartGlyph();
    ~TKpSmartGlyph();
    TKpSmartGlyph(const TKpSmartGlyph&) = delete;
    TKpSmartGlyph& operator=(const TKpSmartGlyph&) = delete;

    // Loads SVG or PNG data. Throws EImageDecodeError when the data cannot be decoded.
    void LoadFromData(const QByteArray& AData, TImageType AType);
    // Takes a raster image; its size becomes the source size.
    void SetBitmap(const QImage& AImage);
    void Clear();

    bool IsEmpty() const;
    TImageType ImageType() const { return FType; }
    bool IsVector() const { return FType == TImageType::itSVG; }

    int SourceWidth() const { return FSourceWidth; }
    int SourceHeight() const { return FSourceHeight; }
    void SetSourceSize(int AWidth, int AHeight);
    int SourceDPI() const { return FSourceDPI; }
    void SetSourceDPI(int ADPI) { FSourceDPI = ADPI; }

    // Rescales a raster image to the source size (vector images need nothing).
    void ResampleToSourceSize();
    // Paints the image stretched into ATarget.
    void Paint(QPainter& APainter, const QRectF& ATarget) const;
    // The image rendered at its source size (transparent where the image is).
    QImage ToImage() const;

private:
    TImageType FType = TImageType::itNone;
    QByteArray FSvgData;
    std::unique_ptr<QSvgRenderer> FSvg;
    QImage FBitmap;
    int FSourceWidth = 0;
    int FSourceHeight = 0;
    int FSourceDPI = 96;
};
