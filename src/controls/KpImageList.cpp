#include "controls/KpImageList.h"

#include "base/IScalableComponent.h"
#include "base/Perf.h"
#include "controls/AcquiredGlyph.h"
#include "controls/ControlsMath.h"
#include "platform/rtl/EListError.h"
#include "platform/rtl/ERangeError.h"
#include "platform/ui/UiServices.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// A greyed copy for disabled drawing: grey levels, half transparent.
QImage DisabledImage(const QImage& AImage)
{
    QImage image = AImage.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int grey = qGray(p);
            const int light = grey + (255 - grey) / 3;
            line[x] = qRgba(light, light, light, qAlpha(p) / 2);
        }
    }
    return image;
}

void DrawImage(QPainter& ACanvas, const QPoint& APos, const QImage& AImage, bool AEnabled)
{
    if (AImage.isNull())
        return;
    ACanvas.drawImage(APos, AEnabled ? AImage : DisabledImage(AImage));
}

} // namespace

TKpImageList::TKpImageList() : TKpImageList(16, 16) {}

TKpImageList::TKpImageList(int AWidth, int AHeight) : FImageNames(this), FWidth(AWidth), FHeight(AHeight) {}

TKpImageList::~TKpImageList()
{
    // The names go first; they must not touch the images while going.
    FLoading = true;
    FImages.clear();
}

TImageNamesItem* TKpImageList::AddImageName(const QString& AImageName)
{
    TImageNamesItem* item = FImageNames.Add();
    item->SetImageName(AImageName);
    return item;
}

void TKpImageList::SetScale(double AValue)
{
    TPerfSimple perf;
    StartPerf(perf);
    Rescale(FCurrentPPI, AValue);
}

void TKpImageList::ScaleForPPI(int ANewPPI)
{
    TPerfSimple perf;
    StartPerf(perf);
    Rescale(ANewPPI, FScale);
}

void TKpImageList::Rescale(int APPI, double AScale)
{
    TPerfSimple perf;
    StartPerf(perf);
    if (APPI <= 0 || !(AScale > 0.0) || !std::isfinite(AScale))
        throw ERangeError(QStringLiteral("Image list scale out of range"));
    const int side = std::max(FWidth, FHeight);
    if (RoundHalfEven(FCurrentPPI * FScale * side) == RoundHalfEven(APPI * AScale * side))
        return;
    const int newHeight = RoundHalfEven(APPI * (AScale * FHeight / FScale) / FCurrentPPI);
    const int newWidth = RoundHalfEven(APPI * (AScale * FWidth / FScale) / FCurrentPPI);
    FWidth = newWidth;
    FHeight = newHeight;
    FImages.clear();
    FCurrentPPI = APPI;
    FScale = AScale;
    FSourceDPI = RoundHalfEven(APPI * AScale);
    for (int i = 0; i < FImageNames.Count(); ++i) {
        TImageNamesItem* item = FImageNames.Items(i);
        item->FImageIndex = -1;
        if (!FLoading)
            LoadImage(*item);
    }
}

const QImage& TKpImageList::Image(int AImageIndex) const
{
    if (AImageIndex < 0 || AImageIndex >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(AImageIndex));
    return FImages[static_cast<size_t>(AImageIndex)];
}

int TKpImageList::IndexOf(const QString& AImageName)
{
    for (int i = 0; i < FImageNames.Count(); ++i) {
        const TImageNamesItem* item = FImageNames.Items(i);
        if (item->ImageName() == AImageName)
            return item->ImageIndex();
    }
    return -1;
}

void TKpImageList::LoadImage(TImageNamesItem& AItem)
{
    TPerfSimple perf;
    StartPerf(perf);
    TAcquiredGlyph glyph(AItem.ImageName(), FWidth, FHeight, FSourceDPI, true);
    QImage image = glyph->ToImage();
    if (FMaskColor.isValid()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb mask = FMaskColor.rgb() & RGB_MASK;
        for (int y = 0; y < image.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(line[x]) == 255 && (line[x] & RGB_MASK) == mask)
                    line[x] = 0;
            }
        }
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    if (AItem.FImageIndex < 0 || AItem.FImageIndex >= Count()) {
        FImages.push_back(image);
        AItem.FImageIndex = Count() - 1;
    } else {
        FImages[static_cast<size_t>(AItem.FImageIndex)] = image;
    }
}

