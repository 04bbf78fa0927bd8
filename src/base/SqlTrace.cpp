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

bool EnabledFor(const TSqlTraceClient* client, int kind, int level)
{
    return client && client->Monitor() && SqlTraceLevel() >= level && kind >= 0 && kind < SqlTraceKindCount &&
           SqlTraceKinds().test(static_cast<std::size_t>(kind));
}

} // namespace

bool IsSqlTraceEnabled(int Kind, int Level)
{
    return EnabledFor(SqlTraceClient().get(), Kind, Level);
}

void SendSqlTrace(int Kind, const QString& Prefix, const QString& Text, int Level)
{
    try {
        const auto client = SqlTraceClient();
        if (EnabledFor(client.get(), Kind, Level))
            client->Monitor()->Write(Kind, u'[' + Prefix + u']' + Text);
    } catch (...) {
        // Tracing is a bystander: its failure must not reach the database work being traced.
    }
}
