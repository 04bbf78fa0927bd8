#include "grids/DBEdGridColumns.h"

#include "grids/CustomDBEdGrid.h"
#include "grids/EColumnsReadError.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "grids/PassthroughColumn.h"
#include "base/TEnumStrings.h"
#include "platform/data/Field.h"
#include "platform/rtl/EListError.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <climits>
#include <cmath>

TDBEdGridColumns::TDBEdGridColumns(TCustomDBEdGrid* Grid, TColumnFactory ColumnClass)
    : FGrid(Grid), FColumnClass(std::move(ColumnClass))
{
}

TDBEdGridColumns::~TDBEdGridColumns()
{
    FGrid = nullptr; // no notices to a grid while the collection dies
    FUpdateCount = 1;
    while (!FItems.empty())
        delete FItems.back();
}

TEkColumn* TDBEdGridColumns::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return FItems[static_cast<size_t>(Index)];
}

void TDBEdGridColumns::SetItems(int Index, const TEkColumn& Value) { Items(Index)->Assign(Value); }

int TDBEdGridColumns::IndexOf(const TEkColumn* Column) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), Column);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TEkColumn* TDBEdGridColumns::Add()
{
    if (FColumnClass)
        return FColumnClass(this);
    return new TEkColumn(this);
}

void TDBEdGridColumns::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    struct End { TDBEdGridColumns* c; ~End() noexcept(false) { c->EndUpdate(); } } end{this};
    while (!FItems.empty())
        delete FItems.back();
}

void TDBEdGridColumns::Delete(int Index) { delete Items(Index); }

void TDBEdGridColumns::Assign(const TDBEdGridColumns& Source)
{
    if (&Source == this)
        return;
    BeginUpdate();
    struct End { TDBEdGridColumns* c; ~End() noexcept(false) { c->EndUpdate(); } } end{this};
    Clear();
    for (TEkColumn* src : Source.FItems)
        Add()->Assign(*src);
}

void TDBEdGridColumns::BeginUpdate() { ++FUpdateCount; }

void TDBEdGridColumns::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Update(nullptr);
}

TEkColumn* TDBEdGridColumns::FindField(const QString& fname) const
{
    for (TEkColumn* c : FItems)
        if (c->FieldName() == fname)
            return c;
    return nullptr;
}

void TDBEdGridColumns::RestoreDefaults()
{
    BeginUpdate();
    struct End { TDBEdGridColumns* c; ~End() noexcept(false) { c->EndUpdate(); } } end{this};
    for (TEkColumn* c : FItems)
        c->RestoreDefaults();
}

void TDBEdGridColumns::RebuildColumns()
{
    if (FGrid && FGrid->LinkDataSet()) {
        FGrid->BeginLayout();
        struct End { TCustomDBEdGrid* g; ~End() noexcept(false) { g->EndLayout(); } } end{FGrid};
        Clear();
        for (const QString& name : FGrid->DataSetFieldNames())
            Add()->SetFieldName(name);
        return;
    }
    Clear();
}

TDBEdGridColumnsState TDBEdGridColumns::State() const
{
    auto own = [](const TDBEdGridColumns* c) {
        return c->Count() > 0 && !dynamic_cast<TPassthroughColumn*>(c->FItems.front());
    };
    if (own(this))
        return TDBEdGridColumnsState::csCustomized;
    if (FGrid && FGrid->Columns() == this && own(FGrid->InvisibleColumns()))
        return TDBEdGridColumnsState::csCustomized;
    return TDBEdGridColumnsState::csDefault;
}

void TDBEdGridColumns::SetState(TDBEdGridColumnsState Value)
{
    if (Value == State())
        return;
    if (Value == TDBEdGridColumnsState::csCustomized)
        RebuildColumns();
    else
        Clear();
}

void TDBEdGridColumns::Update(TEkColumn* Item)
{
    if (!FGrid || FGrid->IsLoading() || FGrid->Columns() != this || FGrid->LayoutLock() != 0)
        return;
    if (Item)
        FGrid->ColumnUpdated(Item);
    else
        FGrid->LayoutChanged();
}

void TDBEdGridColumns::ItemChanged(TEkColumn* Item)
{
    if (FUpdateCount == 0)
        Update(Item);
}

