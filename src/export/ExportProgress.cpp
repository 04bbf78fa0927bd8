#include "export/ExportProgress.h"

ExportProgress& ExportProgress::Instance()
{
    static ExportProgress instance;
    return instance;
}
