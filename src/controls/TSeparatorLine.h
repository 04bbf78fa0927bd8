#pragma once

#include "controls/BtnPnlTypes.h"

#include <QWidget>

// The etched line along one edge of a button panel, 2 pixels thick.
class TSeparatorLine : public QWidget {
    Q_OBJECT
public:
    explicit TSeparatorLine(QWidget* AParent = nullptr);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign AValue) { FAlign = AValue; update(); }

protected:
    void paintEvent(QPaintEvent* AEvent) override;

private:
    TAlign FAlign = TAlign::alTop;
};
