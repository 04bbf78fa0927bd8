#pragma once

#include "base/IShellServices.h"
#include "base/KelpUtils.h"

#include <QFile>
#include <QStringList>
#include <memory>

// Records what would be opened, so that no program starts in a test.
struct RecordingShell : IShellServices {
    QStringList opened;
    bool OpenFile(const QString& fileName) override
    {
        opened << fileName;
        return true;
    }
    void ShowError(const QString&) override {}
};

// Installs a RecordingShell while alive; the files it was asked to open are deleted at the end.
struct RecordingShellScope {
    std::shared_ptr<RecordingShell> shell = std::make_shared<RecordingShell>();
    RecordingShellScope() { KelpUtils::SetShellServices(shell); }
    ~RecordingShellScope()
    {
        KelpUtils::SetShellServices(nullptr);
        for (const QString& f : shell->opened)
            QFile::remove(f);
    }
};
