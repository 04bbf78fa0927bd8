#pragma once

#include "platform/data/Field.h"

// True/false values, shown as "True"/"False" unless DisplayValues says otherwise ("Yes;No").
class TBooleanField : public TField {
public:
    TBooleanField();

    const QString& DisplayValues() const { return FDisplayValues; }
    void SetDisplayValues(const QString& values);

protected:
    QString GetText(bool displayText) const override;
    ::Value FromStorage(const ::Value& stored) const override;
    ::Value ToStorage(const ::Value& value) const override;
    void SetTextValue(const QString& text) override;
    int DefaultDisplayWidth() const override { return 5; }

private:
    QString FDisplayValues;
    QString FTrueText;
    QString FFalseText;
};
