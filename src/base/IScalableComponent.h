#pragma once

#include "base/IInterface.h"

class QObject;

// A control's scale factor, 1.0 being the size designed at 96 dpi.
class IScalableComponent : public virtual IInterface
{
public:
    virtual double GetScale() const = 0;
    virtual void SetScale(double value) = 0;

    // The control's scale, 1.0 for a control without one.
    static double ScaleOf(const QObject* control);
};