void TDBEdGridColumns::InsertItem(TEkColumn* Column)
{
    FItems.push_back(Column);
    Column->SetCollectionInternal(this);
    ItemChanged(nullptr);
}

void TDBEdGridColumns::RemoveItem(TEkColumn* Column)
{
    const auto it = std::find(FItems.begin(), FItems.end(), Column);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    Column->SetCollectionInternal(nullptr);
    ItemChanged(nullptr);
}

void TDBEdGridColumns::MoveItem(int CurIndex, int NewIndex)
{
    if (CurIndex < 0 || CurIndex >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(CurIndex));
    NewIndex = std::clamp(NewIndex, 0, Count() - 1);
    if (CurIndex == NewIndex)
        return;
    TEkColumn* c = FItems[static_cast<size_t>(CurIndex)];
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, c);
    ItemChanged(nullptr);
}

// ---- saved layouts -------------------------------------------------------------------------

namespace {
const char* const kRootClass = "TColumnsWrapper";

QJsonObject fontToJson(const QFont& f)
{
    QJsonObject o;
    o["Name"] = f.family();
    o["Height"] = f.pixelSize() > 0 ? -f.pixelSize() : 0;
    o["Size"] = f.pointSizeF();
    o["Bold"] = f.bold();
    o["Italic"] = f.italic();
    o["Underline"] = f.underline();
    o["StrikeOut"] = f.strikeOut();
    return o;
}

[[noreturn]] void damaged(const QString& what)
{
    throw EColumnsReadError(QStringLiteral("Saved column layout is damaged: %1").arg(what));
}

QFont fontFromJson(const QJsonValue& v)
{
    if (!v.isObject())
        damaged(QStringLiteral("font"));
    const QJsonObject o = v.toObject();
    QFont f;
    f.setFamily(o["Name"].toString());
    const int height = o["Height"].toInt();
    if (height < 0)
        f.setPixelSize(-height);
    else if (o["Size"].toDouble() > 0)
        f.setPointSizeF(o["Size"].toDouble());
    f.setBold(o["Bold"].toBool());
    f.setItalic(o["Italic"].toBool());
    f.setUnderline(o["Underline"].toBool());
    f.setStrikeOut(o["StrikeOut"].toBool());
    return f;
}

int enumFromJson(const QJsonObject& o, const char* key, int count, int def)
{
    if (!o.contains(key))
        return def;
    const QJsonValue v = o[key];
    if (!v.isDouble() || v.toDouble() != static_cast<double>(v.toInt()) || v.toInt() < 0 || v.toInt() >= count)
        damaged(QString::fromLatin1(key));
    return v.toInt();
}

QString stringFromJson(const QJsonObject& o, const char* key, const QString& def = {})
{
    if (!o.contains(key))
        return def;
    if (!o[key].isString())
        damaged(QString::fromLatin1(key));
    return o[key].toString();
}

bool boolFromJson(const QJsonObject& o, const char* key, bool def)
{
    if (!o.contains(key))
        return def;
    if (!o[key].isBool())
        damaged(QString::fromLatin1(key));
    return o[key].toBool();
}

int intFromJson(const QJsonObject& o, const char* key, int def)
{
    if (!o.contains(key))
        return def;
    const QJsonValue v = o[key];
    const double d = v.toDouble();
    if (!v.isDouble() || !(d >= INT_MIN && d <= INT_MAX) || d != std::trunc(d))
        damaged(QString::fromLatin1(key));
    return static_cast<int>(d);
}

QColor colorFromJson(const QJsonObject& o, const char* key)
{
    const QColor c(stringFromJson(o, key));
    if (!c.isValid())
        damaged(QString::fromLatin1(key));
    return c;
}
}

