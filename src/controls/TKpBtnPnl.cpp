#include "controls/TKpBtnPnl.h"

#include "base/KpUt.h"
#include "controls/ControlsMath.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/Exception.h"

#include <QAbstractItemView>
#include <QChildEvent>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>

namespace {

// Sets a flag for the lifetime of the guard, clearing it however the scope ends.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& AFlag) : FFlag(AFlag) { FFlag = true; }
    ~TFlagGuard() { FFlag = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& FFlag;
};

} // namespace

TKpBtnPnl::TKpBtnPnl(QWidget* AParent)
    : QFrame(AParent)
    , FLeftControls(std::make_unique<TComponentsList>(this))
    , FRightControls(std::make_unique<TComponentsList>(this))
{
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    resize(width(), 28);
    FTopLine = new TSeparatorLine(this);
    FTopLine->SetAlign(TAlign::alTop);
    PlaceSeparator();
}

TKpBtnPnl::~TKpBtnPnl()
{
    // Children die after this body; they must not find the lists any more.
    for (QWidget* w : ArrangedChildren())
        w->removeEventFilter(this);
    FLeftControls.reset();
    FRightControls.reset();
}

void TKpBtnPnl::SetAlign(TAlign AValue)
{
    if (AValue == FAlign)
        return;
    FAlign = AValue;
    ArrangeControls(true);
}

bool TKpBtnPnl::Horizontal() const
{
    switch (FAlign) {
    case TAlign::alTop:
    case TAlign::alBottom:
    case TAlign::alCustom:
        return true;
    case TAlign::alLeft:
    case TAlign::alRight:
        return false;
    default:
        break;
    }
    if (auto* parentPanel = qobject_cast<const TKpBtnPnl*>(parentWidget()))
        if (FAlign == TAlign::alClient || FAutoSize)
            return parentPanel->Horizontal();
    return width() >= height();
}

int TKpBtnPnl::ControlStepPixels() const { return MulDiv(FControlStep, CurrentPPI(), 96); }
int TKpBtnPnl::BorderStepPixels() const { return MulDiv(FBorderStep, CurrentPPI(), 96); }

// ---- geometry in the panel's direction

int TKpBtnPnl::PosAlong(const QWidget* AControl) const { return Horizontal() ? AControl->x() : AControl->y(); }
int TKpBtnPnl::PosAcross(const QWidget* AControl) const { return Horizontal() ? AControl->y() : AControl->x(); }
int TKpBtnPnl::LengthOf(const QWidget* AControl) const { return Horizontal() ? AControl->width() : AControl->height(); }
int TKpBtnPnl::ThicknessOf(const QWidget* AControl) const { return Horizontal() ? AControl->height() : AControl->width(); }
int TKpBtnPnl::PanelThickness() const { return Horizontal() ? height() : width(); }
int TKpBtnPnl::PanelLength() const { return Horizontal() ? width() : height(); }

bool TKpBtnPnl::Counts(const QWidget* AControl) const
{
    // A control counts unless it was hidden on purpose; one not yet shown with its window counts.
    return !(AControl->isHidden() && AControl->testAttribute(Qt::WA_WState_ExplicitShowHide));
}

void TKpBtnPnl::SetPos(QWidget* AControl, int AAlong, int AAcross)
{
    if (Horizontal())
        AControl->move(AAlong, AAcross);
    else
        AControl->move(AAcross, AAlong);
}

int TKpBtnPnl::StartOffsetAcross() const
{
    int r = FBorderWidth + FBevelWidth;
    if (Counts(FTopLine))
        if ((Horizontal() && SeparatorAlign() == TAlign::alTop) || (!Horizontal() && SeparatorAlign() == TAlign::alLeft))
            r += ThicknessOf(FTopLine);
    return r;
}

int TKpBtnPnl::EndOffsetAcross() const
{
    int r = FBorderWidth + FBevelWidth;
    if (Counts(FTopLine))
        if ((Horizontal() && SeparatorAlign() == TAlign::alBottom) || (!Horizontal() && SeparatorAlign() == TAlign::alRight))
            r += ThicknessOf(FTopLine);
    return r;
}

