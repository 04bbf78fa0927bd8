#pragma once

#include "platform/rtl/Value.h"
#include "platform/ui/InplaceEdit.h"

#include <QPointer>
#include <QRect>
#include <QString>

#include <memory>

class QWidget;
class TCustomDBEdGrid;
class TDataSource;
class TDateList;
class TEkColumn;
class TField;
class TPopupDataList;
class TPopupListbox;
class TPopupMemo;
class TPopupTree;

// How the in-place editor edits the current cell; every style but esSimple and esURL shows
// a button at the editor's right edge.
enum class TEditStyle {
    esSimple,
    esEllipsis,
    esPickList,
    esDataList,
    esDropList,
    esDate,
    esCheck,
    esOwnerDraw,
    esMemo,
    esTree,
    esURL,
};

// The data grid's in-place editor: the grid's one-line edit with a style taken from the
// current column, a button drawn at its right edge and the pop-up the style asks for (a pick
// list, a lookup list or tree, the calendar or the memo form), or a link opened with Ctrl+click. A pop-up closed
// with acceptance writes its value into the field.
class TDBEditGridInplaceEdit : public TInplaceEdit {
    Q_OBJECT
public:
    explicit TDBEditGridInplaceEdit(TCustomDBEdGrid* AGrid);
    ~TDBEditGridInplaceEdit() override;

    TCustomDBEdGrid* DBGrid() const { return FDBGrid; }
    TEditStyle EditStyle() const { return FEditStyle; }
    void SetEditStyle(TEditStyle Style);
    bool ListVisible() const { return FListVisible; }
    int ButtonWidth() const { return FButtonWidth; }
    // Client rectangle of the button; empty for styles without one.
    QRect ButtonRect() const;
    bool ShowsButton() const;
    bool Pressed() const { return FPressed; }
    bool ButtonHot() const { return FButtonHot; }

    // The pop-up of the current style, nullptr for styles without one; the modal forms are
    // reachable while they are open (tests drive them then).
    QWidget* ActiveList() const { return FActiveList; }
    TPopupListbox* PickList() const { return FPickList; }
    TDateList* DateList() const { return FDateList; }
    TPopupMemo* MemoList() const { return FMemoList; }
    TPopupDataList* DataList() const { return FDataList; }
    TPopupTree* TreeList() const { return FTreeList; }

    void DropDown();
    void CloseUp(bool Accept);
    // The pop-up keys (Enter, Esc, Alt+Up/Down, F4, Ctrl+Enter of a memo); Key becomes 0
    // when used.
    void DoDropDownKeys(int& Key, Qt::KeyboardModifiers Shift);
    void UpdateContents() override;
    void Move(const QRect& rect) override;

    // The last-key time of the incremental lookup search, shared by every editor; a grid
    // resets it when its data changes.
    static qint64& LastKeyTime();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TPopupListbox;
    friend class TPopupTree;

    TEkColumn* Column() const;
    TField* Field() const;
    bool ColumnReadOnly() const;
    // Puts the field's dataset in edit mode when the field may take a value.
    bool PrepareField(TField* AField) const;
    void BoundsChanged();
    void HoverLink(bool On, const QPoint& Pos = QPoint(-1, -1));
    void OpenLink();
    void FillPickList();
    void ShowList();
    void DropDownCalendar();
    void DropDownMemo();
    void DropDownLookup();
    // A lookup column's field in this dataset that holds the key (KeyFields), or nullptr.
    TField* LookupKeyField() const;
    bool LookupStyle() const { return FEditStyle == TEditStyle::esDataList || FEditStyle == TEditStyle::esTree; }
    bool LookupTest() const;
    // Up/Down on a closed lookup cell: the previous or next lookup record's key.
    void LookupStep(bool Down);
    // Typed characters find the first lookup record whose result begins with them.
    bool LookupSearch(QChar Char);
    // Height and width of a drop-down list for its items.
    void FitList(TPopupListbox* List, unsigned Rows);
    // A left release in the list closes it, accepting when the point lies inside.
    void ListMouseUp(bool Inside);
    void EditButtonClick();
    bool HasPopupStyle() const;
    // Writes an accepted pop-up value into the field the way its pop-up asks.
    void WriteValue(TField* f, bool have, const QString& valueText, bool coded, qintptr code, bool periodDate);

    TCustomDBEdGrid* FDBGrid;
    int FButtonWidth = 0;
    TPopupListbox* FPickList = nullptr;
    TDateList* FDateList = nullptr;
    TPopupMemo* FMemoList = nullptr;
    TPopupDataList* FDataList = nullptr;
    TPopupTree* FTreeList = nullptr;
    std::unique_ptr<TDataSource> FLookupSource;
    QWidget* FActiveList = nullptr;
    TEditStyle FEditStyle = TEditStyle::esSimple;
    bool FListVisible = false;
    bool FTracking = false;
    bool FPressed = false;
    bool FButtonHot = false;
    bool FLinkLook = false;
    bool FMemoPath = false;
    QString FSearchText;
};
