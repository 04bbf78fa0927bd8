#pragma once

#include <QFont>
#include <QLabel>
#include <QString>
#include <functional>

class QEnterEvent;
class QMouseEvent;

// A label showing a link: its font changes while the pointer is over it, and a click
// opens the link with its associated program.
class THoverLabel : public QLabel {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(THoverLabel* Sender)>;

    explicit THoverLabel(QWidget* AParent = nullptr);

    const QString& HREF() const { return FHref; }
    void SetHREF(const QString& AValue);
    bool AutoHint() const { return FAutoHint; }
    void SetAutoHint(bool AValue);
    const QFont& HoverFont() const { return FHoverFont; }
    void SetHoverFont(const QFont& AValue) { FHoverFont = AValue; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& AValue);
    // The text shown: the link while the caption is empty or the component's name.
    QString GetLabelText() const;

    // OnClick alone when set; otherwise the link is opened.
    void Click();
    void MouseEnter();
    void MouseLeave();
    // The resolution changed by AM / AD.
    void ChangeScale(int AM, int AD);

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // How links are opened; tests replace it so nothing is started.
    static std::function<void(const QString&)>& OpenProc();

protected:
    void enterEvent(QEnterEvent* AEvent) override;
    void leaveEvent(QEvent* AEvent) override;
    void mouseReleaseEvent(QMouseEvent* AEvent) override;

private:
    void UpdateText();

    QFont FHoverFont;
    QFont FOldFont;
    QString FHref;
    QString FCaption;
    bool FAutoHint = true;
};
