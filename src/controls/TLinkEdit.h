#pragma once

#include "controls/TCustomLinkEdit.h"
#include "platform/rtl/Value.h"

// The link edit as forms use it, with room for a key value and the last accepted text.
class TLinkEdit : public TCustomLinkEdit {
    Q_OBJECT
public:
    explicit TLinkEdit(QWidget* AParent = nullptr);

    const Value& PkValue() const { return FPkValue; }
    void SetPkValueRaw(const Value& AValue) { FPkValue = AValue; }
    const QString& PrevText() const { return FPrevText; }
    void SetPrevText(const QString& AValue) { FPrevText = AValue; }

protected:
    Value FPkValue;
    QString FPrevText;
};
