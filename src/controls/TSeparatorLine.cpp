#include "controls/TSeparatorLine.h"

#include <QPainter>

TSeparatorLine::TSeparatorLine(QWidget* AParent)
    : QWidget(AParent)
{
    resize(width(), 2);
}

void TSeparatorLine::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    if (FAlign == TAlign::alTop || FAlign == TAlign::alBottom) {
        p.setPen(shadow);
        p.drawLine(0, 0, width(), 0);
        p.setPen(highlight);
        p.drawLine(0, 1, width(), 1);
    } else {
        p.setPen(shadow);
        p.drawLine(0, 0, 0, height());
        p.setPen(highlight);
        p.drawLine(1, 0, 1, height());
    }
}
