#pragma once

#include "base/IScalableComponent.h"

#include <QComboBox>
#include <functional>

// A combo box whose drop-down list widens to its widest item (up to three times the box's
// width, never narrowing again) and which, as a drop-down list, keeps its designed height
// at any scale.
class TCustomKpComboBox : public QComboBox, public IScalableComponent {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TCustomKpComboBox* Sender)>;

    explicit TCustomKpComboBox(QWidget* AParent = nullptr);
    ~TCustomKpComboBox() override;

    // The width of the widest item text in the box's font; ACap as soon as one item is
    // at least that wide.
    virtual int MaxItemWidth(int ACap) const;
    // Widens the automatic drop-down width for the items now held.
    void UpdateAutoDropDownWidth();
    // The width the list drops down at.
    int GetDropDownWidth();
    int AutoDropDownWidth() const { return FAutoDropDownWidth; }

    // Takes the designed height as the one to keep (a drop-down list only).
    virtual void Loaded();
    int LoadedHeight() const { return FLoadedHeight; }

    double Scale() const { return FScale; }
    double GetScale() const override { return FScale; }
    void SetScale(double AValue) override;

    // Fired before the list drops down.
    TNotifyEvent OnDropDown;

    void showPopup() override;

protected:
    void changeEvent(QEvent* AEvent) override;
    void AdjustDropDownListHeight();

    int FDropDownWidth = 0;
    int FAutoDropDownWidth = 0;
    bool FUseAutoDropDownWidth = true;
    int FLoadedHeight = 0;
    bool FAdjustHeight = false;
    double FScale = 1.0;
};
