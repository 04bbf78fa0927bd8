#pragma once

#include "base/IShellServices.h"
#include "base/KelpUtils.h"

#include <QStringList>
#include <memory>

// Records what would have been opened or shown, so that no program starts in a test.
class FakeShell : public IShellServices
{
public:
    bool OpenFile(const QString& fileName) override
    {
        opened << fileName;
        return openResult;
    }
    void ShowError(const QString& message) override { errors << message; }

    QStringList opened;
    QStringList errors;
    bool openResult = true;
};

// Installs a FakeShell for the life of the object.
struct ShellScope
{
    std::shared_ptr<FakeShell> shell = std::make_shared<FakeShell>();
    ShellScope() { KelpUtils::SetShellServices(shell); }
    ~ShellScope() { KelpUtils::SetShellServices(nullptr); }
};

// Counts the progress signals of exports.
#include "export/ExportProgress.h"

struct ProgressCount
{
    int starts = 0, steps = 0, ends = 0, announced = 0;
    QMetaObject::Connection a, b, c;
    ProgressCount()
    {
        a = QObject::connect(&ExportProgress::Instance(), &ExportProgress::Started, [this](int n) {
            ++starts;
            announced = n;
        });
        b = QObject::connect(&ExportProgress::Instance(), &ExportProgress::Stepped, [this](int n) { steps += n; });
        c = QObject::connect(&ExportProgress::Instance(), &ExportProgress::Ended, [this] { ++ends; });
    }
    ~ProgressCount()
    {
        QObject::disconnect(a);
        QObject::disconnect(b);
        QObject::disconnect(c);
    }
};
