#include "grids/TPopupListbox.h"

#include "base/TEnumStrings.h"
#include "grids/TDBEditGridInplaceEdit.h"
#include "platform/ui/UiServices.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <numeric>
#include <vector>

namespace {
constexpr qint64 kSearchPause = 2000;
constexpr int kSearchMax = 32;
} // namespace

TPopupListbox::TPopupListbox(TDBEditGridInplaceEdit* AEditor)
    : QListWidget(AEditor), FEditor(AEditor), FMyItems(std::make_unique<TEnumStrings>())
{
    setWindowFlags(Qt::Popup);
    // A press outside closes the list; it must not also reach the cell's button again.
    setAttribute(Qt::WA_NoMouseReplay);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The focus stays in the editor while the list is open.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    hide();
}

TPopupListbox::~TPopupListbox() = default;

void TPopupListbox::LoadItems(bool ASorted)
{
    std::vector<int> order(static_cast<size_t>(FMyItems->Count()));
    std::iota(order.begin(), order.end(), 0);
    if (ASorted)
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return QString::localeAwareCompare(FMyItems->Get(a), FMyItems->Get(b)) < 0;
        });
    clear();
    for (int i : order) {
        auto* item = new QListWidgetItem(FMyItems->Get(i), this);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(FMyItems->GetObject(i)));
    }
}

qintptr TPopupListbox::ItemCode(int ARow) const
{
    const QListWidgetItem* it = item(ARow);
    return it ? static_cast<qintptr>(it->data(Qt::UserRole).toLongLong()) : 0;
}

int TPopupListbox::ItemHeight() const
{
    return std::max(fontMetrics().height() + 2, 11);
}

void TPopupListbox::keyPressEvent(QKeyEvent* AEvent)
{
    // The pop-up keys close or toggle it as in the editor.
    int key = AEvent->key();
    FEditor->DoDropDownKeys(key, AEvent->modifiers());
    if (key == 0)
        return;
    const QString text = AEvent->text();
    if (AEvent->key() == Qt::Key_Backspace || AEvent->key() == Qt::Key_Escape) {
        FSearchText.clear();
        return;
    }
    if (text.size() == 1 && text[0] >= QChar(u' ') && !(AEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const qint64 now = UiServices::TickCount();
        if (now - FSearchTickCount > kSearchPause)
            FSearchText.clear();
        FSearchTickCount = now;
        if (FSearchText.size() < kSearchMax) {
            FSearchText += text;
            for (int i = 0; i < count(); ++i)
                if (item(i)->text().startsWith(FSearchText, Qt::CaseInsensitive)) {
                    setCurrentRow(i);
                    break;
                }
        }
        return;
    }
    QListWidget::keyPressEvent(AEvent);
}

void TPopupListbox::mouseReleaseEvent(QMouseEvent* AEvent)
{
    QListWidget::mouseReleaseEvent(AEvent);
    if (AEvent->button() != Qt::LeftButton)
        return;
    const QPoint pos = AEvent->position().toPoint();
    const bool inside = viewport()->rect().contains(pos);
    // The list takes the mouse as it opens: the release of the press on the cell's button
    // that opened it must leave it open.
    if (!inside && FEditor->rect().contains(FEditor->mapFromGlobal(viewport()->mapToGlobal(pos))))
        return;
    FEditor->ListMouseUp(inside);
}

void TPopupListbox::hideEvent(QHideEvent* AEvent)
{
    QListWidget::hideEvent(AEvent);
    // Closed by a press outside it: nothing is taken.
    if (FEditor->ListVisible() && FEditor->ActiveList() == this)
        FEditor->CloseUp(false);
}
