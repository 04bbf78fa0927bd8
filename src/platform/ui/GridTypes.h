#pragma once

#include <QFlags>

// Plain value types shared by the generic grid and the grids built on it.

// A cell address: column and row, -1 for "none".
struct TGridCoord {
    int X = -1;
    int Y = -1;
    friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// How a cell is to be drawn.
enum TGridDrawStateFlag {
    gdSelected = 0x1,
    gdFocused = 0x2,
    gdFixed = 0x4,
    gdHotTrack = 0x8,
};
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

// Behaviour switches of the generic grid.
enum TGridOptionFlag {
    goFixedVertLine = 0x1,
    goFixedHorzLine = 0x2,
    goVertLine = 0x4,
    goHorzLine = 0x8,
    goRangeSelect = 0x10,
    goDrawFocusSelected = 0x20,
    goRowSizing = 0x40,
    goColSizing = 0x80,
    goRowMoving = 0x100,
    goColMoving = 0x200,
    goEditing = 0x400,
    goTabs = 0x800,
    goRowSelect = 0x1000,
    goAlwaysShowEditor = 0x2000,
    goThumbTracking = 0x4000,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOptionFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

// What a mouse press in the grid started.
enum class TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
