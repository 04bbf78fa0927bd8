#pragma once

// Where a button's image sits against its caption.
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A tool button's own pressed state (the painted state also follows Enabled).
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// The state a button face is painted in.
enum class TcxButtonState { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };

// The kinds of button look.
enum class TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };

// The painter's style family; native means the platform style draws the face.
enum class TcxLookAndFeelStyle { lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11, lfsSkin };
