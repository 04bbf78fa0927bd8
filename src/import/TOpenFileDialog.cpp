#include "import/TOpenFileDialog.h"

bool TOpenFileDialog::Execute()
{
    if (!OnExecute)
        return false;
    return OnExecute(*this);
}
