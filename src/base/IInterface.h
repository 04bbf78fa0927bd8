#pragma once

// The common base of the program's interfaces, so one pointer type can name any of them.
class IInterface
{
public:
    virtual ~IInterface();
};
