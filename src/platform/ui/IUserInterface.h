#pragma once

#include <QDebug>
#include <QString>
#include <memory>

// What code below the widgets asks of the person at the screen: the bell, an error box, a
// yes/no question, the hourglass and opening a file with its program. Only Qt Core, so
// graphics-free libraries can use it; the desktop program installs the real one at start-up
// and tests install their own. The registry is header-only for the same reason.
class IUserInterface
{
public:
    virtual ~IUserInterface() = default;

    virtual void Beep() = 0;
    // An error box with the program's name as caption and an OK button.
    virtual void ShowError(const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool ConfirmYesNo(const QString& text) = 0;
    // The hourglass over the whole program while on; off brings the normal cursor back,
    // however many times it was turned on.
    virtual void WaitCursor(bool on) = 0;
    // False when the desktop could not open the file.
    virtual bool OpenFile(const QString& fileName) = 0;

    // The installed service, or one that shows nothing (errors go to the log, questions are
    // answered No, files are not opened) before any is installed.
    static IUserInterface& Current();
    // Replaces the service; nullptr puts back the one that shows nothing.
    static void Install(std::shared_ptr<IUserInterface> service);

private:
    static std::shared_ptr<IUserInterface>& Slot();
};

// Without a screen: errors to the log, questions answered No, nothing opened.
class THeadlessUserInterface : public IUserInterface
{
public:
    void Beep() override {}
    void ShowError(const QString& text) override { qWarning().noquote() << text; }
    bool ConfirmYesNo(const QString&) override { return false; }
    void WaitCursor(bool) override {}
    bool OpenFile(const QString&) override { return false; }
};

inline std::shared_ptr<IUserInterface>& IUserInterface::Slot()
{
    static std::shared_ptr<IUserInterface> slot;
    return slot;
}

inline IUserInterface& IUserInterface::Current()
{
    static THeadlessUserInterface headless;
    auto& slot = Slot();
    return slot ? *slot : static_cast<IUserInterface&>(headless);
}

inline void IUserInterface::Install(std::shared_ptr<IUserInterface> service)
{
    Slot() = std::move(service);
}
