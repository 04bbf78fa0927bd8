#include "grids/TfrmEKCalendar.h"

#include "controls/TAlignedEdit.h"
#include "controls/TEkCalendar.h"
#include "controls/TKpComboBox.h"
#include "controls/TtbtnKp.h"
#include "grids/TUpDown.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/ui/UiServices.h"

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScopedValueRollback>
#include <algorithm>

namespace {

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString CapitalizeFirstLetter(const QString& s) { return s.isEmpty() ? s : s.left(1).toUpper() + s.mid(1); }

} // namespace

TfrmEKCalendar::TfrmEKCalendar(QWidget* AOwner)
    : QDialog(AOwner, Qt::Popup)
    , FcboMonth(new TKpComboBox(this))
    , FedtYear(new QLineEdit(this))
    , FedtInterim(new TAlignedEdit(this))
    , FbtnOk(new TtbtnKp(this))
    , FbtnCancel(new TtbtnKp(this))
    , FspnMonth(new TUpDown(this))
    , FbtnCurrentDate(new TtbtnKp(this))
    , FspnYear(new TUpDown(this))
    , FspnInterim(new TUpDown(this))
    , FCalendar(new TEkCalendar(this))
{
    setObjectName(QStringLiteral("frmEKCalendar"));
    QFont bold = font();
    bold.setBold(true);

    FcboMonth->setGeometry(S(0), S(0), S(98), S(21));
    FcboMonth->SetDropDownCount(12);
    FcboMonth->setFont(bold);
    FedtYear->setGeometry(S(98), S(0), S(52), S(21));
    FedtYear->setReadOnly(true);
    FedtYear->setFont(bold);
    FedtYear->setAlignment(Qt::AlignCenter);
    FedtInterim->setGeometry(S(151), S(0), S(31), S(21));
    FedtInterim->SetAlignment(TAlignment::taCenter);
    FedtInterim->setAlignment(Qt::AlignCenter);
    FedtInterim->setReadOnly(true);
    FedtInterim->setFont(bold);
    FedtInterim->setText(QStringLiteral("0"));
    FedtInterim->SetDisplayFormat(QStringLiteral("00"));
    FbtnOk->setGeometry(S(185), S(0), S(22), S(20));
    FbtnOk->SetImageName(QStringLiteral("CHECKMARK"));
    FbtnCancel->setGeometry(S(185), S(20), S(22), S(20));
    FbtnCancel->SetImageName(QStringLiteral("CROSSMARK"));
    FspnMonth->setGeometry(S(1), S(21), S(76), S(19));
    FspnMonth->SetRange(-1, 12);
    FbtnCurrentDate->setGeometry(S(79), S(21), S(18), S(18));
    FbtnCurrentDate->SetImageName(QStringLiteral("ACTIONS_CALENDAR_SVG"));
    FbtnCurrentDate->SetHint(QStringLiteral("Tekošais datums"));
    FspnYear->setGeometry(S(99), S(21), S(52), S(19));
    FspnInterim->setGeometry(S(152), S(21), S(32), S(19));
    FspnInterim->SetRange(0, 99);
    FCalendar->setGeometry(S(0), S(40), S(207), S(110));
    FCalendar->SetStartOfWeek(1);
    FCalendar->SetShowGridLines(false);
    FCalendar->SetWeekendColor(palette().color(QPalette::WindowText));
    FCalendar->SetDaysOfWeekColor(palette().color(QPalette::ButtonText));
    FCalendar->SetDaysOfWeekBkColor(palette().color(QPalette::Button));
    FCalendar->SetInactiveDaysColor(palette().color(QPalette::Disabled, QPalette::Text));
    resize(S(207), S(150));

    setTabOrder(FCalendar, FcboMonth);
    setTabOrder(FcboMonth, FedtYear);
    setTabOrder(FedtYear, FedtInterim);

    FbtnOk->OnClick = [this](TtbtnKp*) { done(QDialog::Accepted); };
    FbtnCancel->OnClick = [this](TtbtnKp*) { done(QDialog::Rejected); };
    FbtnCurrentDate->OnClick = [this](TtbtnKp*) { btnCurrentDateClick(); };
    FspnMonth->OnClick = [this](TUpDown*, TUpDown::TUDBtnType) { spnMonthClick(); };
    FspnYear->OnClick = [this](TUpDown*, TUpDown::TUDBtnType) { spnYearClick(); };
    FspnInterim->OnClick = [this](TUpDown*, TUpDown::TUDBtnType) { spnInterimClick(); };
    connect(FcboMonth, &QComboBox::activated, this, [this] { cboMonthChange(); });
    // A click or key in the month grid stays within its month: the selectors need not follow.
    FCalendar->OnChange = [this](TCalendar*) { CalendarChange(); };

    // Keys reach the form before its controls.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    FCalendar->viewport()->installEventFilter(this);

    ArrangeForInterimType(TInterimType::InterimNo);
}

