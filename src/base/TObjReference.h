#pragma once

#include "base/IObjReference.h"

#include <QObject>
#include <QPointer>
#include <memory>

// A weak or strong reference that clears itself when its target is destroyed: a QObject is
// watched through QPointer, any other target is held through std::weak_ptr (weak) or
// std::shared_ptr (strong). A strong reference tells an IWeakReferenceable target
// RemoveStrongRef and an IStrongRefTarget its three notices.
class TObjReference : public IObjReference
{
public:
    TObjReference(QObject* target, bool weak);
    TObjReference(const std::shared_ptr<IInterface>& target, bool weak);
    ~TObjReference() override;
    TObjReference(const TObjReference&) = delete;
    TObjReference& operator=(const TObjReference&) = delete;

    bool IsWeak() const override { return FWeak; }
    IInterface* Value() const override;
    QObject* Object() const override;
    void RemoveRef() override;

private:
    IInterface* Target() const;
    void Clear();

    bool FWeak;
    bool FIsObject;
    QPointer<QObject> FObject;
    std::weak_ptr<IInterface> FWeakTarget;
    std::shared_ptr<IInterface> FStrongTarget;
};
