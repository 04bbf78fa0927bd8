#include "base/IScalableComponent.h"

#include <QObject>

double IScalableComponent::ScaleOf(const QObject* control)
{
    const auto* s = dynamic_cast<const IScalableComponent*>(control);
    return s ? s->GetScale() : 1.0;
}