TfrmEKCalendar::~TfrmEKCalendar()
{
    FCalendar->OnChange = nullptr;
}

int TfrmEKCalendar::S(int n) const
{
    return n * UiServices::PixelsPerInch(this) / 96;
}

void TfrmEKCalendar::SetMonthOnly(bool AValue)
{
    if (AValue == FMonthOnly)
        return;
    FMonthOnly = AValue;
    FCalendar->setVisible(!AValue);
    resize(width(), height() + (AValue ? -FCalendar->height() : FCalendar->height()));
}

void TfrmEKCalendar::SetInterimType(TInterimType AValue)
{
    if (AValue != FInterimType)
        ArrangeForInterimType(AValue);
}

void TfrmEKCalendar::SetInterimOnly(bool AValue)
{
    if (AValue == FInterimOnly)
        return;
    FInterimOnly = AValue;
    FspnInterim->SetMin(AValue ? 1 : 0);
}

void TfrmEKCalendar::ArrangeForInterimType(TInterimType AType)
{
    FInterimType = AType;
    if (AType == TInterimType::InterimNo)
        FInterimValue = QStringLiteral("00");
    const bool interim = AType == TInterimType::InterimAfterLast;
    FedtInterim->setVisible(interim);
    FspnInterim->setVisible(interim);
    const QWidget* last = interim ? static_cast<QWidget*>(FedtInterim) : FedtYear;
    const int right = last->x() + last->width();
    FbtnOk->move(right + S(2), FbtnOk->y());
    FbtnCancel->move(right + S(2), FbtnCancel->y());
    FCalendar->resize(right - FCalendar->x(), FCalendar->height());
    resize(FbtnOk->x() + FbtnOk->width() + S(2), height());
}

void TfrmEKCalendar::showEvent(QShowEvent* AEvent)
{
    FormShow();
    QDialog::showEvent(AEvent);
    FCalendar->setFocus();
}

void TfrmEKCalendar::FormShow()
{
    const QScopedValueRollback<bool> guard(FSyncing, true);
    FcboMonth->clear();
    for (const QString& name : FormatSettings::Default().LongMonthNames)
        FcboMonth->addItem(CapitalizeFirstLetter(name));
    bool ok = false;
    const int interim = FInterimValue.toInt(&ok);
    FspnInterim->SetPosition(ok ? interim : 0);
    FedtInterim->setText(TwoDigits(FspnInterim->Position()));
    SyncSelectors();
}

void TfrmEKCalendar::SyncSelectors()
{
    const QScopedValueRollback<bool> guard(FSyncing, true);
    const int month = FCalendar->Month();
    FcboMonth->setCurrentIndex(month - 1);
    FspnMonth->SetPosition(month - 1);
    FedtYear->setText(QString::number(FCalendar->Year()));
    FspnYear->SetPosition(FCalendar->Year());
}

