#pragma once

#include <functional>

class TCustomLinkEdit;
class TPopupWindow;

// What a link edit's button shows.
enum class TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

// Creates the pop-up window of a link edit (the edit is its owner).
using TPopupWindowClass = std::function<TPopupWindow*(TCustomLinkEdit* AEdit)>;
