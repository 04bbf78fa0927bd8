#pragma once

#include "base/ICriteriaChecker.h"
#include "controls/TFieldDataLink.h"
#include "controls/TLinkEdit.h"

#include <QPointer>
#include <QString>
#include <exception>
#include <functional>

class TDataSource;
class TField;

// A link edit bound to an integer key field: the field holds the key, the edit shows the
// key's code and a linked control its name. The owner resolves keys and codes through the
// three events.
class TDBLinkEdit : public TLinkEdit, public ICriteriaChecker {
    Q_OBJECT
public:
    using TLEDGetDataFromKeyEvent =
        std::function<void(TDBLinkEdit* Sender, int aKey, QString& AKods, QString& ANosauk, bool& Success)>;
    using TLEDGetDataFromKodsEvent =
        std::function<void(TDBLinkEdit* Sender, QString& aKods, int& aKey, QString& aNosauk, bool& aSuccess)>;
    using TLEDButtonClickEvent = std::function<void(TDBLinkEdit* Sender, int& aKey, QString& AKods, bool& Success)>;
    using TLEDKodsFilterEvent = std::function<void(TDBLinkEdit* Sender, QObject* Filter)>;
    using TChangeEvent = std::function<void(TDBLinkEdit* Sender)>;

    explicit TDBLinkEdit(QWidget* AParent = nullptr);
    ~TDBLinkEdit() override;

    // The key (0 = none). Writing a new key resolves it to code and name.
    int PkValue() const;
    void SetPkValue(int AValue);
    // Empties text, name, hint and key.
    void Clear();

    QWidget* LinkedControl() const { return FNosaukControl; }
    // Throws Exception for the edit itself.
    void SetLinkedControl(QWidget* AValue);
    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* AValue);
    QString DataField() const { return FDataLink.FieldName(); }
    void SetDataField(const QString& AValue) { FDataLink.SetFieldName(AValue); }
    TField* Field() const { return FDataLink.Field(); }
    TFieldDataLink& DataLink() { return FDataLink; }
    const QString& CheckingID() const { return FCheckingID; }
    void SetCheckingID(const QString& AValue) { FCheckingID = AValue; }
    bool ClickChange() const { return FClickChange; }
    void SetClickChange(bool AValue) { FClickChange = AValue; }
    bool UseHint() const { return FUseHint; }
    void SetUseHint(bool AValue) { FUseHint = AValue; }

    bool ReadOnly() const override;
    void SetReadOnly(bool AValue) override;
    bool EditAllowed() override;

    QString getCheckingID() const override { return FCheckingID; }
    IParamHolder* getParamHolder() const override { return nullptr; }
    QString getContextName() const override { return DataField(); }
    IContextHolder* getContextHolder() const override { return nullptr; }

    TLEDGetDataFromKeyEvent OnGetDataFromKey;
    TLEDGetDataFromKodsEvent OnGetDataFromKods;
    TLEDButtonClickEvent OnSelectButtonClick;
    TLEDKodsFilterEvent OnKodsFilter;
    TChangeEvent OnChange;

    // Where failures of the resolving events are shown; the default shows an error box.
    static std::function<void(const std::exception&)>& ExceptionHandler();

protected:
    void ButtonClick() override;
    void keyPressEvent(QKeyEvent* AEvent) override;
    void focusInEvent(QFocusEvent* AEvent) override;
    void focusOutEvent(QFocusEvent* AEvent) override;

private:
    void DataChange();
    void EditingChange();
    void UpdateData();
    void SetLinkedText(const QString& AText);
    // Looks up a typed code; the edit is cleared when the lookup fails with an error.
    void LookUpTypedCode();
    static void ShowException(const std::exception& AError);

    TFieldDataLink FDataLink;
    QPointer<QWidget> FNosaukControl;
    bool FClickChange = false;
    bool FUseHint = false;
    QString FCheckingID;
    bool FShowingData = false;
    bool FDestroying = false;
};
