#pragma once

#include "controls/TKpEditButtonItemRole.h"
#include "controls/TtbtnKp.h"

#include <QKeySequence>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QMenu;
class TKpEditButtonItems;

// One tool button inside the right end of an edit, with an optional role that decides
// when it shows and what its click does.
class TKpEditButtonItem {
public:
    using TCanShowEvent = std::function<void(TKpEditButtonItem* Sender, bool& CanShow)>;

    explicit TKpEditButtonItem(TKpEditButtonItems* ACollection);
    ~TKpEditButtonItem();
    TKpEditButtonItem(const TKpEditButtonItem&) = delete;
    TKpEditButtonItem& operator=(const TKpEditButtonItem&) = delete;

    TtbtnKp* Button() const { return FButton; }
    TKpEditButtonItems* Collection() const { return FCollection; }
    void Click();
    void Assign(const TKpEditButtonItem& ASource);

    // The stored flag, which OnCanShow may turn off.
    bool Visible() const;
    bool StoredVisible() const { return FVisible; }
    void SetVisible(bool AValue);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool AValue);
    QString Caption() const { return FButton->Caption(); }
    void SetCaption(const QString& AValue) { FButton->SetCaption(AValue); }
    QString ImageName() const { return FButton->ImageName(); }
    void SetImageName(const QString& AValue) { FButton->SetImageName(AValue); }
    QMenu* DropDownMenu() const { return FButton->DropDownMenu(); }
    void SetDropDownMenu(QMenu* AValue) { FButton->SetDropDownMenu(AValue); }
    const QString& Hint() const { return FHint; }
    // Also shows the hint exactly when it is not empty.
    void SetHint(const QString& AValue);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool AValue);
    QKeySequence ShortCut() const { return FShortCut; }
    void SetShortCut(const QKeySequence& AValue) { FShortCut = AValue; }
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t AValue) { FTag = AValue; }
    const QString& Role() const { return FRole; }
    // Throws Exception for a name that is not registered; the previous role stays.
    void SetRole(const QString& AValue);
    TKpEditButtonItemRole* RoleImpl() const { return FRoleImpl.get(); }

    TCanShowEvent OnCanShow;
    const TtbtnKp::TNotifyEvent& OnClick() const { return FButton->OnClick; }
    void SetOnClick(const TtbtnKp::TNotifyEvent& AValue) { FButton->OnClick = AValue; }

private:
    void Changed();

    TKpEditButtonItems* FCollection;
    QPointer<TtbtnKp> FButton;
    bool FEnabled = true;
    bool FVisible = true;
    QKeySequence FShortCut;
    std::intptr_t FTag = 0;
    QString FRole;
    std::unique_ptr<TKpEditButtonItemRole> FRoleImpl;
    QString FHint;
    bool FShowHint = false;
};
