#pragma once

#include "grids/DBEdGridTypes.h"
#include "grids/IGridCellData.h"
#include "platform/data/DBTypes.h"
#include "platform/ui/GridTypes.h"
#include "platform/ui/PopupMenu.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class TCustomDBEdGrid;
class TDBEdGridColumns;
class TEkColumnTitle;
class TEnumStrings;
class TField;
class TEkColumn;

// A weak reference to a column: Target() reads nullptr once the column is gone.
class TEkColumnRef {
public:
    explicit TEkColumnRef(TEkColumn* target) : FTarget(target) {}
    TEkColumn* Target() const { return FTarget; }
    void RemoveRef() { FTarget = nullptr; }

private:
    TEkColumn* FTarget;
};

// One column of the data grid, bound to a dataset field by name. Every attribute has an
// assigned flag: while it is clear the attribute is read from the field, the grid or a
// constant at each read; once written the column's own value wins.
class TEkColumn : public IGridCellData {
public:
    // Joins the collection at its end (within the grid's layout bracket when it has a grid).
    explicit TEkColumn(TDBEdGridColumns* Collection);
    ~TEkColumn() override;
    TEkColumn(const TEkColumn&) = delete;
    TEkColumn& operator=(const TEkColumn&) = delete;

    // Copies every attribute of the source, own values with their assigned flags.
    virtual void Assign(const TEkColumn& Source);
    virtual void RestoreDefaults();
    // The title's class; default columns make their own.
    virtual std::unique_ptr<TEkColumnTitle> CreateTitle();

    TDBEdGridColumns* Collection() const { return FCollection; }
    TCustomDBEdGrid* Grid() const;
    int Index() const;
    virtual void SetIndex(int Value);
    QString DisplayName() const;

    TEkColumnValues AssignedValues() const { return FAssignedValues; }
    bool IsAssigned(TEkColumnValue v) const { return FAssignedValues.Contains(v); }

    // Field binding.
    TField* Field();
    virtual void SetField(TField* Value);
    const QString& FieldName() const { return FFieldName; }
    void SetFieldName(const QString& Value);
    // Forgets the bound field without a change notice (the field is being removed).
    void ClearField() { FField = nullptr; }
    // The bound field as it stands, without looking it up.
    TField* BoundField() const { return FField; }

    // Flagged attributes.
    QColor Color() const;
    void SetColor(const QColor& Value);
    QFont Font() const;
    void SetFont(const QFont& Value);
    TAlignment Alignment();
    virtual void SetAlignment(TAlignment Value);
    bool ReadOnly();
    virtual void SetReadOnly(bool Value);
    bool Required();
    void SetRequired(bool Value);
    int MaxLength();
    void SetMaxLength(int Value);
    TImeMode ImeMode() const;
    void SetImeMode(TImeMode Value);
    QString ImeName() const;
    void SetImeName(const QString& Value);
    QString ValueChecked() const;
    void SetValueChecked(const QString& Value);
    QString ValueUnchecked() const;
    void SetValueUnchecked(const QString& Value);
    int Width();
    virtual void SetWidth(int Value);
    bool Dotted();
    void SetDotted(bool Value);

    // Defaults.
    QColor DefaultColor() const;
    QFont DefaultFont() const;
    TAlignment DefaultAlignment();
    bool DefaultReadOnly();
    bool DefaultRequired();
    int DefaultMaxLength();
    TImeMode DefaultImeMode() const;
    QString DefaultImeName() const;
    static QString DefaultValueChecked() { return QStringLiteral("T;True;Yes"); }
    static QString DefaultValueUnchecked() { return QStringLiteral("F;False;No"); }
    int DefaultWidth();

    // Width in average characters of the column's font; -1 with AutoSize.
    int DisplayWidth();
    void SetDisplayWidth(int Value);

    // Made on first use through CreateTitle.
    TEkColumnTitle* Title() const;
    void SetTitle(const TEkColumnTitle& Value);

