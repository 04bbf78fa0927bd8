#include "base/SqlTrace.h"

#include "base/TSharedSlot.h"

#include <atomic>

namespace {

// A thread tracing keeps the client it read alive while the client is replaced.
TSharedSlot<TSqlTraceClient>& GlobalClient()
{
    static TSharedSlot<TSqlTraceClient> client;
    return client;
}

std::atomic<int> g_level{0};
std::atomic<unsigned long> g_kinds{0};

} // namespace

std::shared_ptr<TSqlTraceClient> SqlTraceClient()
{
    return GlobalClient().Load();
}

void SetSqlTraceClient(std::shared_ptr<TSqlTraceClient> client)
{
    GlobalClient().Store(std::move(client));
}

int SqlTraceLevel()
{
    return g_level.load();
}

void SetSqlTraceLevel(int level)
{
    g_level.store(level);
}

TSqlTraceKinds SqlTraceKinds()
{
    return TSqlTraceKinds(g_kinds.load());
}

void SetSqlTraceKinds(TSqlTraceKinds kinds)
{
    g_kinds.store(kinds.to_ulong());
}

namespace {

bool EnabledFor(const TSqlTraceMonitor* monitor, int kind, int level)
{
    return monitor && SqlTraceLevel() >= level && kind >= 0 && kind < SqlTraceKindCount &&
           SqlTraceKinds().test(static_cast<std::size_t>(kind));
}

std::shared_ptr<TSqlTraceMonitor> CurrentMonitor()
{
    const auto client = SqlTraceClient();
    return client ? client->Monitor() : nullptr;
}

} // namespace

bool IsSqlTraceEnabled(int Kind, int Level)
{
    return EnabledFor(CurrentMonitor().get(), Kind, Level);
}

void SendSqlTrace(int Kind, const QString& Prefix, const QString& Text, int Level)
{
    try {
        // The monitor is read once: checked and written to is the same one, even when another
        // thread replaces it meanwhile.
        const auto monitor = CurrentMonitor();
        if (EnabledFor(monitor.get(), Kind, Level))
            monitor->Write(Kind, u'[' + Prefix + u']' + Text);
    } catch (...) {
        // Tracing is a bystander: its failure must not reach the database work being traced.
    }
}
