#include "grids/TUpDown.h"

#include <QEvent>
#include <QToolButton>
#include <algorithm>

TUpDown::TUpDown(QWidget* AParent) : QWidget(AParent), FPrev(new QToolButton(this)), FNext(new QToolButton(this))
{
    FPrev->setArrowType(Qt::LeftArrow);
    FNext->setArrowType(Qt::RightArrow);
    for (QToolButton* b : {FPrev, FNext}) {
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    connect(FPrev, &QToolButton::clicked, this, [this] { Step(TUDBtnType::btPrev); });
    connect(FNext, &QToolButton::clicked, this, [this] { Step(TUDBtnType::btNext); });
    setFocusPolicy(Qt::NoFocus);
}

void TUpDown::SetRange(int AMin, int AMax)
{
    FMin = AMin;
    FMax = std::max(AMin, AMax);
    FPosition = std::clamp(FPosition, FMin, FMax);
}

void TUpDown::SetPosition(int AValue) { FPosition = std::clamp(AValue, FMin, FMax); }

void TUpDown::Step(TUDBtnType Button)
{
    const int next = FPosition + (Button == TUDBtnType::btNext ? 1 : -1);
    if (next < FMin || next > FMax)
        return;
    FPosition = next;
    if (OnClick)
        OnClick(this, Button);
}

void TUpDown::resizeEvent(QResizeEvent* AEvent)
{
    QWidget::resizeEvent(AEvent);
    const int half = width() / 2;
    FPrev->setGeometry(0, 0, half, height());
    FNext->setGeometry(half, 0, width() - half, height());
}

void TUpDown::changeEvent(QEvent* AEvent)
{
    QWidget::changeEvent(AEvent);
    if (AEvent->type() == QEvent::EnabledChange) {
        FPrev->setEnabled(isEnabled());
        FNext->setEnabled(isEnabled());
    }
}
