#pragma once

#include <QMenu>
#include <QPointer>

// A context menu that a control opens by itself on a right-click (AutoPopup) and that tells
// its handlers which control opened it (PopupComponent).
class TPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TPopupMenu(QWidget* parent = nullptr);

    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool value) { FAutoPopup = value; }
    // The control the menu was last opened for; nullptr before it opened or once that is gone.
    QWidget* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(QWidget* value) { FPopupComponent = value; }

private:
    bool FAutoPopup = true;
    QPointer<QWidget> FPopupComponent;
};
