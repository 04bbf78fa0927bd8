#pragma once

#include "base/IScalableComponent.h"
#include "controls/KpImageList.h"
#include "controls/KpSmartGlyph.h"

#include <QImage>
#include <QPushButton>
#include <QString>
#include <functional>

class QEnterEvent;
class QPaintEvent;

// A push button that takes its image by name, can toggle (drawn sunken and white while
// checked) and reports the pointer entering and leaving.
class TKpBitBtn : public QPushButton, public IScalableComponent {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TKpBitBtn* Sender)>;

    explicit TKpBitBtn(QWidget* AParent = nullptr);
    ~TKpBitBtn() override;

    QString Caption() const { return text(); }
    void SetCaption(const QString& AValue) { setText(AValue); }

    // Stored upper-cased; a name equal but for letter case does nothing.
    QString ImageName() const { return FImageName; }
    void SetImageName(const QString& AValue);
    QImage Glyph() const;
    void SetGlyph(const QImage& AValue);

    bool Checked() const { return FChecked; }
    void SetChecked(bool AValue);
    // A togglable button inverts Checked on every click, before the click is reported.
    bool Togglable() const { return FTogglable; }
    void SetTogglable(bool AValue);
    bool DrawFocus() const { return FDrawFocus; }
    void SetDrawFocus(bool AValue);

    double Scale() const { return FScale; }
    double GetScale() const override { return FScale; }
    void SetScale(double AValue) override;
    // The button's scale factor as a fraction of 96.
    TScaleFactor ScaleFactor() const { return FScaleFactor; }

    // Clicks the button (toggling it first when togglable).
    void Click() { click(); }
    // The base's state first; from another push button also image name, toggling and check.
    void Assign(const TKpBitBtn& ASource);

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* AEvent) override;
    void enterEvent(QEnterEvent* AEvent) override;
    void leaveEvent(QEvent* AEvent) override;

private:
    void UpdateIcon();

    TKpSmartGlyph FGlyph;
    QString FImageName;
    bool FChecked = false;
    bool FTogglable = false;
    bool FDrawFocus = true;
    double FScale = 1.0;
    TScaleFactor FScaleFactor { 96, 96 };
};