int TKpBtnPnl::StartOffsetAlong() const
{
    int r = FBorderWidth + FBevelWidth;
    if (Counts(FTopLine))
        if ((Horizontal() && SeparatorAlign() == TAlign::alLeft) || (!Horizontal() && SeparatorAlign() == TAlign::alTop))
            r += LengthOf(FTopLine);
    return r;
}

int TKpBtnPnl::EndOffsetAlong() const
{
    int r = FBorderWidth + FBevelWidth;
    if (Counts(FTopLine))
        if ((Horizontal() && SeparatorAlign() == TAlign::alRight) || (!Horizontal() && SeparatorAlign() == TAlign::alBottom))
            r += LengthOf(FTopLine);
    return r;
}

// ---- properties

void TKpBtnPnl::SetCenterControls(bool AValue)
{
    if (AValue) {
        while (FRightControls->Count() > 0) {
            QWidget* w = FRightControls->At(0);
            FRightControls->Remove(w);
            FLeftControls->Append(w);
        }
    }
    FCenterControls = AValue;
    ArrangeControls(true);
}

void TKpBtnPnl::SetControlStep(int AValue)
{
    if (AValue == FControlStep)
        return;
    FControlStep = AValue;
    ArrangeControls(true);
}

void TKpBtnPnl::SetBorderStep(int AValue)
{
    if (AValue == FBorderStep)
        return;
    FBorderStep = AValue;
    ArrangeControls(true);
}

void TKpBtnPnl::SetAutoSizeProcessAligned(bool AValue)
{
    if (AValue == FAutoSizeProcessAligned)
        return;
    FAutoSizeProcessAligned = AValue;
    ArrangeControls(true);
}

void TKpBtnPnl::SetSeperated(bool AValue)
{
    FTopLine->setVisible(AValue);
    ArrangeControls(true);
}

void TKpBtnPnl::SetSeparatorAlign(TAlign AValue)
{
    if (AValue == TAlign::alNone || AValue == TAlign::alClient)
        AValue = TAlign::alTop;
    if (AValue == FTopLine->Align())
        return;
    FTopLine->SetAlign(AValue);
    FTopLine->resize(2, 2);
    ArrangeControls(true);
}

void TKpBtnPnl::SetWrap(bool AValue)
{
    FWrap = AValue;
    if (AValue)
        FAutoSize = true;
    ArrangeControls(true);
}

void TKpBtnPnl::SetAutoSize(bool AValue)
{
    // Wrapped lines need the panel to grow with them.
    if (!AValue && FWrap)
        return;
    FAutoSize = AValue;
    if (!AValue) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    ArrangeControls(true);
}

void TKpBtnPnl::SetResizeControls(bool AValue)
{
    FResizeControls = AValue;
}

void TKpBtnPnl::SetBevelWidth(int AValue)
{
    if (AValue == FBevelWidth)
        return;
    FBevelWidth = AValue;
    ArrangeControls(true);
}

QWidget* TKpBtnPnl::FstRightControl() const
{
    return FRightControls->Count() > 0 ? FRightControls->At(0) : nullptr;
}

void TKpBtnPnl::SetFstRightControl(QWidget* AValue)
{
    if (FLoading) {
        FrcLoadingHolder = AValue;
        return;
    }
    // A control of the panel not taken in yet is taken in first.
    if (AValue && !FLeftControls->Contains(AValue) && !FRightControls->Contains(AValue) && IsArranged(AValue))
        RefreshLists();
    if (!AValue) {
        while (FRightControls->Count() > 0) {
            QWidget* w = FRightControls->At(0);
            FRightControls->Remove(w);
            FLeftControls->Append(w);
        }
    } else if (const int n = FRightControls->IndexOf(AValue); n >= 0) {
        for (int k = 0; k < n; ++k) {
            QWidget* w = FRightControls->At(0);
            FRightControls->Remove(w);
            FLeftControls->Append(w);
        }
    } else if (const int i = FLeftControls->IndexOf(AValue); i >= 0) {
        QList<QWidget*> moving;
        while (FLeftControls->Count() > i) {
            QWidget* w = FLeftControls->At(i);
            FLeftControls->Remove(w);
            moving.append(w);
        }
        for (int k = static_cast<int>(moving.size()) - 1; k >= 0; --k)
            FRightControls->InsertAt(0, moving.at(k));
    } else {
        throw Exception(QStringLiteral("Kļūda! Komponentei jāatrodas uz paneļa"));
    }
    if (AValue)
        FCenterControls = false;
    ArrangeControls(true);
}

