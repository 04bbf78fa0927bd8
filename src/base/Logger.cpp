#include "base/Logger.h"

#include "base/TSharedSlot.h"
#include "platform/rtl/ERangeError.h"

#include <QObject>

namespace {

// A thread logging while another replaces or clears the sink keeps the sink it read alive until
// its call returns; only the read of the pointer is guarded, never the sink's work.
TSharedSlot<ILogSink>& GlobalSink()
{
    static TSharedSlot<ILogSink> sink;
    return sink;
}

void WriteAt(TLogLevel level, const QString& message, const QString& component, const QString& context,
             int value, TLogCategories categories)
{
    if (value < 0)
        throw ERangeError(QStringLiteral("Range check error"));
    if (auto sink = LogSink())
        sink->Write(message, component, context, static_cast<quint32>(value), categories, level);
}

QString HexAddress(const void* object)
{
    return QStringLiteral("%1").arg(reinterpret_cast<quintptr>(object), 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

std::shared_ptr<ILogSink> LogSink()
{
    return GlobalSink().Load();
}

void SetLogSink(std::shared_ptr<ILogSink> sink)
{
    GlobalSink().Store(std::move(sink));
}

void ClearLogSink()
{
    GlobalSink().Store(nullptr);
}

void LogDebug(const QString& Message, const QString& Component, const QString& Context, int Value,
              TLogCategories Categories)
{
    WriteAt(TLogLevel::Debug, Message, Component, Context, Value, Categories);
}

void LogInfo(const QString& Message, const QString& Component, const QString& Context, int Value,
             TLogCategories Categories)
{
    WriteAt(TLogLevel::Info, Message, Component, Context, Value, Categories);
}

void LogWarn(const QString& Message, const QString& Component, const QString& Context, int Value,
             TLogCategories Categories)
{
    WriteAt(TLogLevel::Warn, Message, Component, Context, Value, Categories);
}

void LogError(const QString& Message, const QString& Component, const QString& Context, int Value,
              TLogCategories Categories)
{
    WriteAt(TLogLevel::Error, Message, Component, Context, Value, Categories);
}

void LogBegin(TLogHandle& Handle, const QString& Message, const QString& Component, TLogCategory Category,
              TLogLevel Level, TLogCategories Categories, const QString& Context)
{
    if (auto sink = LogSink())
        sink->Begin(Handle, Message, Component, Category, Level, Categories, Context);
}

void LogEnd(TLogHandle Handle, const QString& Message, const QString& Component, TLogCategory Category,
            TLogLevel Level, const QString& Context)
{
    if (auto sink = LogSink())
        sink->End(Handle, Message, Component, Category, Level, Context);
}

TLogLevel CurrentLogLevel()
{
    auto sink = LogSink();
    return sink ? sink->CurrentLevel() : TLogLevel::Off;
}

QString LogObjectContext(const QObject* Component, TLogLevel Level)
{
    if (CurrentLogLevel() < Level)
        return {};
    if (!Component)
        return QStringLiteral("_NIL_OBJ");
    const QString className = QString::fromLatin1(Component->metaObject()->className());
    if (!Component->objectName().isEmpty())
        return u'_' + className + u'_' + Component->objectName();
    return u'_' + className + u'_' + HexAddress(Component);
}
