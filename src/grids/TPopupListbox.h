#pragma once

#include <QListWidget>
#include <memory>

class TDBEditGridInplaceEdit;
class TEnumStrings;

// The drop-down list of a pick-list cell: a bordered pop-up over the screen whose items
// carry the integer codes of the column's pick list. Typing selects the first item that
// begins with what was typed within two seconds.
class TPopupListbox : public QListWidget {
    Q_OBJECT
public:
    explicit TPopupListbox(TDBEditGridInplaceEdit* AEditor);
    ~TPopupListbox() override;

    // The offered values with their codes; LoadItems shows them.
    TEnumStrings* MyItems() const { return FMyItems.get(); }
    // Fills the list from MyItems, sorted when asked (codes follow their texts).
    void LoadItems(bool ASorted);
    // Code of a row, 0 outside the list.
    qintptr ItemCode(int ARow) const;
    int ItemHeight() const;
    const QString& SearchText() const { return FSearchText; }
    void ResetSearchTime() { FSearchTickCount = 0; }

protected:
    void keyPressEvent(QKeyEvent* AEvent) override;
    void mouseReleaseEvent(QMouseEvent* AEvent) override;
    void hideEvent(QHideEvent* AEvent) override;

private:
    TDBEditGridInplaceEdit* FEditor;
    QString FSearchText;
    qint64 FSearchTickCount = 0;
    std::unique_ptr<TEnumStrings> FMyItems;
};
