#pragma once

#include "controls/ImageNames.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

class QPainter;
class QWidget;

// An image list whose content is a list of image names. Each name is looked up and
// rendered at the list's size and resolution through the shared glyph cache, so the
// list can be rebuilt at any resolution or scale; only the names need to be kept.
class TKpImageList {
public:
    // 16 x 16 at 96 dpi, scale 1.0, no names.
    TKpImageList();
    TKpImageList(int AWidth, int AHeight);
    virtual ~TKpImageList();
    TKpImageList(const TKpImageList&) = delete;
    TKpImageList& operator=(const TKpImageList&) = delete;

    TImageNames& ImageNames() { return FImageNames; }
    const TImageNames& ImageNames() const { return FImageNames; }
    // Adds an item and names it (which loads its image); returns the item.
    TImageNamesItem* AddImageName(const QString& AImageName);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The resolution the images are rendered for.
    int SourceDPI() const { return FSourceDPI; }
    int CurrentPPI() const { return FCurrentPPI; }
    double Scale() const { return FScale; }
    // Rebuilds the list for the current resolution and the new scale.
    void SetScale(double AValue);
    // Rebuilds the list for a new monitor resolution at the current scale.
    void ScaleForPPI(int ANewPPI);

    // Number of images held (items without an image hold none).
    int Count() const { return static_cast<int>(FImages.size()); }
    const QImage& Image(int AImageIndex) const;

    // Image index of the first item whose name equals AImageName exactly (names are
    // held in upper case); -1 when none.
    virtual int IndexOf(const QString& AImageName);

    // Draws image AImageIndex at its own size with its top-left at (AX, AY), greyed when
    // not enabled; an index without an image draws nothing.
    void Draw(QPainter& ACanvas, int AX, int AY, int AImageIndex, bool AEnabled = true) const;
    // The image IndexOf(AImageName) at its own size at (AX, AY).
    void DrawByName(QPainter& ACanvas, int AX, int AY, const QString& AImageName, bool AEnabled = true);
    // The named image rendered for the rectangle (its resolution follows from the
    // rectangle's width against the list's width).
    void DrawByName(QPainter& ACanvas, const QRect& AR, const QString& AImageName, bool AEnabled = true);
    // DrawByName with the name at position AImageIdx of the names; a position outside
    // the names draws nothing.
    void DrawByIdx(QPainter& ACanvas, const QRect& AR, int AImageIdx, bool AEnabled = true);

    // Streaming in: while loading, naming an item does not load its image; Loaded then
    // loads every name afresh, in order.
    void BeginLoading() { FLoading = true; }
    bool IsLoading() const { return FLoading; }
    void Loaded();
    // Streaming out: drops every image and returns only the names.
    QStringList WriteState();

    // White (or another colour) shown as transparent; invalid for none.
    void SetMaskColor(const QColor& AColor) { FMaskColor = AColor; }

    // Loads (or reloads) the image of an item.
    void LoadImage(TImageNamesItem& AItem);

protected:
    void Rescale(int APPI, double AScale);

private:
    friend class TImageNames;
    // Removes the image of an item that is going away; later images move down.
    void ItemDestroying(TImageNamesItem& AItem);
    void ClearImages();
    void ReloadAll();

    TImageNames FImageNames;
    std::vector<QImage> FImages;
    int FWidth;
    int FHeight;
    int FSourceDPI = 96;
    int FCurrentPPI = 96;
    double FScale = 1.0;
    bool FLoading = false;
    QColor FMaskColor;
};

// Where a list image of ALists's size lands in the cell AR at a resolution and scale:
// centred on the cell's centre point.
QRect CalcScaledImageRect(int APPI, const TKpImageList& AList, const QRect& AR, double AScale);
// The same for the resolution and scale of the control drawn into (96 and 1.0 without a
// control; 1.0 when the control has no scale of its own).
QRect CalcCellImageRect(const QWidget* AControl, const TKpImageList& AList, const QRect& AR);

// A push button's scale factor as a fraction of 96.
struct TScaleFactor {
    int Numerator = 1;
    int Denominator = 1;
};
// Rescales a button's scale factor from AOldScale to ANewScale; false (nothing done)
// when there is no factor or the scales are equal.
bool RescaleButtonScaleFactor(TScaleFactor* AFactor, double AOldScale, double ANewScale);