void TKpBtnPnl::PrepareControl(QWidget* AControl)
{
    if (AControl->parentWidget() != this) {
        const bool explicitlyHidden = AControl->isHidden() && AControl->testAttribute(Qt::WA_WState_ExplicitShowHide);
        AControl->setParent(this);
        if (!explicitlyHidden && isVisible())
            AControl->show();
    }
    FLeftControls->Remove(AControl);
    FRightControls->Remove(AControl);
}

void TKpBtnPnl::PlaceControl(QWidget* AControl, TControlPlacement APlacement)
{
    if (!AControl || AControl == FTopLine)
        return;
    {
        TFlagGuard guard(FUpdating);
        PrepareControl(AControl);
        if (FCenterControls && (APlacement == TControlPlacement::cpFirstRight || APlacement == TControlPlacement::cpLastRight))
            APlacement = TControlPlacement::cpLastLeft;
        switch (APlacement) {
        case TControlPlacement::cpFirstLeft: FLeftControls->InsertAt(0, AControl); break;
        case TControlPlacement::cpLastLeft: FLeftControls->Append(AControl); break;
        case TControlPlacement::cpFirstRight: FRightControls->InsertAt(0, AControl); break;
        case TControlPlacement::cpLastRight: FRightControls->Append(AControl); break;
        }
    }
    ArrangeControls(true);
}

void TKpBtnPnl::InsertAfter(QWidget* AControl, QWidget* AControlAfter)
{
    if (!AControl || AControl == AControlAfter || AControl == FTopLine)
        return;
    {
        TFlagGuard guard(FUpdating);
        PrepareControl(AControl);
        if (const int i = FLeftControls->IndexOf(AControlAfter); AControlAfter && i >= 0)
            FLeftControls->InsertAt(i + 1, AControl);
        else if (const int j = FRightControls->IndexOf(AControlAfter); AControlAfter && j >= 0)
            FRightControls->InsertAt(j + 1, AControl);
        else
            FLeftControls->InsertAt(0, AControl);
    }
    ArrangeControls(true);
}

void TKpBtnPnl::InsertBefore(QWidget* AControl, QWidget* AControlBefore)
{
    if (!AControl || AControl == AControlBefore || AControl == FTopLine)
        return;
    {
        TFlagGuard guard(FUpdating);
        PrepareControl(AControl);
        if (const int i = FLeftControls->IndexOf(AControlBefore); AControlBefore && i >= 0)
            FLeftControls->InsertAt(i, AControl);
        else if (const int j = FRightControls->IndexOf(AControlBefore); AControlBefore && j >= 0)
            FRightControls->InsertAt(j, AControl);
        else
            FLeftControls->InsertAt(0, AControl);
    }
    ArrangeControls(true);
}

// ---- resizable controls and their sizes text

bool TKpBtnPnl::DefaultCanResizeControl(QWidget* AControl, int ANewWidth) const
{
    if (!(ANewWidth == -100 || ANewWidth > MulDiv(16, CurrentPPI(), 96)))
        return false;
    return qobject_cast<QLineEdit*>(AControl) || qobject_cast<QTextEdit*>(AControl)
        || qobject_cast<QPlainTextEdit*>(AControl) || qobject_cast<QComboBox*>(AControl)
        || qobject_cast<QAbstractItemView*>(AControl);
}

