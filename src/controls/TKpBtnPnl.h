#pragma once

#include "controls/BtnPnlTypes.h"
#include "controls/TComponentsList.h"
#include "controls/TSeparatorLine.h"

#include <QFrame>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

// A panel that arranges the controls put on it: in a line along the panel (several when
// wrapping), as a left and a right group or all centred, with fixed gaps, every control
// centred across its line, and the panel sizing itself to its content. Controls keep the
// order of their positions; everything is placed again whenever something changes.
class TKpBtnPnl : public QFrame {
    Q_OBJECT
public:
    using TCanResizeControlEvent =
        std::function<void(TKpBtnPnl* Sender, QWidget* Control, int NewWidth, bool& CanResize)>;

    explicit TKpBtnPnl(QWidget* AParent = nullptr);
    ~TKpBtnPnl() override;

    // How the panel is meant to sit in its parent; decides its direction and which of its
    // extents it sizes itself.
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign AValue);
    bool Horizontal() const;

    bool CenterControls() const { return FCenterControls; }
    void SetCenterControls(bool AValue);
    int ControlStep() const { return FControlStep; }
    void SetControlStep(int AValue);
    int BorderStep() const { return FBorderStep; }
    void SetBorderStep(int AValue);
    bool Seperated() const { return !FTopLine->isHidden(); }
    void SetSeperated(bool AValue);
    TAlign SeparatorAlign() const { return FTopLine->Align(); }
    void SetSeparatorAlign(TAlign AValue);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool AValue);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool AValue);
    bool AutoSizeProcessAligned() const { return FAutoSizeProcessAligned; }
    void SetAutoSizeProcessAligned(bool AValue);
    bool ResizeControls() const { return FResizeControls; }
    void SetResizeControls(bool AValue);
    int BorderWidth() const { return FBorderWidth; }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int AValue);

    // The first control of the right group, or null.
    QWidget* FstRightControl() const;
    // Splits the controls into groups at this control (null: all left). Throws Exception
    // for a control that is on neither group of the panel.
    void SetFstRightControl(QWidget* AValue);

    void PlaceControl(QWidget* AControl, TControlPlacement APlacement);
    void InsertAfter(QWidget* AControl, QWidget* AControlAfter);
    void InsertBefore(QWidget* AControl, QWidget* AControlBefore);

    bool DefaultCanResizeControl(QWidget* AControl, int ANewWidth) const;
    bool CanResizeControl(QWidget* AControl, int ANewWidth);
    QString GetControlSizesString();
    void SetControlSizesString(const QString& AValue);
    int SingleLineWidth() const;
    int MultiLineWidth() const;

    // Places everything now; AKeepLists false first takes in new controls and re-sorts.
    void ArrangeControls(bool AKeepLists);
    // While loading, placing waits; Loaded then resolves the remembered first right
    // control and places everything.
    void BeginLoading() { FLoading = true; }
    void Loaded();
    bool IsLoading() const { return FLoading; }
    // The resolution changed by AM / AD.
    void ChangeScale(int AM, int AD);

    const TComponentsList& LeftControls() const { return *FLeftControls; }
    const TComponentsList& RightControls() const { return *FRightControls; }
    TSeparatorLine* TopLine() const { return FTopLine; }
    bool Wrapped() const { return FlrWrapped; }
    int CurrentPPI() const { return 96; }
    int ControlStepPixels() const;
    int BorderStepPixels() const;

    TCanResizeControlEvent OnCanResizeControl;

    // Geometry in the panel's direction.
    int PosAlong(const QWidget* AControl) const;
    int PosAcross(const QWidget* AControl) const;
    int LengthOf(const QWidget* AControl) const;
    int ThicknessOf(const QWidget* AControl) const;
    bool Counts(const QWidget* AControl) const;
    void SetPos(QWidget* AControl, int AAlong, int AAcross);
    int PanelThickness() const;
    int PanelLength() const;
    int StartOffsetAcross() const;
    int EndOffsetAcross() const;
    int StartOffsetAlong() const;
    int EndOffsetAlong() const;
    // The hidden-controls list consulted while a group is sorted.
    const QList<QWidget*>* SortHiddenControls() const { return FHiddenControls; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent* AEvent) override;
    void childEvent(QChildEvent* AEvent) override;
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;
    void resizeEvent(QResizeEvent* AEvent) override;
    void mousePressEvent(QMouseEvent* AEvent) override;
    void mouseMoveEvent(QMouseEvent* AEvent) override;
    void mouseReleaseEvent(QMouseEvent* AEvent) override;

private:
    friend class TComponentsList;
    bool IsArranged(const QWidget* AChild) const;
    QList<QWidget*> ArrangedChildren() const;
    void RefreshLists();
    void PlaceSeparator();
    void SelfSize();
    void RequestArrange();
    void PrepareControl(QWidget* AControl);
    void SortGroup(TComponentsList& AList);

    TAlign FAlign = TAlign::alBottom;
    bool FCenterControls = true;
    int FControlStep = 3;
    int FBorderStep = 3;
    TSeparatorLine* FTopLine = nullptr;
    std::unique_ptr<TComponentsList> FLeftControls;
    std::unique_ptr<TComponentsList> FRightControls;
    bool FlrWrapped = false;
    bool FUpdating = false;
    bool FWrap = false;
    QPointer<QWidget> FrcLoadingHolder;
    bool FAutoSize = true;
    bool FAutoSizeProcessAligned = false;
    bool FResizeControls = false;
    int FResizeTracking = -1;
    QPointer<QWidget> FResizeControl;
    const QList<QWidget*>* FHiddenControls = nullptr;
    bool FLoading = false;
    bool FArrangePending = false;
    int FBorderWidth = 0;
    int FBevelWidth = 1;
};
