#pragma once

#include "controls/TKpEditButtonItem.h"

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

// The edit-button items of one edit; keeps their buttons arranged from the edit's right
// end and the edit's text clear of them.
class TKpEditButtonItems : public QObject {
    Q_OBJECT
public:
    explicit TKpEditButtonItems(QLineEdit* AEdit);
    ~TKpEditButtonItems() override;

    QLineEdit* Edit() const { return FEdit; }
    TKpEditButtonItem* Add();
    void Delete(int AIndex);
    int Count() const { return static_cast<int>(FItems.size()); }
    TKpEditButtonItem* Items(int AIndex) const { return FItems.at(static_cast<size_t>(AIndex)).get(); }

    // Hide every button while the edit is not focused.
    bool HideWhenNotFocused() const { return FHideWhenNotFocused; }
    void SetHideWhenNotFocused(bool AValue);
    // Append each button's shortcut to its hint.
    bool ShortCutInHint() const { return FShortCutInHint; }
    void SetShortCutInHint(bool AValue);

    // The edit's client rectangle (inside its frame), in the edit's coordinates.
    QRect ClientRect() const;
    void ArrangeButtons();

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

private:
    QPointer<QLineEdit> FEdit;
    std::vector<std::unique_ptr<TKpEditButtonItem>> FItems;
    bool FHideWhenNotFocused = false;
    bool FShortCutInHint = false;
    bool FArranging = false;
};