    // Editing settings.
    TEkColumnButtonStyle ButtonStyle();
    TEkColumnButtonStyle StoredButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TEkColumnButtonStyle Value);
    // Values offered by the drop-down list, each with its integer code; made on first read.
    TEnumStrings* PickList() const;
    // nullptr empties the list; any other list is copied, codes included.
    void SetPickList(const TEnumStrings* Value);
    // Texts alone (each code 0).
    void SetPickList(const QStringList& Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }
    unsigned DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(unsigned Value) { FDropDownRows = Value; }
    bool DropDownSorted() const { return FDropDownSorted; }
    void SetDropDownSorted(bool Value) { FDropDownSorted = Value; }
    bool SmartEdit() const { return FSmartEdit; }
    void SetSmartEdit(bool Value) { FSmartEdit = Value; }
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool Value);
    TEkColumnDateOptions DateOptions() const { return FDateOptions; }
    void SetDateOptions(TEkColumnDateOptions Value);

    // Tree pop-up settings.
    const QString& TreeCaptionFields() const { return FTreeCaptionFields; }
    void SetTreeCaptionFields(const QString& Value) { FTreeCaptionFields = Value; }
    const QString& TreeLevelFields() const { return FTreeLevelFields; }
    void SetTreeLevelFields(const QString& Value);
    const QString& TreeParentField() const { return FTreeParentField; }
    void SetTreeParentField(const QString& Value);
    const QString& TreeMinParentVal() const { return FTreeMinParentVal; }
    void SetTreeMinParentVal(const QString& Value);
    TEkDBTreeType TreeDBTreeType() const { return FTreeDBTreeType; }
    void SetTreeDBTreeType(TEkDBTreeType Value) { FTreeDBTreeType = Value; }
    const QString& TreeCaptionSeparator() const { return FTreeCaptionSeparator; }
    void SetTreeCaptionSeparator(const QString& Value) { FTreeCaptionSeparator = Value; }
    int TreeWidth() const { return FTreeWidth; }
    void SetTreeWidth(int Value) { FTreeWidth = Value; }
    int TreeHeight() const { return FTreeHeight; }
    void SetTreeHeight(int Value) { FTreeHeight = Value; }

    // Visibility.
    TEkColumnVisibleState ShowState() const { return FShowState; }
    void SetShowState(TEkColumnVisibleState Value);
    bool Visible() const;
    void SetVisible(bool Value);

    // Other kept settings.
    const QString& IndexFields() const { return FIndexFields; }
    void SetIndexFields(const QString& Value) { FIndexFields = Value; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    const QString& FocusFieldNames() const { return FFocusFieldNames; }
    void SetFocusFieldNames(const QString& Value) { FFocusFieldNames = Value; }
    const QString& CheckingID() const { return FCheckingID; }
    void SetCheckingID(const QString& Value) { FCheckingID = Value; }
    QString getCheckingID() const { return FCheckingID; }
    QString getContextName() const { return {}; }
    QString getContextValue() const { return {}; }
    TField* PKField() const { return FPKField; }
    // The column forgets the field when the field dies.
    void SetPKField(TField* Value);
    bool SetOnlyLinkF() const { return FSetOnlyLinkF; }
    void SetSetOnlyLinkF(bool Value) { FSetOnlyLinkF = Value; }

    // Links: a URL column, or an automatic one over a string field holding URLs.
    bool IsURL();

    // State of the cell being drawn, read back through IGridCellData.
    void SetDrawState(TGridDrawState AState, bool AMultiSelect);

    // Weak reference handed out on request; reads nullptr after the column is gone.
    std::shared_ptr<TEkColumnRef> WeakRef();

    // IGridCellData
    ::Value GetValue() override;
    bool GetSelected() override { return FSelected; }
    bool GetFocused() override { return FFocused; }
    bool GetRowsSelected() override;
    ::Value GetFieldValue(const QString& FieldName) override;

    // Change notice: one column, or all columns of the collection.
    void Changed(bool AllItems);

    // Called by the collection when the column joins or leaves it.
    void SetCollectionInternal(TDBEdGridColumns* Collection) { FCollection = Collection; }

protected:
    // Pixel width of a display width in characters (0 takes the caption's width).
    int PixelsOfDisplayWidth(int Chars);
    int CharsOfPixels(int Pixels);
    void SetOwnWidth(int Value);
    void SetFieldNameOnly(const QString& Value) { FFieldName = Value; }

private:
    friend class TEkColumnTitle;
    friend class TDBEdGridColumns;

    std::shared_ptr<TEkColumnRef> FWeakRef;
    TDBEdGridColumns* FCollection = nullptr;
    TField* FField = nullptr;
    QString FFieldName;
    QColor FColor;
    int FWidth = 0;
    mutable std::unique_ptr<TEkColumnTitle> FTitle;
    QFont FFont;
    TImeMode FImeMode = TImeMode::imDontCare;
    QString FImeName;
    mutable std::unique_ptr<TEnumStrings> FPickList;
    QPointer<TPopupMenu> FPopupMenu;
    unsigned FDropDownRows = 7;
    bool FDropDownSorted = false;
    TEkColumnButtonStyle FButtonStyle = TEkColumnButtonStyle::cbsAuto;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FReadonly = false;
    bool FRequired = false;
    int FMaxLength = 0;
    QString FValueChecked;
    QString FValueUnchecked;
    TEkColumnValues FAssignedValues;
    QString FTreeCaptionFields;
    QString FTreeLevelFields;
    QString FTreeParentField;
    QString FTreeMinParentVal;
    TEkDBTreeType FTreeDBTreeType = TEkDBTreeType::dttLevels;
    QString FTreeCaptionSeparator = QStringLiteral("   ");
    int FTreeWidth = -1;
    int FTreeHeight = -1;
    bool FSmartEdit = true;
    bool FDirectInput = true;
    TEkColumnVisibleState FShowState = TEkColumnVisibleState::cvsVisible;
    QString FIndexFields;
    bool FAutoSize = false;
    QString FFocusFieldNames;
    QString FCheckingID;
    TField* FPKField = nullptr;
    int FPKFieldNotice = -1;
    bool FSetOnlyLinkF = false;
    TEkColumnDateOptions FDateOptions = 0;
    bool FFocused = false;
    bool FSelected = false;
    bool FMultiSelect = false;
    bool FDotted = false;
};
