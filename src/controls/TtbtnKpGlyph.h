#pragma once

#include "controls/ButtonTypes.h"
#include "controls/KpSmartGlyph.h"
#include "controls/TcxGlyphList.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class QPainter;

// Where a button's image and caption go inside its content rectangle.
struct TGlyphLayout {
    QPoint GlyphPos;
    QRect TextRect;
    int Margin = 0;
    int Spacing = 0;
};

// A tool button's image: the image by name (or a bitmap), its slices per state and the
// images prepared for painting at the current size.
class TtbtnKpGlyph {
public:
    TtbtnKpGlyph();
    virtual ~TtbtnKpGlyph();
    TtbtnKpGlyph(const TtbtnKpGlyph&) = delete;
    TtbtnKpGlyph& operator=(const TtbtnKpGlyph&) = delete;

    TKpSmartGlyph& SmartGlyph() { return FSmartGlyph; }
    const TKpSmartGlyph& SmartGlyph() const { return FSmartGlyph; }
    // The own image, or else the image of the button's action.
    bool HasImage() const { return !FSmartGlyph.IsEmpty() || !FActionIcon.isNull(); }
    // The action's image, shown at AImageSize (96 dpi) when there is no own image.
    void SetActionImage(const QIcon& AIcon, const QSize& AImageSize);
    int NumGlyphs() const { return FNumGlyphs; }
    // Clamped to 1..4.
    void SetNumGlyphs(int AValue);

    // The image changed: forgets the prepared images and tells the owner.
    void Changed();
    // Forgets the prepared images only (after a change of size).
    void ClearPrepared();
    std::function<void()> OnChange;

    // One slice at 96 dpi, scaled by AFactor; empty without an image.
    QSize GlyphSize(double AFactor) const;
    // The slot a state's image comes from.
    int SlotOf(TcxButtonState AState) const;
    // The image of the state at size AG, prepared on first use.
    const QImage* PreparedImage(TcxButtonState AState, const QSize& AG);
    const TcxGlyphList* GlyphList() const { return FGlyphList.get(); }

    // The text margins (left, top, right, bottom) around the caption.
    static QMargins TextMargins(bool AImageShown);
    // Lays out an image of size AG and a caption whose measured size with its margins is
    // AT inside AClient; AOffset moves the content (pressed look).
    static TGlyphLayout CalcGlyphLayout(const QRect& AClient, const QPoint& AOffset, const QSize& AG,
                                        const QSize& AT, const QMargins& ATextMargins,
                                        TButtonLayout ALayout, int AMargin, int ASpacing,
                                        bool ARightToLeft);
    // The caption's measured size with its text margins.
    static QSize MeasureCaption(const QString& ACaption, const QFont& AFont, bool AImageShown);

    // Lays out and draws image and caption.
    void Draw(QPainter& ACanvas, const QRect& AClient, const QPoint& AOffset, const QString& ACaption,
              TButtonLayout ALayout, int AMargin, int ASpacing, TcxButtonState AState,
              bool ARightToLeft, const QFont& AFont, const QColor& ATextColor,
              const QColor& AHighlight, double AFactor);

private:
    QImage RenderSlot(int ASlot, const QSize& AG) const;

    TKpSmartGlyph FSmartGlyph;
    QIcon FActionIcon;
    QSize FActionImageSize { 16, 16 };
    int FNumGlyphs = 1;
    std::unique_ptr<TcxGlyphList> FGlyphList;
    std::array<int, 4> FIndexs { -1, -1, -1, -1 };
};
