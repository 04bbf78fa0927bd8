#include "controls/TLinkEdit.h"

TLinkEdit::TLinkEdit(QWidget* AParent)
    : TCustomLinkEdit(AParent)
{
}