bool TKpBtnPnl::CanResizeControl(QWidget* AControl, int ANewWidth)
{
    bool can = DefaultCanResizeControl(AControl, ANewWidth);
    if (OnCanResizeControl)
        OnCanResizeControl(this, AControl, ANewWidth, can);
    return can;
}

QString TKpBtnPnl::GetControlSizesString()
{
    QString r;
    for (QWidget* c : ArrangedChildren()) {
        if (auto* nested = qobject_cast<TKpBtnPnl*>(c))
            r += nested->objectName() + QLatin1Char('(') + nested->GetControlSizesString() + QStringLiteral(");");
        else if (CanResizeControl(c, -100))
            r += c->objectName() + QLatin1Char(':') + QString::number(MulDiv(c->width(), 96, CurrentPPI()))
                + QLatin1Char(';');
    }
    return r;
}

void TKpBtnPnl::SetControlSizesString(const QString& AValue)
{
    QString rest = AValue;
    while (!rest.isEmpty()) {
        QString entry;
        KpUt::StrToken(rest, entry, QStringLiteral(";"), true);
        QString name;
        KpUt::StrToken(entry, name, QStringLiteral(":"), true);
        const QString widthText = entry.trimmed();
        if (name.isEmpty() || widthText.isEmpty())
            continue;
        int width96 = 0;
        if (!TryStrToInt(widthText, width96))
            continue;
        const int width = MulDiv(width96, CurrentPPI(), 96);
        for (QWidget* c : ArrangedChildren()) {
            if (c->objectName() == name && CanResizeControl(c, width)) {
                c->resize(width, c->height());
                break;
            }
        }
    }
    ArrangeControls(false);
}

int TKpBtnPnl::SingleLineWidth() const
{
    return FLeftControls->CalcLengthSingleLine() + BorderStepPixels() + FRightControls->CalcLengthSingleLine();
}

int TKpBtnPnl::MultiLineWidth() const
{
    return FLeftControls->CalcLengthMultiLine() + BorderStepPixels() + FRightControls->CalcLengthMultiLine();
}

// ---- arranging

bool TKpBtnPnl::IsArranged(const QWidget* AChild) const
{
    return AChild && AChild != FTopLine && AChild->parentWidget() == this && !AChild->isWindow();
}

QList<QWidget*> TKpBtnPnl::ArrangedChildren() const
{
    QList<QWidget*> r;
    for (QObject* o : children())
        if (o->isWidgetType() && IsArranged(static_cast<QWidget*>(o)))
            r.append(static_cast<QWidget*>(o));
    return r;
}

void TKpBtnPnl::SortGroup(TComponentsList& AList)
{
    FHiddenControls = &AList.HiddenControls();
    AList.Sort();
    FHiddenControls = nullptr;
}

void TKpBtnPnl::RefreshLists()
{
    for (QWidget* c : ArrangedChildren()) {
        if (FLeftControls->Contains(c) || FRightControls->Contains(c))
            continue;
        if (!FLeftControls->Contains(c) && FRightControls->BelongsInRight(c))
            FRightControls->Insert(c);
        else if (!FRightControls->Contains(c) && FLeftControls->BelongsInLeft(c))
            FLeftControls->Insert(c);
    }
    SortGroup(*FLeftControls);
    SortGroup(*FRightControls);
}

void TKpBtnPnl::PlaceSeparator()
{
    const int t = 2;
    switch (FTopLine->Align()) {
    case TAlign::alBottom: FTopLine->setGeometry(0, height() - t, width(), t); break;
    case TAlign::alLeft: FTopLine->setGeometry(0, 0, t, height()); break;
    case TAlign::alRight: FTopLine->setGeometry(width() - t, 0, t, height()); break;
    default: FTopLine->setGeometry(0, 0, width(), t); break;
    }
}

