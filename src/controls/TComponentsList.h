#pragma once

#include <QList>
#include <QWidget>

class TKpBtnPnl;

// The span a group of a button panel occupies: along from A0 to A1, across from C0 to C1.
struct TPlacedSpan {
    int A0 = 0;
    int C0 = 0;
    int A1 = 0;
    int C1 = 0;
};

// One control group of a button panel, in display order, with its length calculations
// and its placement.
class TComponentsList {
public:
    enum class THAlign { Left, Right, Centre };

    explicit TComponentsList(TKpBtnPnl* APanel) : FPanel(APanel) {}

    const QList<QWidget*>& Items() const { return FItems; }
    int Count() const { return static_cast<int>(FItems.size()); }
    QWidget* At(int AIndex) const { return FItems.at(AIndex); }
    int IndexOf(QWidget* AControl) const { return static_cast<int>(FItems.indexOf(AControl)); }
    bool Contains(QWidget* AControl) const { return FItems.contains(AControl); }
    void Remove(QWidget* AControl) { FItems.removeAll(AControl); FHiddenControls.removeAll(AControl); }
    void InsertAt(int AIndex, QWidget* AControl) { FItems.insert(AIndex, AControl); }
    void Append(QWidget* AControl) { FItems.append(AControl); }
    // By position: before the first member it lies before (in an earlier line or further
    // back in the same one); nothing when already a member.
    void Insert(QWidget* AControl);
    // The controls skipped as hidden at the last placement.
    const QList<QWidget*>& HiddenControls() const { return FHiddenControls; }

    bool BelongsInLeft(QWidget* AControl) const;
    bool BelongsInRight(QWidget* AControl) const;
    int CalcLengthSingleLine() const;
    int CalcLengthMultiLine() const;
    // Orders the members as they are seen: line by line, along each line.
    void Sort();
    // Places the members in the area along [AAreaStart, AAreaStart + AAreaLength) from
    // AAcrossStart; returns the occupied span.
    TPlacedSpan PlaceControls(int AAreaStart, int AAreaLength, int AAcrossStart, THAlign AAlign, bool AWrap);

private:
    void PlaceLine(const QList<QWidget*>& ALine, TPlacedSpan& AOcc, int AAreaStart, int AAreaLength,
                   THAlign AAlign);
    bool IsLeftGroup() const;

    TKpBtnPnl* FPanel;
    QList<QWidget*> FItems;
    QList<QWidget*> FHiddenControls;
};
