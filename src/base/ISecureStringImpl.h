#pragma once

#include <QString>

// A secret text held only in protected form.
class ISecureStringImpl
{
public:
    virtual ~ISecureStringImpl() = default;
    virtual void DecryptToString(QString& ABuffer) const = 0;
    virtual QString EncryptedString() const = 0;
    virtual bool IsEmpty() const = 0;
};
