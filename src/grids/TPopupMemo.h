#pragma once

#include "grids/TfrmEdGridMemoEdit.h"

// The memo form as the grid's in-place editor opens it.
class TPopupMemo : public TfrmEdGridMemoEdit {
    Q_OBJECT
public:
    using TfrmEdGridMemoEdit::TfrmEdGridMemoEdit;
};
