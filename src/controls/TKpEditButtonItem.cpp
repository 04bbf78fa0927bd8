#include "controls/TKpEditButtonItem.h"

#include "controls/TKpEditButtonItems.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/Exception.h"

TKpEditButtonItem::TKpEditButtonItem(TKpEditButtonItems* ACollection)
    : FCollection(ACollection)
{
    FButton = new TtbtnKp(ACollection ? ACollection->Edit() : nullptr);
    FButton->SetSpacing(-1);
    FButton->LookAndFeel().SetKind(TcxLookAndFeelKind::lfFlat);
    FButton->setEnabled(true);
}

TKpEditButtonItem::~TKpEditButtonItem()
{
    delete FButton.data();
}

void TKpEditButtonItem::Changed()
{
    if (FCollection)
        FCollection->ArrangeButtons();
}

void TKpEditButtonItem::Click()
{
    FButton->Click();
}

bool TKpEditButtonItem::Visible() const
{
    bool r = FVisible;
    if (r && OnCanShow)
        OnCanShow(const_cast<TKpEditButtonItem*>(this), r);
    return r;
}

void TKpEditButtonItem::SetVisible(bool AValue)
{
    if (AValue == FVisible)
        return;
    FVisible = AValue;
    Changed();
}

void TKpEditButtonItem::SetEnabled(bool AValue)
{
    FEnabled = AValue;
    FButton->setEnabled(AValue);
}

void TKpEditButtonItem::SetHint(const QString& AValue)
{
    if (AValue == FHint)
        return;
    FHint = AValue;
    FShowHint = !AValue.isEmpty();
    Changed();
}

void TKpEditButtonItem::SetShowHint(bool AValue)
{
    if (AValue == FShowHint)
        return;
    FShowHint = AValue;
    Changed();
}

void TKpEditButtonItem::SetRole(const QString& AValue)
{
    if (AValue == FRole)
        return;
    if (!AValue.isEmpty()) {
        const auto& roles = EditButtonItemRoles();
        const auto it = roles.find(AValue);
        if (it == roles.end() || !it->second) {
            const QString editName = FCollection && FCollection->Edit() ? FCollection->Edit()->objectName() : QString();
            throw Exception(Format(QStringLiteral("Unknown button item RoleName \"%s\" for edit \"%s\"!"),
                                   { Value(AValue), Value(editName) }));
        }
        FRoleImpl.reset();
        FRoleImpl = it->second(this);
        TKpEditButtonItemRole* role = FRoleImpl.get();
        OnCanShow = [role](TKpEditButtonItem* s, bool& can) { role->CanShow(s, can); };
        FButton->OnClick = [this, role](TtbtnKp*) { role->Click(this); };
    } else {
        FRoleImpl.reset();
        OnCanShow = nullptr;
        FButton->OnClick = nullptr;
    }
    FRole = AValue;
    Changed();
}

void TKpEditButtonItem::Assign(const TKpEditButtonItem& ASource)
{
    if (&ASource == this)
        return;
    SetRole(ASource.Role());
    SetCaption(ASource.Caption());
    SetDropDownMenu(ASource.DropDownMenu());
    SetEnabled(ASource.Enabled());
    SetImageName(ASource.ImageName());
    FHint = ASource.FHint;
    FShortCut = ASource.FShortCut;
    FShowHint = ASource.FShowHint;
    // A role's handlers belong to the source's role object; this item's own role (set
    // above) has bound its own, and copying the source's would leave them dangling once
    // the source's role goes.
    if (ASource.Role().isEmpty()) {
        OnCanShow = ASource.OnCanShow;
        FButton->OnClick = ASource.FButton->OnClick;
    }
    FVisible = ASource.FVisible;
    Changed();
}
