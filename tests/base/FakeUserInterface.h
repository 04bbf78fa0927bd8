#pragma once

#include "platform/ui/IUserInterface.h"

#include <QStringList>

// Records what base asks of the screen and answers questions as told; installed for its
// lifetime.
class FakeUserInterface : public IUserInterface
{
public:
    void Beep() override { ++beeps; }
    void ShowError(const QString& text) override { errors << text; }
    bool ConfirmYesNo(const QString& text) override
    {
        questions << text;
        return answerYes;
    }
    void WaitCursor(bool on) override { cursor << on; }
    bool OpenFile(const QString& fileName) override
    {
        opened << fileName;
        return openResult;
    }

    int beeps = 0;
    QStringList errors;
    QStringList questions;
    QStringList opened;
    QList<bool> cursor;
    bool answerYes = false;
    bool openResult = true;
};

class InstalledFakeUserInterface
{
public:
    InstalledFakeUserInterface() { IUserInterface::Install(fake); }
    ~InstalledFakeUserInterface() { IUserInterface::Install(nullptr); }
    FakeUserInterface* operator->() const { return fake.get(); }

    std::shared_ptr<FakeUserInterface> fake = std::make_shared<FakeUserInterface>();
};
