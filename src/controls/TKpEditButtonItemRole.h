#pragma once

#include <QString>
#include <functional>
#include <map>
#include <memory>

class TKpEditButtonItem;

// A behaviour attached by name to an edit-button item: when its button may show and what
// a click does.
class TKpEditButtonItemRole {
public:
    explicit TKpEditButtonItemRole(TKpEditButtonItem* AEditButtonItem) : FButtonItem(AEditButtonItem) {}
    virtual ~TKpEditButtonItemRole() = default;
    TKpEditButtonItemRole(const TKpEditButtonItemRole&) = delete;
    TKpEditButtonItemRole& operator=(const TKpEditButtonItemRole&) = delete;

    virtual void CanShow(TKpEditButtonItem* ASender, bool& ACanShow) { (void)ASender; (void)ACanShow; }
    virtual void Click(TKpEditButtonItem* ASender) = 0;
    TKpEditButtonItem* ButtonItem() const { return FButtonItem; }

protected:
    TKpEditButtonItem* FButtonItem;
};

// Makes a role object for an item.
using TKpEditButtonItemRoleClass = std::function<std::unique_ptr<TKpEditButtonItemRole>(TKpEditButtonItem*)>;

// The role classes by name (exact, letter case counts).
std::map<QString, TKpEditButtonItemRoleClass>& EditButtonItemRoles();
