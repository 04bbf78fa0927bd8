#pragma once

// The base of objects that lists carry beside their texts (a string list's object slot).
class TObject
{
public:
    TObject() = default;
    virtual ~TObject();
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};