void TKpBtnPnl::ArrangeControls(bool AKeepLists)
{
    if (FUpdating || FLoading)
        return;
    TFlagGuard guard(FUpdating);
    if (!AKeepLists)
        RefreshLists();
    PlaceSeparator();
    const int startAlong = StartOffsetAlong();
    const int startAcross = StartOffsetAcross();
    const int available = PanelLength() - startAlong - EndOffsetAlong();
    const int border = BorderStepPixels();
    using A = TComponentsList::THAlign;
    if (FCenterControls) {
        FLeftControls->PlaceControls(startAlong, available, startAcross, A::Centre, FWrap);
    } else if (!FWrap) {
        const TPlacedSpan left = FLeftControls->PlaceControls(startAlong, available, startAcross, A::Left, false);
        const int rightStart = FLeftControls->Count() > 0 ? left.A1 - border : startAlong;
        FRightControls->PlaceControls(rightStart, startAlong + available - rightStart, startAcross, A::Right, false);
    } else {
        FlrWrapped = false;
        const int leftMulti = FLeftControls->CalcLengthMultiLine();
        const int rightMulti = FRightControls->CalcLengthMultiLine();
        int room = FRightControls->CalcLengthSingleLine() - (leftMulti > 0 ? border : 0);
        if (available - room < leftMulti) {
            room = available - leftMulti;
            if (room < rightMulti) {
                FlrWrapped = true;
                room = rightMulti;
            }
        }
        const TPlacedSpan left = FLeftControls->PlaceControls(startAlong, FlrWrapped ? available : available - room,
                                                              startAcross, A::Left, true);
        if (FlrWrapped) {
            FRightControls->PlaceControls(startAlong, available, left.C1 - border, A::Right, true);
        } else {
            const int rightStart = FLeftControls->Count() > 0 ? left.A1 - border : startAlong;
            FRightControls->PlaceControls(rightStart, startAlong + available - rightStart, startAcross, A::Right, true);
        }
    }
    if (FAutoSize)
        SelfSize();
}

void TKpBtnPnl::SelfSize()
{
    if (FAlign == TAlign::alClient || FAlign == TAlign::alCustom)
        return;
    int across = 0;
    int along = 0;
    auto take = [&](const QWidget* c) {
        across = std::max(across, PosAcross(c) + ThicknessOf(c));
        along = std::max(along, PosAlong(c) + LengthOf(c));
    };
    for (const TComponentsList* list : { FLeftControls.get(), FRightControls.get() })
        for (QWidget* c : list->Items())
            if (Counts(c))
                take(c);
    if (FAutoSizeProcessAligned && Counts(FTopLine))
        take(FTopLine);
    const int border = BorderStepPixels();
    if (across > 0)
        across += border;
    if (along > 0)
        along += border;
    across += EndOffsetAcross();
    along += EndOffsetAlong();
    if (Horizontal()) {
        if (FAlign != TAlign::alLeft && FAlign != TAlign::alRight)
            setFixedHeight(across);
        if (FAlign == TAlign::alNone || FAlign == TAlign::alLeft || FAlign == TAlign::alRight)
            setFixedWidth(along);
    } else {
        if (FAlign == TAlign::alNone || FAlign == TAlign::alLeft || FAlign == TAlign::alRight)
            setFixedWidth(across);
        if (FAlign == TAlign::alNone || FAlign == TAlign::alTop || FAlign == TAlign::alBottom)
            setFixedHeight(along);
    }
    PlaceSeparator();
    updateGeometry();
}

QSize TKpBtnPnl::sizeHint() const
{
    return size();
}

void TKpBtnPnl::Loaded()
{
    FLoading = false;
    for (QWidget* c : ArrangedChildren()) {
        c->installEventFilter(this);
        if (!FLeftControls->Contains(c) && !FRightControls->Contains(c))
            FLeftControls->Insert(c);
    }
    if (QWidget* holder = FrcLoadingHolder.data(); holder && FLeftControls->Contains(holder)) {
        SortGroup(*FLeftControls);
        FlrWrapped = false;
        for (QWidget* c : FLeftControls->Items()) {
            if (c != holder && PosAcross(c) + ThicknessOf(c) < PosAcross(holder)
                && PosAlong(c) + LengthOf(c) > PosAlong(holder))
                FlrWrapped = true;
        }
        for (int i = FLeftControls->Count() - 1; i >= 0; --i) {
            QWidget* c = FLeftControls->At(i);
            const bool moves = FlrWrapped ? PosAcross(c) + ThicknessOf(c) > PosAcross(holder)
                                          : PosAlong(c) + LengthOf(c) > PosAlong(holder);
            if (moves) {
                FLeftControls->Remove(c);
                FRightControls->InsertAt(0, c);
            }
        }
    }
    FrcLoadingHolder = nullptr;
    SortGroup(*FLeftControls);
    SortGroup(*FRightControls);
    ArrangeControls(false);
}

