#include "controls/THoverLabel.h"

#include "base/KelpUtils.h"
#include "controls/ControlsMath.h"
#include "platform/ui/UiServices.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QUrl>

THoverLabel::THoverLabel(QWidget* AParent)
    : QLabel(AParent)
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    FHoverFont = font();
    FOldFont = font();
}

std::function<void(const QString&)>& THoverLabel::OpenProc()
{
    static std::function<void(const QString&)> proc = [](const QString& AHref) {
        // A web address goes to the browser; anything else is a file or folder. A one-letter
        // scheme is a drive letter, not a scheme.
        const QUrl url(AHref);
        if (url.scheme().size() > 1 && !url.isLocalFile())
            UiServices::OpenUrl(url);
        else
            KelpUtils::ShellServices().OpenFile(AHref);
    };
    return proc;
}

void THoverLabel::SetHREF(const QString& AValue)
{
    if (AValue == FHref)
        return;
    FHref = AValue;
    UpdateText();
}

void THoverLabel::SetAutoHint(bool AValue)
{
    // Qt shows any non-empty tool tip, so there is no separate switch to set.
    FAutoHint = AValue;
}

void THoverLabel::SetCaption(const QString& AValue)
{
    FCaption = AValue;
    UpdateText();
}

QString THoverLabel::GetLabelText() const
{
    if (!FHref.isEmpty() && (FCaption.isEmpty() || FCaption == objectName()))
        return FHref;
    return FCaption;
}

void THoverLabel::UpdateText()
{
    setText(GetLabelText());
}

void THoverLabel::Click()
{
    if (OnClick) {
        OnClick(this);
        return;
    }
    if (!FHref.trimmed().isEmpty() && OpenProc())
        OpenProc()(FHref);
}

void THoverLabel::MouseEnter()
{
    if (FAutoHint && !FHref.isEmpty())
        setToolTip(FHref);
    FOldFont = font();
    if (OnMouseEnter)
        OnMouseEnter(this);
    setFont(FHoverFont);
}

void THoverLabel::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
    if (FAutoHint)
        setToolTip(QString());
    setFont(FOldFont);
}

void THoverLabel::ChangeScale(int AM, int AD)
{
    resize(MulDiv(width(), AM, AD), MulDiv(height(), AM, AD));
    if (FHoverFont.pixelSize() > 0)
        FHoverFont.setPixelSize(MulDiv(FHoverFont.pixelSize(), AM, AD));
    else
        FHoverFont.setPointSizeF(FHoverFont.pointSizeF() * AM / AD);
}

void THoverLabel::enterEvent(QEnterEvent* AEvent)
{
    QLabel::enterEvent(AEvent);
    MouseEnter();
}

void THoverLabel::leaveEvent(QEvent* AEvent)
{
    QLabel::leaveEvent(AEvent);
    MouseLeave();
}

void THoverLabel::mouseReleaseEvent(QMouseEvent* AEvent)
{
    QLabel::mouseReleaseEvent(AEvent);
    if (AEvent->button() == Qt::LeftButton && rect().contains(AEvent->position().toPoint()))
        Click();
}
