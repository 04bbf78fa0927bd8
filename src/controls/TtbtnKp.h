#pragma once

#include "base/IScalableComponent.h"
#include "controls/ButtonTypes.h"
#include "controls/TcxLookAndFeel.h"
#include "controls/TtbtnKpColors.h"
#include "controls/TtbtnKpGlyph.h"

#include <QAbstractButton>
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>



// A tool button without focus of its own: a speed button (groups, latched down state,
// flat look, drop-down menu) whose image is taken by name from the program's images.
// Clicks are reported through OnClick and the clicked signal.
class TtbtnKp : public QAbstractButton, public IScalableComponent {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TtbtnKp* Sender)>;

    explicit TtbtnKp(QWidget* AParent = nullptr);
    ~TtbtnKp() override;

    QString Caption() const { return text(); }
    // Re-sizes (with Autosize) and repaints; "&" marks the accelerator.
    void SetCaption(const QString& AValue);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& AValue) { setToolTip(AValue); }

    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int AValue);
    // Only a button of a group can be down; a down button whose group does not allow all
    // up cannot be released by setting false.
    bool Down() const { return FDown; }
    void SetDown(bool AValue);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool AValue);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout AValue);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int AValue);
    int Margin() const { return FMargin; }
    void SetMargin(int AValue);
    bool FlatBorder() const { return FFlatBorder; }
    void SetFlatBorder(bool AValue);
    int NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(int AValue) { FGlyph->SetNumGlyphs(AValue); }
    bool Autosize() const { return FAutosize; }
    void SetAutosize(bool AValue);

    // Stored upper-cased; a name equal but for letter case does nothing.
    QString ImageName() const { return FImageName; }
    virtual void SetImageName(const QString& AValue);
    // The image as a bitmap (empty without one).
    QImage Glyph() const;
    void SetGlyph(const QImage& AValue);
    TtbtnKpGlyph& GlyphObject() { return *FGlyph; }

    // The action the button shows and triggers: its image (when the button has none of its
    // own), its checked state as the pressed look, its enabled state and hint, and its
    // caption while ShowCaption.
    QAction* Action() const { return FAction; }
    void SetAction(QAction* AValue);

    TtbtnKpColors& Colors() { return FColors; }
    // Copies the colours into the button's own set.
    void SetColors(const TtbtnKpColors& AValue) { FColors.Assign(AValue); }
    TcxLookAndFeel& LookAndFeel() { return FLookAndFeel; }

    QMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu* AValue) { FDropDownMenu = AValue; }

    int CaptionMargin() const { return FCaptionMargin; }
    void SetCaptionMargin(int AValue);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool AValue);

    double Scale() const { return FScale; }
    double GetScale() const override { return FScale; }
    void SetScale(double AValue) override;
    // The resolution changed by AM / AD: margins and spacing follow.
    void ChangeScale(int AM, int AD);

    // Fires OnClick and the clicked signal.
    void Click();
    // Shows the drop-down menu below the button, the button down meanwhile.
    void DropDown();
    // Name, position, size, caption, image and colours of another tool button.
    void Assign(const TtbtnKp& ASource);

    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    // The state the face is painted in now.
    TcxButtonState PaintState() const;
    // The face and text colours of the state (invalid: the painter chooses).
    QColor FaceColor(TcxButtonState AState) const;
    QColor TextColor(TcxButtonState AState) const;
    bool BorderShown(TcxButtonState AState) const;
    // The colours the face is drawn from: those of the look-and-feel's skin when it names
    // one that is known, else the button's own palette.
    QPalette FacePalette() const;
    // Where image and caption are put when painted now.
    TGlyphLayout CurrentLayout() const;
    // The factor images are scaled by.
    double ImageFactor() const;

    // Room for the image and the caption side by side (or stacked) inside the border.
    QSize sizeHint() const override;

    // Pointer entering and leaving (also used to settle hot tracking).
    void MouseEnter();
    void MouseLeave();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* AEvent) override;
    void mousePressEvent(QMouseEvent* AEvent) override;
    void mouseMoveEvent(QMouseEvent* AEvent) override;
    void mouseReleaseEvent(QMouseEvent* AEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* AEvent) override;
    void enterEvent(QEnterEvent* AEvent) override;
    void leaveEvent(QEvent* AEvent) override;
    void changeEvent(QEvent* AEvent) override;
    bool event(QEvent* AEvent) override;
    bool hitButton(const QPoint& APos) const override;

private:
    // Another button of the parent was pressed down in a group.
    void ButtonPressed(int AGroupIndex, TtbtnKp* ASender);
    void UpdateExclusive();
    bool HotTrackAllowed() const;
    void RefreshHotTracking(bool AInside);
    void AdjustSize();
    void GlyphChanged();
    void ActionChange();
    static bool InsideForRelease(const QPoint& APos, const QSize& ASize);

    int FGroupIndex = 0;
    bool FDown = false;
    bool FDragging = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FSpacing = 4;
    bool FFlatBorder = false;
    int FMargin = -1;
    bool FMouseInControl = false;
    std::unique_ptr<TtbtnKpGlyph> FGlyph;
    TcxLookAndFeel FLookAndFeel;
    TtbtnKpColors FColors;
    QPointer<QMenu> FDropDownMenu;
    QPointer<QAction> FAction;
    QMetaObject::Connection FActionConnection;
    QString FImageName;
    int FCaptionMargin = 15;
    double FScale = 1.0;
    bool FShowCaption = false;
    bool FAutosize = false;
    TButtonState FState = TButtonState::bsUp;
};
