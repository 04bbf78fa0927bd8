#pragma once

// A thin front for one replaceable log sink: every call goes to the installed sink, and nothing
// happens while none is installed (the default).

#include "base/ILogSink.h"

#include <QString>
#include <memory>

class QObject;

std::shared_ptr<ILogSink> LogSink();
void SetLogSink(std::shared_ptr<ILogSink> sink);
void ClearLogSink();

// A negative Value is a range error, whether or not a sink is installed.
void LogDebug(const QString& Message, const QString& Component, const QString& Context, int Value,
              TLogCategories Categories);
void LogInfo(const QString& Message, const QString& Component, const QString& Context, int Value,
             TLogCategories Categories);
void LogWarn(const QString& Message, const QString& Component, const QString& Context, int Value,
             TLogCategories Categories);
void LogError(const QString& Message, const QString& Component, const QString& Context, int Value,
              TLogCategories Categories);

void LogBegin(TLogHandle& Handle, const QString& Message, const QString& Component, TLogCategory Category,
              TLogLevel Level, TLogCategories Categories, const QString& Context);
void LogEnd(TLogHandle Handle, const QString& Message, const QString& Component, TLogCategory Category,
            TLogLevel Level, const QString& Context);

// The sink's level; Off without a sink.
TLogLevel CurrentLogLevel();

// Names an object for a log line: "_NIL_OBJ", "_Class_name" or "_Class_" + address; empty when the
// current level is below Level.
QString LogObjectContext(const QObject* Component, TLogLevel Level);