void TDBEdGridColumns::SaveToStream(QIODevice& S) const
{
    QJsonArray items;
    for (TEkColumn* c : FItems) {
        QJsonObject o;
        if (!c->FCheckingID.isEmpty())
            o["CheckingID"] = c->FCheckingID;
        if (c->IsAssigned(TEkColumnValue::cvAlignment) && c->FAlignment != c->DefaultAlignment())
            o["Alignment"] = static_cast<int>(c->FAlignment);
        if (c->FButtonStyle != TEkColumnButtonStyle::cbsAuto)
            o["ButtonStyle"] = static_cast<int>(c->FButtonStyle);
        if (c->IsAssigned(TEkColumnValue::cvColor) && c->FColor != c->DefaultColor())
            o["Color"] = c->FColor.name();
        if (c->FDropDownRows != 7)
            o["DropDownRows"] = static_cast<qint64>(c->FDropDownRows);
        if (c->FDropDownSorted)
            o["DropDownSorted"] = true;
        if (!c->FFieldName.isEmpty())
            o["FieldName"] = c->FFieldName;
        if (c->IsAssigned(TEkColumnValue::cvFont))
            o["Font"] = fontToJson(c->FFont);
        if (c->IsAssigned(TEkColumnValue::cvImeMode) && c->FImeMode != c->DefaultImeMode())
            o["ImeMode"] = static_cast<int>(c->FImeMode);
        if (c->IsAssigned(TEkColumnValue::cvImeName) && c->FImeName != c->DefaultImeName())
            o["ImeName"] = c->FImeName;
        if (c->FPickList && c->FPickList->Count() > 0) {
            // A text alone when its code is 0, else the text with its code.
            QJsonArray items;
            for (int i = 0; i < c->FPickList->Count(); ++i) {
                const qintptr code = c->FPickList->GetObject(i);
                if (code == 0)
                    items.append(c->FPickList->Get(i));
                else
                    items.append(QJsonObject{{"Text", c->FPickList->Get(i)}, {"Code", static_cast<qint64>(code)}});
            }
            o["PickList"] = items;
        }
        if (c->IsAssigned(TEkColumnValue::cvReadOnly) && c->FReadonly != c->DefaultReadOnly())
            o["ReadOnly"] = c->FReadonly;
        if (c->IsAssigned(TEkColumnValue::cvRequired) && c->FRequired != c->DefaultRequired())
            o["Required"] = c->FRequired;
        if (c->IsAssigned(TEkColumnValue::cvMaxLength) && c->FMaxLength != c->DefaultMaxLength())
            o["MaxLength"] = c->FMaxLength;
        QJsonObject title;
        TEkColumnTitle* t = c->Title();
        if (t->IsAlignmentStored())
            title["Alignment"] = static_cast<int>(t->Alignment());
        if (t->IsCaptionStored())
            title["Caption"] = t->Caption();
        if (t->IsColorStored())
            title["Color"] = t->Color().name();
        if (t->IsFontStored())
            title["Font"] = fontToJson(t->Font());
        o["Title"] = title;
        if (c->IsAssigned(TEkColumnValue::cvWidth) && c->FWidth != c->DefaultWidth())
            o["Width"] = c->FWidth;
        if (c->IsAssigned(TEkColumnValue::cvValueChecked) && c->FValueChecked != TEkColumn::DefaultValueChecked() &&
            !c->FValueChecked.isEmpty())
            o["ValueChecked"] = c->FValueChecked;
        if (c->IsAssigned(TEkColumnValue::cvValueUnchecked) &&
            c->FValueUnchecked != TEkColumn::DefaultValueUnchecked() && !c->FValueUnchecked.isEmpty())
            o["ValueUnchecked"] = c->FValueUnchecked;
        auto str = [&](const char* key, const QString& v) { if (!v.isEmpty()) o[key] = v; };
        str("TreeCaptionFields", c->FTreeCaptionFields);
        str("TreeLevelFields", c->FTreeLevelFields);
        str("TreeParentField", c->FTreeParentField);
        str("TreeMinParentVal", c->FTreeMinParentVal);
        if (c->FTreeDBTreeType != TEkDBTreeType::dttLevels)
            o["TreeDBTreeType"] = static_cast<int>(c->FTreeDBTreeType);
        if (c->FTreeCaptionSeparator != QStringLiteral("   "))
            o["TreeCaptionSeparator"] = c->FTreeCaptionSeparator;
        if (c->FTreeHeight != -1)
            o["TreeHeight"] = c->FTreeHeight;
        if (c->FTreeWidth != -1)
            o["TreeWidth"] = c->FTreeWidth;
        if (c->FDateOptions != 0)
            o["DateOptions"] = c->FDateOptions;
        if (!c->FSmartEdit)
            o["SmartEdit"] = false;
        if (!c->FDirectInput)
            o["DirectInput"] = false;
        if (c->FShowState != TEkColumnVisibleState::cvsVisible)
            o["ShowState"] = static_cast<int>(c->FShowState);
        if (!c->Visible())
            o["Visible"] = false;
        str("IndexFields", c->FIndexFields);
        if (c->FAutoSize)
            o["AutoSize"] = true;
        str("FocusFieldNames", c->FFocusFieldNames);
        if (c->FPKField)
            o["PKField"] = c->FPKField->FieldName();
        if (c->FSetOnlyLinkF)
            o["SetOnlyLinkF"] = true;
        if (c->FDotted)
            o["Dotted"] = true;
        items.append(o);
    }
    QJsonObject root;
    root["Class"] = QString::fromLatin1(kRootClass);
    root["Columns"] = items;
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    if (S.write(bytes) != bytes.size())
        throw EColumnsReadError(QStringLiteral("Cannot write the column layout: %1").arg(S.errorString()));
}

