#include "controls/TComponentsList.h"

#include "controls/TKpBtnPnl.h"

#include <algorithm>

bool TComponentsList::IsLeftGroup() const
{
    return &FPanel->LeftControls() == this;
}

void TComponentsList::Insert(QWidget* AControl)
{
    if (Contains(AControl))
        return;
    const int border = FPanel->BorderStepPixels();
    for (int i = 0; i < Count(); ++i) {
        QWidget* m = FItems.at(i);
        if (FPanel->PosAcross(AControl) < FPanel->PosAcross(m) + FPanel->ThicknessOf(m) + border
            && FPanel->PosAlong(AControl) < FPanel->PosAlong(m)) {
            FItems.insert(i, AControl);
            return;
        }
    }
    FItems.append(AControl);
}

bool TComponentsList::BelongsInLeft(QWidget* AControl) const
{
    if (FPanel->RightControls().Count() == 0)
        return true;
    for (QWidget* m : FItems) {
        if (m->isHidden())
            continue;
        if (FPanel->Wrapped()) {
            if (FPanel->PosAcross(m) + FPanel->ThicknessOf(m) >= FPanel->PosAcross(AControl))
                return true;
        } else if (FPanel->PosAlong(m) + FPanel->LengthOf(m) >= FPanel->PosAlong(AControl)) {
            return true;
        }
    }
    return false;
}

bool TComponentsList::BelongsInRight(QWidget* AControl) const
{
    if (FItems.isEmpty())
        return false;
    if (FPanel->Wrapped()) {
        QWidget* first = FItems.first();
        const int c = (FPanel->PosAcross(AControl) + FPanel->ThicknessOf(AControl) / 2) | 1;
        const int f = (FPanel->PosAcross(first) + FPanel->ThicknessOf(first) / 2) | 1;
        return c >= f;
    }
    for (QWidget* m : FItems)
        if (FPanel->PosAlong(m) <= FPanel->PosAlong(AControl))
            return true;
    return false;
}

namespace {

bool AnyCounts(const TKpBtnPnl& APanel, const QList<QWidget*>& AItems)
{
    return std::any_of(AItems.begin(), AItems.end(), [&](QWidget* w) { return APanel.Counts(w); });
}

} // namespace

int TComponentsList::CalcLengthSingleLine() const
{
    if (!AnyCounts(*FPanel, FItems))
        return 0;
    const int step = FPanel->ControlStepPixels();
    const int border = FPanel->BorderStepPixels();
    int length = 0;
    for (QWidget* m : FItems)
        if (FPanel->Counts(m))
            length += FPanel->LengthOf(m) + step;
    length = length - step + border;
    if (IsLeftGroup() || AnyCounts(*FPanel, FPanel->LeftControls().Items()))
        length += border;
    return length;
}

int TComponentsList::CalcLengthMultiLine() const
{
    if (!AnyCounts(*FPanel, FItems))
        return 0;
    const int border = FPanel->BorderStepPixels();
    int longest = 0;
    for (QWidget* m : FItems)
        if (FPanel->Counts(m))
            longest = std::max(longest, FPanel->LengthOf(m));
    int length = longest + border;
    if (!(!IsLeftGroup() && AnyCounts(*FPanel, FPanel->LeftControls().Items())))
        length += border;
    return length;
}

