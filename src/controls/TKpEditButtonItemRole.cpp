#include "controls/TKpEditButtonItemRole.h"

std::map<QString, TKpEditButtonItemRoleClass>& EditButtonItemRoles()
{
    static std::map<QString, TKpEditButtonItemRoleClass> roles;
    return roles;
}
