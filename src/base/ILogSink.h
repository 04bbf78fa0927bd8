#pragma once

#include "base/TLogCategory.h"
#include "base/TLogLevel.h"

#include <QString>
#include <cstdint>

// Identifies a timed operation between LogBegin and LogEnd; the sink chooses its values.
using TLogHandle = std::intptr_t;

// Where log messages go. The logger takes no lock: a sink used from several threads guards itself.
class ILogSink
{
public:
    virtual ~ILogSink() = default;

    virtual TLogLevel CurrentLevel() const = 0;
    virtual void Write(const QString& Message, const QString& Component, const QString& Context,
                       quint32 Value, TLogCategories Categories, TLogLevel Level) = 0;
    virtual void Begin(TLogHandle& Handle, const QString& Message, const QString& Component,
                       TLogCategory Category, TLogLevel Level, TLogCategories Categories,
                       const QString& Context) = 0;
    virtual void End(TLogHandle Handle, const QString& Message, const QString& Component,
                     TLogCategory Category, TLogLevel Level, const QString& Context) = 0;
};
