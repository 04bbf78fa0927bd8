#include "controls/ControlsResources.h"

#include <QtCore/qglobal.h>
#include <mutex>

void EnsureControlsResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(stumpwise_controls); });
}
