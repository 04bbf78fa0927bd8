#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

// Skins windows as they are shown: each window about to appear is offered to
// OnSkinForm, which may change the skin name and switch skinning off for it; a skinned
// window takes the skin's palette, an unskinned one the application's default palette.
class TKpSkinController : public QObject {
    Q_OBJECT
public:
    using TSkinFormEvent = std::function<void(QObject* ASender, QWidget* AForm, QString& ASkinName,
                                              bool& AUseSkin)>;

    explicit TKpSkinController(QObject* AOwner);
    ~TKpSkinController() override;

    bool UseSkins() const { return FUseSkins; }
    void SetUseSkins(bool AValue) { FUseSkins = AValue; }
    const QString& SkinName() const { return FSkinName; }
    void SetSkinName(const QString& AValue);
    TSkinFormEvent OnSkinForm;

    // Applies the skinning again to the control and its children.
    void Refresh(QWidget* AControl);
    // Skins one window now (as when it is shown).
    void SkinForm(QWidget* AForm);

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

private:
    bool FUseSkins = false;
    QString FSkinName;
};
