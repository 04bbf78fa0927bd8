#pragma once

#include <QWidget>
#include <functional>

class QToolButton;

// A horizontal pair of arrow buttons stepping a position within a range; a step beyond the
// range does nothing. The arrow keys are left to the edit beside it.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    enum class TUDBtnType { btNext, btPrev };
    using TUDClickEvent = std::function<void(TUpDown* Sender, TUDBtnType Button)>;

    explicit TUpDown(QWidget* AParent = nullptr);

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    // Sets both limits and brings the position into them.
    void SetRange(int AMin, int AMax);
    void SetMin(int AValue) { SetRange(AValue, FMax); }
    int Position() const { return FPosition; }
    // Clamped into the range; fires nothing.
    void SetPosition(int AValue);
    // One step forward or back when the range allows it, then OnClick.
    void Step(TUDBtnType Button);

    TUDClickEvent OnClick;

protected:
    void resizeEvent(QResizeEvent* AEvent) override;
    void changeEvent(QEvent* AEvent) override;

private:
    QToolButton* FPrev;
    QToolButton* FNext;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
};