void TfrmEKCalendar::spnMonthClick()
{
    try {
        // At the ends of the year range the month stops instead of wrapping within the same year.
        if (FspnMonth->Position() == -1) {
            if (FspnYear->Position() <= FspnYear->Min()) {
                FspnMonth->SetPosition(0);
            } else {
                FspnMonth->SetPosition(11);
                FspnYear->SetPosition(FspnYear->Position() - 1);
                spnYearClick();
            }
        } else if (FspnMonth->Position() == 12) {
            if (FspnYear->Position() >= FspnYear->Max()) {
                FspnMonth->SetPosition(11);
            } else {
                FspnMonth->SetPosition(0);
                FspnYear->SetPosition(FspnYear->Position() + 1);
                spnYearClick();
            }
        }
    } catch (...) {
        // A year beyond the calendar's dates keeps the old year; the month still moves.
    }
    {
        const QScopedValueRollback<bool> guard(FSyncing, true);
        FcboMonth->setCurrentIndex(FspnMonth->Position());
    }
    FFireChangeEvent = false;
    try {
        const int month = FspnMonth->Position() + 1;
        const int last = FCalendar->DaysPerMonth(FCalendar->Year(), month);
        if (last < FCalendar->Day())
            FCalendar->SetDay(last);
        FCalendar->SetMonth(month);
        if (FspnInterim->Position() != 0 && FCalendar->Day() != last)
            FCalendar->SetDay(last);
    } catch (...) {
        FFireChangeEvent = true;
        throw;
    }
    FFireChangeEvent = true;
    CalendarChange();
}

void TfrmEKCalendar::spnYearClick()
{
    FedtYear->setText(QString::number(FspnYear->Position()));
    const int target = FspnYear->Position();
    while (FCalendar->Year() < target)
        FCalendar->NextYear();
    while (FCalendar->Year() > target)
        FCalendar->PrevYear();
}

void TfrmEKCalendar::spnInterimClick()
{
    FedtInterim->setText(TwoDigits(FspnInterim->Position()));
    FInterimValue = FedtInterim->text();
}

void TfrmEKCalendar::cboMonthChange()
{
    if (FSyncing || FcboMonth->currentIndex() < 0)
        return;
    const int month = FcboMonth->currentIndex() + 1;
    const int last = FCalendar->DaysPerMonth(FCalendar->Year(), month);
    if (last < FCalendar->Day())
        FCalendar->SetDay(last);
    FCalendar->SetMonth(month);
    FspnMonth->SetPosition(FcboMonth->currentIndex());
}

void TfrmEKCalendar::btnCurrentDateClick()
{
    FCalendar->SetCalendarDate(Clock::Date());
    SyncSelectors();
}

void TfrmEKCalendar::ShowInterim() { spnInterimClick(); }

void TfrmEKCalendar::CalendarChange()
{
    if (!FFireChangeEvent || FInterimType != TInterimType::InterimAfterLast)
        return;
    const bool lastDay = FCalendar->Day() == FCalendar->DaysPerMonth(FCalendar->Year(), FCalendar->Month());
    QPalette p = FedtInterim->palette();
    if (lastDay) {
        if (FspnInterim->Position() == 0 && FspnInterim->Min() != 0)
            FspnInterim->SetPosition(FspnInterim->Min());
        ShowInterim();
        p.setColor(QPalette::Base, palette().color(QPalette::Base));
    } else {
        FspnInterim->SetPosition(0);
        ShowInterim();
        p.setColor(QPalette::Base, FCalendar->DaysOfWeekBkColor());
    }
    FedtInterim->setEnabled(lastDay);
    FspnInterim->setEnabled(lastDay);
    FedtInterim->setPalette(p);
}