void TKpBtnPnl::ChangeScale(int, int)
{
    ArrangeControls(true);
}

void TKpBtnPnl::RequestArrange()
{
    if (FArrangePending || FLoading)
        return;
    FArrangePending = true;
    QTimer::singleShot(0, this, [this] {
        FArrangePending = false;
        ArrangeControls(false);
    });
}

bool TKpBtnPnl::event(QEvent* AEvent)
{
    if (AEvent->type() == QEvent::Show)
        ArrangeControls(false);
    return QFrame::event(AEvent);
}

void TKpBtnPnl::childEvent(QChildEvent* AEvent)
{
    QFrame::childEvent(AEvent);
    if (!FLeftControls)
        return;
    if (AEvent->added()) {
        if (AEvent->child()->isWidgetType() && AEvent->child() != FTopLine) {
            AEvent->child()->installEventFilter(this);
            RequestArrange();
        }
    } else if (AEvent->removed()) {
        auto* w = static_cast<QWidget*>(AEvent->child());
        FLeftControls->Remove(w);
        FRightControls->Remove(w);
        if (FResizeControl == w)
            FResizeControl = nullptr;
        RequestArrange();
    }
}

bool TKpBtnPnl::eventFilter(QObject* AWatched, QEvent* AEvent)
{
    switch (AEvent->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        RequestArrange();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (!FUpdating)
            RequestArrange();
        break;
    default:
        break;
    }
    return QFrame::eventFilter(AWatched, AEvent);
}

void TKpBtnPnl::resizeEvent(QResizeEvent* AEvent)
{
    QFrame::resizeEvent(AEvent);
    PlaceSeparator();
    if (!FUpdating)
        RequestArrange();
}

// ---- resizing controls with the mouse

void TKpBtnPnl::mouseMoveEvent(QMouseEvent* AEvent)
{
    if (FResizeControls) {
        const QPoint pos = AEvent->position().toPoint();
        if (FResizeTracking < 0 || !FResizeControl) {
            FResizeControl = nullptr;
            for (QWidget* c : ArrangedChildren()) {
                const QRect r = c->geometry();
                const int edge = r.x() + r.width();
                if (pos.x() >= edge && pos.x() < edge + 3 && pos.y() >= r.y() && pos.y() < r.y() + r.height()
                    && CanResizeControl(c, c->width())) {
                    FResizeControl = c;
                    break;
                }
            }
            if (FResizeControl)
                setCursor(Qt::SizeHorCursor);
            else
                unsetCursor();
        } else {
            setCursor(Qt::SizeHorCursor);
            if (pos.x() != FResizeTracking) {
                const int newWidth = FResizeControl->width() + pos.x() - FResizeTracking;
                if (CanResizeControl(FResizeControl, newWidth)) {
                    FResizeControl->resize(newWidth, FResizeControl->height());
                    FResizeTracking = pos.x();
                }
            }
        }
    }
    QFrame::mouseMoveEvent(AEvent);
}

void TKpBtnPnl::mousePressEvent(QMouseEvent* AEvent)
{
    if (FResizeControls && FResizeControl && AEvent->button() == Qt::LeftButton)
        FResizeTracking = AEvent->position().toPoint().x();
    QFrame::mousePressEvent(AEvent);
}

void TKpBtnPnl::mouseReleaseEvent(QMouseEvent* AEvent)
{
    if (FResizeTracking >= 0) {
        FResizeTracking = -1;
        FResizeControl = nullptr;
        unsetCursor();
    }
    QFrame::mouseReleaseEvent(AEvent);
}
