#include "controls/ControlScale.h"

#include <QWidget>

double ControlScale(const QWidget* AControl)
{
    // Stand-in until the scalable-control interface lands in base: no control is scaled.
    Q_UNUSED(AControl);
    return 1.0;
}