bool TfrmEKCalendar::SpinByKey(QLineEdit* AEdit, TUpDown* ASpinner, int AKey)
{
    switch (AKey) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        ASpinner->Step(TUpDown::TUDBtnType::btPrev);
        break;
    case Qt::Key_Up:
    case Qt::Key_Right:
        ASpinner->Step(TUpDown::TUDBtnType::btNext);
        break;
    default:
        return false;
    }
    AEdit->selectAll();
    return true;
}

bool TfrmEKCalendar::eventFilter(QObject* AWatched, QEvent* AEvent)
{
    if (AEvent->type() == QEvent::MouseButtonDblClick && AWatched == FCalendar->viewport()) {
        // The first press of the double click has already chosen the day.
        done(QDialog::Accepted);
        return true;
    }
    if (AEvent->type() != QEvent::KeyPress)
        return QDialog::eventFilter(AWatched, AEvent);
    auto* key = static_cast<QKeyEvent*>(AEvent);
    const bool alt = key->modifiers() & Qt::AltModifier;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (FcboMonth->view()->isVisible())
            break;
        done(QDialog::Accepted);
        return true;
    case Qt::Key_Escape:
        if (FcboMonth->view()->isVisible())
            break;
        done(QDialog::Rejected);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (alt) {
            done(QDialog::Accepted);
            return true;
        }
        break;
    default:
        break;
    }
    if (AWatched == FedtYear)
        return SpinByKey(FedtYear, FspnYear, key->key()) || QDialog::eventFilter(AWatched, AEvent);
    if (AWatched == FedtInterim)
        return SpinByKey(FedtInterim, FspnInterim, key->key()) || QDialog::eventFilter(AWatched, AEvent);
    if (AWatched == FcboMonth && !FcboMonth->view()->isVisible()) {
        const int k = key->key();
        if ((k == Qt::Key_Left || k == Qt::Key_Up) && FcboMonth->currentIndex() == 0) {
            FspnMonth->Step(TUpDown::TUDBtnType::btPrev);
            return true;
        }
        if ((k == Qt::Key_Right || k == Qt::Key_Down) && FcboMonth->currentIndex() == 11) {
            FspnMonth->Step(TUpDown::TUDBtnType::btNext);
            return true;
        }
        if (k == Qt::Key_Left || k == Qt::Key_Right) {
            FcboMonth->setCurrentIndex(FcboMonth->currentIndex() + (k == Qt::Key_Left ? -1 : 1));
            cboMonthChange();
            return true;
        }
    }
    return QDialog::eventFilter(AWatched, AEvent);
}

void TfrmEKCalendar::keyPressEvent(QKeyEvent* AEvent)
{
    // Keys that reach the form itself (no control focused) close it as in its controls.
    if (!eventFilter(this, AEvent))
        QDialog::keyPressEvent(AEvent);
}

void TfrmEKCalendar::paintEvent(QPaintEvent* AEvent)
{
    QDialog::paintEvent(AEvent);
    // A thin border: the form has no frame of its own.
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PositionPopupForm(QWidget* AForm, QWidget* AEdit)
{
    const QPoint a = AEdit->mapToGlobal(QPoint(AEdit->width(), AEdit->height()));
    QScreen* screen = QGuiApplication::screenAt(a);
    if (!screen)
        screen = AEdit->screen();
    const QRect w = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 16, 1 << 16);
    // The visible frame relative to the form's top-left.
    const QRect frame(0, 0, AForm->frameGeometry().width(), AForm->frameGeometry().height());
    const int fRight = frame.x() + frame.width();
    const int fBottom = frame.y() + frame.height();
    int x = a.x() - fRight;
    int y = a.y() - frame.y();
    x = std::min(std::max(x, w.x() - frame.x()), w.x() + w.width() - fRight);
    y = std::max(y, w.y());
    if (y > w.y() + w.height() - AForm->height())
        y = y - AEdit->height() - fBottom;
    if (AForm->parentWidget() && !AForm->isWindow())
        AForm->move(AForm->parentWidget()->mapFromGlobal(QPoint(x, y)));
    else
        AForm->move(x, y);
}
