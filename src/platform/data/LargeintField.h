#pragma once

#include "platform/data/Field.h"

// 64-bit signed whole numbers.
class TLargeintField : public TField {
public:
    TLargeintField();

protected:
    QString GetText(bool displayText) const override;
    void SetTextValue(const QString& text) override;
    int DefaultDisplayWidth() const override { return 15; }
    TAlignment DefaultAlignment() const override { return TAlignment::taRightJustify; }
};
