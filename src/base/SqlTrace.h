#pragma once

// Hooks by which database code reports SQL traces to a monitoring tool. Nothing is traced until a
// tool installs a trace client, raises the trace level and chooses the session's trace kinds.

#include "base/TSqlTraceClient.h"

#include <QString>
#include <bitset>
#include <memory>

inline constexpr int SqlTraceKindCount = 16;
using TSqlTraceKinds = std::bitset<SqlTraceKindCount>;

std::shared_ptr<TSqlTraceClient> SqlTraceClient();
void SetSqlTraceClient(std::shared_ptr<TSqlTraceClient> client);

int SqlTraceLevel();
void SetSqlTraceLevel(int level);

TSqlTraceKinds SqlTraceKinds();
void SetSqlTraceKinds(TSqlTraceKinds kinds);

// A client with a monitor exists, the trace level is at least Level and Kind (0 to 15) is traced.
bool IsSqlTraceEnabled(int Kind, int Level);

// When enabled, hands "[Prefix]Text" with Kind to the trace sink under the monitor's write lock;
// a failure on the way is swallowed, as tracing must never disturb the traced work.
void SendSqlTrace(int Kind, const QString& Prefix, const QString& Text, int Level);