void TKpImageList::ItemDestroying(TImageNamesItem& AItem)
{
    const int index = AItem.FImageIndex;
    if (index < 0 || index >= Count())
        return;
    for (int i = 0; i < FImageNames.Count(); ++i) {
        TImageNamesItem* other = FImageNames.Items(i);
        if (other != &AItem && other->FImageIndex > index)
            --other->FImageIndex;
    }
    FImages.erase(FImages.begin() + index);
    AItem.FImageIndex = -1;
}

void TKpImageList::ClearImages()
{
    FImages.clear();
    for (int i = 0; i < FImageNames.Count(); ++i)
        FImageNames.Items(i)->FImageIndex = -1;
}

void TKpImageList::ReloadAll()
{
    ClearImages();
    for (int i = 0; i < FImageNames.Count(); ++i)
        LoadImage(*FImageNames.Items(i));
}

void TKpImageList::Loaded()
{
    TPerfSimple perf;
    StartPerf(perf);
    FLoading = false;
    ReloadAll();
}

QStringList TKpImageList::WriteState()
{
    ClearImages();
    QStringList names;
    for (int i = 0; i < FImageNames.Count(); ++i)
        names << FImageNames.Items(i)->ImageName();
    return names;
}

void TKpImageList::Draw(QPainter& ACanvas, int AX, int AY, int AImageIndex, bool AEnabled) const
{
    if (AImageIndex < 0 || AImageIndex >= Count())
        return;
    DrawImage(ACanvas, QPoint(AX, AY), FImages[static_cast<size_t>(AImageIndex)], AEnabled);
}

void TKpImageList::DrawByName(QPainter& ACanvas, int AX, int AY, const QString& AImageName, bool AEnabled)
{
    Draw(ACanvas, AX, AY, IndexOf(AImageName), AEnabled);
}

void TKpImageList::DrawByName(QPainter& ACanvas, const QRect& AR, const QString& AImageName, bool AEnabled)
{
    if (AR.width() <= 0 || AR.height() <= 0 || FWidth <= 0)
        return;
    const int dpi = RoundHalfEven(static_cast<double>(AR.width()) / FWidth * FSourceDPI);
    TAcquiredGlyph glyph(AImageName, AR.width(), AR.height(), dpi, true);
    DrawImage(ACanvas, AR.topLeft(), glyph->ToImage(), AEnabled);
}

void TKpImageList::DrawByIdx(QPainter& ACanvas, const QRect& AR, int AImageIdx, bool AEnabled)
{
    if (AImageIdx < 0 || AImageIdx >= FImageNames.Count())
        return;
    DrawByName(ACanvas, AR, FImageNames.Items(AImageIdx)->ImageName(), AEnabled);
}

QRect CalcScaledImageRect(int APPI, const TKpImageList& AList, const QRect& AR, double AScale)
{
    const int sourceDPI = AList.SourceDPI() > 0 ? AList.SourceDPI() : 96;
    const int w = RoundHalfEven(static_cast<double>(APPI) * AList.Width() * AScale / sourceDPI);
    const int h = RoundHalfEven(AScale * APPI * AList.Height() / sourceDPI);
    // Edges as a half-open rectangle: right = left + width.
    const int centreX = (AR.left() + AR.left() + AR.width()) / 2;
    const int centreY = (AR.top() + AR.top() + AR.height()) / 2;
    return QRect(centreX - w / 2, centreY - h / 2, w, h);
}

QRect CalcCellImageRect(const QWidget* AControl, const TKpImageList& AList, const QRect& AR)
{
    const double scale = IScalableComponent::ScaleOf(AControl);
    const int ppi = AControl ? UiServices::PixelsPerInch(AControl) : 96;
    return CalcScaledImageRect(ppi, AList, AR, scale);
}

bool RescaleButtonScaleFactor(TScaleFactor* AFactor, double AOldScale, double ANewScale)
{
    if (!AFactor || AOldScale == ANewScale)
        return false;
    int numerator = AFactor->Numerator;
    int denominator = AFactor->Denominator;
    const int divisor = std::gcd(numerator, denominator);
    if (divisor > 1) {
        numerator /= divisor;
        denominator /= divisor;
    }
    const int newNumerator =
        RoundHalfEven(ANewScale * (static_cast<double>(numerator) * 96) / (AOldScale * denominator));
    AFactor->Numerator = newNumerator;
    AFactor->Denominator = 96;
    return true;
}
