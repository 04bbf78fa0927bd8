#include "platform/ui/PopupMenu.h"

TPopupMenu::TPopupMenu(QWidget* parent) : QMenu(parent) {}
