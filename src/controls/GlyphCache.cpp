#include "controls/GlyphCache.h"

#include "base/Perf.h"
#include "controls/ControlsMath.h"
#include "controls/LRUCache.h"
#include "controls/ResourceUtils.h"

#include <QPainter>
#include <atomic>

namespace {

std::atomic<std::shared_ptr<TGlyphCache>>& GlyphCacheVariable()
{
    static std::atomic<std::shared_ptr<TGlyphCache>> variable;
    return variable;
}

} // namespace

QString GlyphCacheKey(const QString& AName, int AWidth, int AHeight, int ADPI, bool ARender)
{
    QString key = AName + QLatin1Char(':') + QString::number(AWidth) + QLatin1Char(':') + QString::number(AHeight)
                  + QLatin1Char(':') + QString::number(ADPI);
    if (ARender)
        key += QLatin1String(":R");
    return key;
}

std::shared_ptr<TGlyphCache> GlyphCache()
{
    return MakeCache<QString, TGlyphPtr>(GlyphCacheVariable(), GlyphCacheCapacity);
}

bool GlyphCacheExists()
{
    return GlyphCacheVariable().load() != nullptr;
}

void FreeGlyphCache()
{
    GlyphCacheVariable().store(nullptr);
}

TGlyphPtr CreateScaledGlyph(const QString& AName, int AWidth, int AHeight, int ADPI, bool ARender)
{
    TPerfSimple perf;
    StartPerf(perf);
    auto glyph = std::make_unique<TKpSmartGlyph>();
    ResourceUtils::LoadGlyph(*glyph, AName);
    if (ADPI > 0 && ADPI != glyph->SourceDPI()) {
        const int sourceDPI = glyph->SourceDPI();
        glyph->SetSourceSize(MulDiv(glyph->SourceWidth(), ADPI, sourceDPI),
                             MulDiv(glyph->SourceHeight(), ADPI, sourceDPI));
        glyph->SetSourceDPI(ADPI);
        glyph->ResampleToSourceSize();
    }
    if (AWidth <= 0 || AHeight <= 0)
        return glyph;
    if (ARender || glyph->SourceWidth() != AWidth || glyph->SourceHeight() != AHeight) {
        QImage bitmap(AWidth, AHeight, QImage::Format_ARGB32_Premultiplied);
        bitmap.fill(Qt::transparent);
        int iw = glyph->SourceWidth();
        int ih = glyph->SourceHeight();
        if (iw > 0 && ih > 0) {
            // Shrink to fit with the proportions kept; a smaller image is not enlarged.
            if (AWidth < iw || AHeight < ih) {
                if (static_cast<double>(AWidth) / iw > static_cast<double>(AHeight) / ih) {
                    iw = RoundHalfEven(static_cast<double>(iw) * AHeight / ih);
                    ih = AHeight;
                } else {
                    ih = RoundHalfEven(static_cast<double>(ih) * AWidth / iw);
                    iw = AWidth;
                }
            }
            QPainter painter(&bitmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            glyph->Paint(painter, QRectF(AWidth / 2 - iw / 2, AHeight / 2 - ih / 2, iw, ih));
        }
        const int dpi = glyph->SourceDPI();
        glyph->SetBitmap(bitmap);
        glyph->SetSourceDPI(dpi);
    }
    return glyph;
}

TGlyphPtr AcquireGlyph(const QString& AName, int AWidth, int AHeight, int ADPI, bool ARender)
{
    std::shared_ptr<TGlyphCache> cache = GlyphCache();
    TGlyphPtr glyph;
    if (cache->TryExtractValue(GlyphCacheKey(AName, AWidth, AHeight, ADPI, ARender), glyph) && glyph)
        return glyph;
    return CreateScaledGlyph(AName, AWidth, AHeight, ADPI, ARender);
}

void ReleaseGlyph(const QString& AName, bool ARender, TGlyphPtr& AGlyph)
{
    if (!AGlyph)
        return;
    std::shared_ptr<TGlyphCache> cache = GlyphCacheVariable().load();
    if (!cache) {
        AGlyph.reset();
        return;
    }
    const QString key = GlyphCacheKey(AName, AGlyph->SourceWidth(), AGlyph->SourceHeight(), AGlyph->SourceDPI(), ARender);
    cache->AddOrSetValue(key, std::move(AGlyph));
    AGlyph.reset();
}
