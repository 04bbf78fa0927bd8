#pragma once

#include <QString>

class TField;

// A column list that is not a grid's own collection: a count and, per entry, whether it is
// shown (state 1), its caption and its field.
class IGridColumns {
public:
    virtual ~IGridColumns() = default;
    virtual int GetCount() = 0;
    virtual int GetState(int Index) = 0;
    virtual QString GetCaption(int Index) = 0;
    virtual TField* GetField(int Index) = 0;
};