void TDBEdGridColumns::LoadFromStream(QIODevice& S)
{
    if (!FGrid)
        throw EColumnsReadError(QStringLiteral("Columns without a grid cannot be loaded"));
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(S.readAll(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        damaged(err.errorString());
    const QJsonObject root = doc.object();
    if (root["Class"].toString() != QString::fromLatin1(kRootClass) || !root["Columns"].isArray())
        damaged(QStringLiteral("not a column layout"));
    // Everything is read into a scratch collection first; this one changes only at the end.
    std::unique_ptr<TDBEdGridColumns> scratch = FGrid->CreateColumns();
    scratch->BeginUpdate();
    for (const QJsonValue& item : root["Columns"].toArray()) {
        if (!item.isObject())
            damaged(QStringLiteral("column"));
        const QJsonObject o = item.toObject();
        TEkColumn* c = scratch->Add();
        c->FCheckingID = stringFromJson(o, "CheckingID");
        c->FFieldName = stringFromJson(o, "FieldName");
        if (o.contains("Alignment")) {
            c->FAlignment = static_cast<TAlignment>(enumFromJson(o, "Alignment", 3, 0));
            c->FAssignedValues.Include(TEkColumnValue::cvAlignment);
        }
        c->FButtonStyle = static_cast<TEkColumnButtonStyle>(enumFromJson(o, "ButtonStyle", 11, 0));
        if (o.contains("Color")) {
            c->FColor = colorFromJson(o, "Color");
            c->FAssignedValues.Include(TEkColumnValue::cvColor);
        }
        const int rows = intFromJson(o, "DropDownRows", 7);
        if (rows < 0)
            damaged(QStringLiteral("DropDownRows"));
        c->FDropDownRows = static_cast<unsigned>(rows);
        c->FDropDownSorted = boolFromJson(o, "DropDownSorted", false);
        if (o.contains("Font")) {
            c->FFont = fontFromJson(o["Font"]);
            c->FAssignedValues.Include(TEkColumnValue::cvFont);
        }
        if (o.contains("ImeMode")) {
            c->FImeMode = static_cast<TImeMode>(enumFromJson(o, "ImeMode", 12, 3));
            c->FAssignedValues.Include(TEkColumnValue::cvImeMode);
        }
        if (o.contains("ImeName")) {
            c->FImeName = stringFromJson(o, "ImeName");
            c->FAssignedValues.Include(TEkColumnValue::cvImeName);
        }
        if (o.contains("PickList")) {
            if (!o["PickList"].isArray())
                damaged(QStringLiteral("PickList"));
            TEnumStrings items;
            for (const QJsonValue& v : o["PickList"].toArray()) {
                if (v.isString()) {
                    items.AddInt(v.toString(), 0);
                    continue;
                }
                const QJsonObject item = v.toObject();
                const QJsonValue code = item["Code"];
                if (!v.isObject() || !item["Text"].isString() || !code.isDouble() ||
                    code.toDouble() != std::trunc(code.toDouble()) || std::abs(code.toDouble()) > INT_MAX)
                    damaged(QStringLiteral("PickList"));
                items.AddInt(item["Text"].toString(), static_cast<qintptr>(code.toDouble()));
            }
            c->SetPickList(&items);
        }
        auto flagBool = [&](const char* key, bool& field, TEkColumnValue flag) {
            if (o.contains(key)) {
                field = boolFromJson(o, key, false);
                c->FAssignedValues.Include(flag);
            }
        };
        flagBool("ReadOnly", c->FReadonly, TEkColumnValue::cvReadOnly);
        flagBool("Required", c->FRequired, TEkColumnValue::cvRequired);
        if (o.contains("MaxLength")) {
            c->FMaxLength = intFromJson(o, "MaxLength", 0);
            c->FAssignedValues.Include(TEkColumnValue::cvMaxLength);
        }
        if (o.contains("Title")) {
            if (!o["Title"].isObject())
                damaged(QStringLiteral("Title"));
            const QJsonObject t = o["Title"].toObject();
            TEkColumnTitle* title = c->Title();
            if (t.contains("Alignment"))
                title->SetAlignment(static_cast<TAlignment>(enumFromJson(t, "Alignment", 3, 0)));
            if (t.contains("Caption"))
                title->SetOwnCaptionForLoad(stringFromJson(t, "Caption"));
            if (t.contains("Color"))
                title->SetColor(colorFromJson(t, "Color"));
            if (t.contains("Font"))
                title->SetFont(fontFromJson(t["Font"]));
        }
        if (o.contains("Width")) {
            c->FWidth = intFromJson(o, "Width", 0);
            c->FAssignedValues.Include(TEkColumnValue::cvWidth);
        }
        if (o.contains("ValueChecked")) {
            c->FValueChecked = stringFromJson(o, "ValueChecked");
            c->FAssignedValues.Include(TEkColumnValue::cvValueChecked);
        }
        if (o.contains("ValueUnchecked")) {
            c->FValueUnchecked = stringFromJson(o, "ValueUnchecked");
            c->FAssignedValues.Include(TEkColumnValue::cvValueUnchecked);
        }
        c->FTreeCaptionFields = stringFromJson(o, "TreeCaptionFields");
        c->FTreeLevelFields = stringFromJson(o, "TreeLevelFields");
        c->FTreeParentField = stringFromJson(o, "TreeParentField");
        c->FTreeMinParentVal = stringFromJson(o, "TreeMinParentVal");
        c->FTreeDBTreeType = static_cast<TEkDBTreeType>(enumFromJson(o, "TreeDBTreeType", 4, 0));
        c->FTreeCaptionSeparator = stringFromJson(o, "TreeCaptionSeparator", QStringLiteral("   "));
        c->FTreeHeight = intFromJson(o, "TreeHeight", -1);
        c->FTreeWidth = intFromJson(o, "TreeWidth", -1);
        const int dateOptions = intFromJson(o, "DateOptions", 0);
        if (dateOptions < 0 || dateOptions > 31)
            damaged(QStringLiteral("DateOptions"));
        c->FDateOptions = static_cast<TEkColumnDateOptions>(dateOptions);
        c->FSmartEdit = boolFromJson(o, "SmartEdit", true);
        c->FDirectInput = boolFromJson(o, "DirectInput", true);
        c->FShowState = static_cast<TEkColumnVisibleState>(enumFromJson(o, "ShowState", 4, 2));
        if (!boolFromJson(o, "Visible", true) && c->FShowState == TEkColumnVisibleState::cvsVisible)
            c->FShowState = TEkColumnVisibleState::cvsHidden;
        c->FIndexFields = stringFromJson(o, "IndexFields");
        c->FAutoSize = boolFromJson(o, "AutoSize", false);
        c->FFocusFieldNames = stringFromJson(o, "FocusFieldNames");
        const QString pk = stringFromJson(o, "PKField");
        c->SetPKField(pk.isEmpty() ? nullptr : FGrid->FindDataSetField(pk));
        c->FSetOnlyLinkF = boolFromJson(o, "SetOnlyLinkF", false);
        if (boolFromJson(o, "Dotted", false)) {
            c->FDotted = true;
            c->FAssignedValues.Include(TEkColumnValue::cvDotted);
        }
    }
    Assign(*scratch);
}

void TDBEdGridColumns::SaveToFile(const QString& Filename) const
{
    QFile file(Filename);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EColumnsReadError(QStringLiteral("Cannot create file \"%1\". %2").arg(Filename, file.errorString()));
    SaveToStream(file);
}

void TDBEdGridColumns::LoadFromFile(const QString& Filename)
{
    QFile file(Filename);
    if (!file.open(QIODevice::ReadOnly))
        throw EColumnsReadError(QStringLiteral("Cannot open file \"%1\". %2").arg(Filename, file.errorString()));
    LoadFromStream(file);
}
