#pragma once

#include "base/TSortOrder.h"

#include <QPoint>
#include <QString>

class QWidget;
class TDataSet;

// How a search window reaches the grid it searches in.
class IGridSearch {
public:
    virtual ~IGridSearch() = default;

    virtual QWidget* GetSearchForm() = 0;
    // The grid takes ownership of the window.
    virtual void SetSearchForm(QWidget* AForm) = 0;
    virtual QWidget* GetSelf() = 0;
    virtual QWidget* GetControl() = 0;
    virtual TDataSet* GetDataSet() = 0;
    virtual QString GetPopupFieldName() = 0;
    virtual TSortOrder GetPopupSortOrder() = 0;
    virtual QPoint GetSearchFormPos() = 0;
    virtual void SetSearchFormPos(const QPoint& Point) = 0;
    virtual QString GetCaption() = 0;
    virtual QString GetPopupIdxFields() = 0;
    virtual QString GetSortFilter(const QString& FieldNames) = 0;
    virtual bool IsUseDisplayTextForFinds() = 0;
    virtual void Invalidate() = 0;
    // Hooks by which a grid may take a search over (Handled := true).
    virtual void DoIncrementalSearch(const QString& FieldName, const QString& Text, bool& Handled) = 0;
    virtual void DoSearchForward(const QString& FieldName, const QString& Text, bool CaseInsensitive,
                                 bool& Handled) = 0;
    virtual void DoSearchBackward(const QString& FieldName, const QString& Text, bool CaseInsensitive,
                                  bool& Handled) = 0;
    virtual void JumpToStart(bool& Handled) = 0;
};
