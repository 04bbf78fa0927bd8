#include "controls/TKpEditButtonItems.h"

#include "controls/ControlsMath.h"

#include <QEvent>
#include <QStyle>
#include <algorithm>

TKpEditButtonItems::TKpEditButtonItems(QLineEdit* AEdit)
    : QObject(AEdit)
    , FEdit(AEdit)
{
    if (FEdit)
        FEdit->installEventFilter(this);
}

TKpEditButtonItems::~TKpEditButtonItems()
{
    FItems.clear();
}

TKpEditButtonItem* TKpEditButtonItems::Add()
{
    FItems.push_back(std::make_unique<TKpEditButtonItem>(this));
    ArrangeButtons();
    return FItems.back().get();
}

void TKpEditButtonItems::Delete(int AIndex)
{
    FItems.erase(FItems.begin() + AIndex);
    ArrangeButtons();
}

void TKpEditButtonItems::SetHideWhenNotFocused(bool AValue)
{
    FHideWhenNotFocused = AValue;
    ArrangeButtons();
}

void TKpEditButtonItems::SetShortCutInHint(bool AValue)
{
    FShortCutInHint = AValue;
    ArrangeButtons();
}

QRect TKpEditButtonItems::ClientRect() const
{
    if (!FEdit)
        return {};
    const int frame = FEdit->hasFrame() ? FEdit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, FEdit) : 0;
    return FEdit->rect().adjusted(frame, frame, -frame, -frame);
}

void TKpEditButtonItems::ArrangeButtons()
{
    if (!FEdit || FArranging)
        return;
    FArranging = true;
    const QRect client = ClientRect();
    const int s = std::max(client.height(), MulDiv(18, 96, 96));
    int right = client.left() + client.width();
    const bool hideAll = FHideWhenNotFocused && !FEdit->hasFocus();
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
        TKpEditButtonItem* item = it->get();
        TtbtnKp* button = item->Button();
        if (hideAll) {
            button->hide();
        } else if (item->Visible()) {
            button->setGeometry(right - s, client.top(), s, s);
            button->show();
            QString hint = item->ShowHint() ? item->Hint() : QString();
            if (FShortCutInHint && !item->ShortCut().isEmpty())
                hint = (hint + QStringLiteral(" (") + item->ShortCut().toString(QKeySequence::NativeText)
                        + QLatin1Char(')')).trimmed();
            button->SetHint(hint);
            right -= s + 1;
        } else {
            button->hide();
        }
    }
    // The text stops before the first button.
    FEdit->setTextMargins(0, 0, client.left() + client.width() - right, 0);
    FArranging = false;
}

bool TKpEditButtonItems::eventFilter(QObject* AWatched, QEvent* AEvent)
{
    switch (AEvent->type()) {
    case QEvent::Resize:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Show:
        ArrangeButtons();
        break;
    default:
        break;
    }
    return QObject::eventFilter(AWatched, AEvent);
}
