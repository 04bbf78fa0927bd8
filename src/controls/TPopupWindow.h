#pragma once

#include "platform/rtl/Value.h"

#include <QPointer>
#include <QWidget>

class TCustomLinkEdit;

// The base of the pop-up windows a link edit drops down: it receives the edit's text when
// it opens and hands back a value when it closes accepted. Enter accepts, Esc cancels,
// a click inside accepts, and losing the activation (a click elsewhere) cancels.
class TPopupWindow : public QWidget {
    Q_OBJECT
public:
    explicit TPopupWindow(TCustomLinkEdit* AEdit);
    ~TPopupWindow() override;

    TCustomLinkEdit* Combo() const { return FCombo; }
    // Closes through the edit when this is the edit's current pop-up.
    virtual void CloseUp(bool AAccept);
    // The value to put into the edit; a pop-up class must supply both.
    virtual Value GetValue();
    virtual void SetValue(const Value& AValue);

protected:
    void keyPressEvent(QKeyEvent* AEvent) override;
    void mouseReleaseEvent(QMouseEvent* AEvent) override;
    void hideEvent(QHideEvent* AEvent) override;

private:
    QPointer<TCustomLinkEdit> FCombo;
};