void TComponentsList::Sort()
{
    const QList<QWidget*>& hidden = FHiddenControls;
    const TKpBtnPnl& p = *FPanel;
    auto centre = [&](const QWidget* w) { return p.PosAcross(w) + p.ThicknessOf(w) / 2; };
    auto within = [&](int AValue, const QWidget* w) {
        return AValue >= p.PosAcross(w) && AValue <= p.PosAcross(w) + p.ThicknessOf(w);
    };
    auto hiddenRank = [&](QWidget* w) {
        const qsizetype i = hidden.indexOf(w);
        return i < 0 ? hidden.size() : i;
    };
    // Whether a comes before b.
    auto before = [&](QWidget* a, QWidget* b) {
        if (within(centre(a), b) && within(centre(b), a)) {
            if (p.PosAlong(a) != p.PosAlong(b))
                return p.PosAlong(a) < p.PosAlong(b);
            return hiddenRank(a) < hiddenRank(b);
        }
        return centre(a) < centre(b);
    };
    // An insertion sort: stable, and safe with an order that is not strictly transitive.
    for (int i = 1; i < Count(); ++i) {
        QWidget* w = FItems.at(i);
        int j = i - 1;
        while (j >= 0 && before(w, FItems.at(j))) {
            FItems[j + 1] = FItems.at(j);
            --j;
        }
        FItems[j + 1] = w;
    }
}

void TComponentsList::PlaceLine(const QList<QWidget*>& ALine, TPlacedSpan& AOcc, int AAreaStart,
                                int AAreaLength, THAlign AAlign)
{
    TKpBtnPnl& p = *FPanel;
    const int step = p.ControlStepPixels();
    const int border = p.BorderStepPixels();
    int thickness = 0;
    int length = 0;
    for (QWidget* m : ALine) {
        if (!p.Counts(m))
            continue;
        thickness = std::max(thickness, p.ThicknessOf(m));
        length += p.LengthOf(m) + step;
    }
    if (p.AutoSize())
        thickness += 2 * border;
    length = length - step + 2 * border;

    int lineStart = AAreaStart;
    if (AAlign == THAlign::Right) {
        if (length < AAreaLength)
            lineStart = AAreaStart + AAreaLength - length;
        AOcc.A1 = std::max(AOcc.A1, AAreaStart + AAreaLength);
    } else if (AAlign == THAlign::Centre && length < AAreaLength) {
        lineStart = AAreaStart + (AAreaLength - length) / 2;
    }

    AOcc.C1 += thickness;
    FHiddenControls.clear();
    int pos = lineStart + border;
    for (QWidget* m : ALine) {
        p.SetPos(m, pos, AOcc.C1 - thickness / 2 - p.ThicknessOf(m) / 2);
        if (p.Counts(m))
            pos += p.LengthOf(m) + step;
        else
            FHiddenControls.append(m);
    }
    AOcc.A1 = std::max(AOcc.A1, pos - step + border);
}

TPlacedSpan TComponentsList::PlaceControls(int AAreaStart, int AAreaLength, int AAcrossStart, THAlign AAlign,
                                           bool AWrap)
{
    TKpBtnPnl& p = *FPanel;
    TPlacedSpan occ { AAreaStart, AAcrossStart, AAreaStart, AAcrossStart };
    if (!p.AutoSize()) {
        const int centre = p.StartOffsetAcross()
            + (p.PanelThickness() - p.StartOffsetAcross() - p.EndOffsetAcross()) / 2;
        int start = centre;
        for (QWidget* m : FItems)
            start = std::min(start, centre - p.ThicknessOf(m) / 2);
        occ.C0 = occ.C1 = start;
    }
    if (!AWrap) {
        PlaceLine(FItems, occ, AAreaStart, AAreaLength, AAlign);
        return occ;
    }
    const int step = p.ControlStepPixels();
    const int border = p.BorderStepPixels();
    QList<QWidget*> line;
    int running = border;
    for (QWidget* m : FItems) {
        if (p.Counts(m)) {
            if (!line.isEmpty() && p.LengthOf(m) + step + running > AAreaLength) {
                PlaceLine(line, occ, AAreaStart, AAreaLength, AAlign);
                // Neighbouring lines share one border.
                occ.C1 -= border;
                line.clear();
                running = border;
            }
            running += p.LengthOf(m) + step;
        }
        line.append(m);
    }
    PlaceLine(line, occ, AAreaStart, AAreaLength, AAlign);
    return occ;
}
