#pragma once

// A log sink that keeps every call it receives, for tests that check what was logged.

#include "base/ILogSink.h"

#include <QString>
#include <mutex>
#include <vector>

struct RecordedCall
{
    QString What;
    QString Message;
    QString Component;
    QString Context;
    quint32 Value = 0;
    unsigned long Categories = 0;
    TLogLevel Level = TLogLevel::Off;
    TLogHandle Handle = 0;
    int Category = -1;
};

class RecordingSink : public ILogSink
{
public:
    explicit RecordingSink(TLogLevel level = TLogLevel::Debug) : FLevel(level) {}

    TLogLevel CurrentLevel() const override { return FLevel; }
    void Write(const QString& message, const QString& component, const QString& context, quint32 value,
               TLogCategories categories, TLogLevel level) override
    {
        Record({QStringLiteral("write"), message, component, context, value, categories.to_ulong(), level});
    }
    void Begin(TLogHandle& handle, const QString& message, const QString& component, TLogCategory category,
               TLogLevel level, TLogCategories categories, const QString& context) override
    {
        handle = 77;
        Record({QStringLiteral("begin"), message, component, context, 0, categories.to_ulong(), level, handle,
                static_cast<int>(category)});
    }
    void End(TLogHandle handle, const QString& message, const QString& component, TLogCategory category,
             TLogLevel level, const QString& context) override
    {
        Record({QStringLiteral("end"), message, component, context, 0, 0, level, handle, static_cast<int>(category)});
    }

    // Read only once the logging threads are done.
    std::vector<RecordedCall> Calls;

private:
    void Record(RecordedCall call)
    {
        std::lock_guard lock(FMutex);
        Calls.push_back(std::move(call));
    }

    TLogLevel FLevel;
    std::mutex FMutex;
};
