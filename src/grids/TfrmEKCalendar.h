#pragma once

#include "base/TInterimType.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QWidget;
class TAlignedEdit;
class TEkCalendar;
class TKpComboBox;
class TUpDown;
class TtbtnKp;

// The small modal calendar a grid cell opens: month and year selectors over a month grid, a
// two-digit period (interim) value for period dates, and a month-only mode without the grid.
// Closes with OK (Enter, a double click on a day, Alt+Up/Down, the check button) or Cancel
// (Esc, the cross button).
class TfrmEKCalendar : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEKCalendar(QWidget* AOwner = nullptr);
    ~TfrmEKCalendar() override;

    bool MonthOnly() const { return FMonthOnly; }
    // Hides the month grid and makes the form shorter by its height (or the reverse).
    void SetMonthOnly(bool AValue);
    TInterimType InterimType() const { return FInterimType; }
    void SetInterimType(TInterimType AValue);
    const QString& InterimValue() const { return FInterimValue; }
    void SetInterimValue(const QString& AValue) { FInterimValue = AValue; }
    bool InterimOnly() const { return FInterimOnly; }
    // The interim value then never goes below 1.
    void SetInterimOnly(bool AValue);

    TEkCalendar* Calendar() const { return FCalendar; }
    TKpComboBox* cboMonth() const { return FcboMonth; }
    QLineEdit* edtYear() const { return FedtYear; }
    TAlignedEdit* edtInterim() const { return FedtInterim; }
    TUpDown* spnMonth() const { return FspnMonth; }
    TUpDown* spnYear() const { return FspnYear; }
    TUpDown* spnInterim() const { return FspnInterim; }
    TtbtnKp* btnOk() const { return FbtnOk; }
    TtbtnKp* btnCancel() const { return FbtnCancel; }
    TtbtnKp* btnCurrentDate() const { return FbtnCurrentDate; }

    // The selectors follow the calendar's date and the interim value (run when shown).
    void FormShow();
    // The month spinner's click, also run by the month box's arrow keys at a year's end.
    void spnMonthClick();
    void spnYearClick();
    void spnInterimClick();
    void cboMonthChange();
    void btnCurrentDateClick();
    void CalendarChange();

protected:
    void showEvent(QShowEvent* AEvent) override;
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;
    void keyPressEvent(QKeyEvent* AEvent) override;
    void paintEvent(QPaintEvent* AEvent) override;

private:
    void ArrangeForInterimType(TInterimType AType);
    // Pixels at the form's resolution for n pixels at 96 dpi.
    int S(int n) const;
    // Arrow keys in the year and interim edits step their spinners.
    bool SpinByKey(QLineEdit* AEdit, TUpDown* ASpinner, int AKey);
    void ShowInterim();
    void SyncSelectors();

    TKpComboBox* FcboMonth;
    QLineEdit* FedtYear;
    TAlignedEdit* FedtInterim;
    TtbtnKp* FbtnOk;
    TtbtnKp* FbtnCancel;
    TUpDown* FspnMonth;
    TtbtnKp* FbtnCurrentDate;
    TUpDown* FspnYear;
    TUpDown* FspnInterim;
    TEkCalendar* FCalendar;

    bool FMonthOnly = false;
    TInterimType FInterimType = TInterimType::InterimBeforeFirst;
    QString FInterimValue = QStringLiteral("00");
    bool FInterimOnly = false;
    bool FFireChangeEvent = true;
    bool FSyncing = false;
};

// Places a pop-up form at an edit control: its right edge at the edit's right edge and its
// top at the edit's bottom, kept inside the work area of the edit's monitor, above the edit
// when it would pass the bottom.
void PositionPopupForm(QWidget* AForm, QWidget* AEdit);
