#include "QtPrinters.h"
#include "RepeatingThreads.h"
#include "base/SqlTrace.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Deliberately unguarded: the monitor's write lock is what keeps concurrent traces apart.
class ListSink : public ISqlTraceSink
{
public:
    void Trace(int kind, const QString& line) override
    {
        Kinds.push_back(kind);
        Lines.push_back(line);
    }
    std::vector<int> Kinds;
    std::vector<QString> Lines;
};

class ThrowingSink : public ISqlTraceSink
{
public:
    void Trace(int, const QString&) override { throw std::runtime_error("monitor went away"); }
};

class SqlTraceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Sink = std::make_shared<ListSink>();
        SetSqlTraceClient(std::make_shared<TSqlTraceClient>(Sink));
        SetSqlTraceLevel(2);
        SetSqlTraceKinds(TSqlTraceKinds().set(0).set(3).set(15));
    }
    void TearDown() override
    {
        SetSqlTraceClient(nullptr);
        SetSqlTraceLevel(0);
        SetSqlTraceKinds({});
    }
    std::shared_ptr<ListSink> Sink;
};

TEST_F(SqlTraceTest, EnabledOnlyWithClientMonitorLevelAndKind)
{
    enum SetupKind { Installed, NoClient, ClientWithoutMonitor };
    const struct { SetupKind Setup; int Kind; int Level; bool Enabled; } rows[] = {
        {Installed, 3, 2, true},
        {Installed, 3, 1, true},
        {Installed, 15, 0, true},
        {Installed, 3, 3, false},  // level above the global one
        {Installed, 4, 1, false},  // kind not traced in this session
        {Installed, 16, 1, false}, // beyond the 16 kinds
        {Installed, -1, 1, false},
        {NoClient, 3, 1, false},
        {ClientWithoutMonitor, 3, 1, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.Setup << " kind " << row.Kind << " level " << row.Level);
        if (row.Setup == NoClient)
            SetSqlTraceClient(nullptr);
        else if (row.Setup == ClientWithoutMonitor)
            SetSqlTraceClient(std::make_shared<TSqlTraceClient>());
        else
            SetSqlTraceClient(std::make_shared<TSqlTraceClient>(Sink));
        EXPECT_EQ(IsSqlTraceEnabled(row.Kind, row.Level), row.Enabled);
        const std::size_t before = Sink->Lines.size();
        SendSqlTrace(row.Kind, QStringLiteral("Q"), QStringLiteral("select 1"), row.Level);
        EXPECT_EQ(Sink->Lines.size(), before + (row.Enabled ? 1 : 0));
    }
    ASSERT_FALSE(Sink->Lines.empty());
    EXPECT_EQ(Sink->Lines.front(), QStringLiteral("[Q]select 1"));
    EXPECT_EQ(Sink->Kinds.front(), 3);
}

TEST_F(SqlTraceTest, SinkFailureIsSwallowed)
{
    SetSqlTraceClient(std::make_shared<TSqlTraceClient>(std::make_shared<ThrowingSink>()));
    EXPECT_NO_THROW(SendSqlTrace(0, QStringLiteral("P"), QStringLiteral("t"), 1));
    // The lock is released after the failure: a later trace goes through.
    SqlTraceClient()->Monitor()->SetSink(Sink);
    SendSqlTrace(0, QStringLiteral("P"), QStringLiteral("t"), 1);
    EXPECT_EQ(Sink->Lines, std::vector<QString>{QStringLiteral("[P]t")});
}

TEST_F(SqlTraceTest, SeveralThreadsTraceAtOnce)
{
    constexpr int threads = 6;
    constexpr int perThread = 400;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([t] {
            for (int i = 0; i < perThread; ++i)
                SendSqlTrace(t % 2 == 0 ? 0 : 3, QString::number(t), QString::number(i), 1);
        });
    for (auto& worker : workers)
        worker.join();
    ASSERT_EQ(Sink->Lines.size(), std::size_t{threads * perThread});
    // Every line arrives whole and each thread's lines keep their order.
    std::vector<int> next(threads, 0);
    for (const QString& line : Sink->Lines) {
        const int close = line.indexOf(u']');
        ASSERT_GT(close, 1) << line.toStdString();
        const int t = line.mid(1, close - 1).toInt();
        EXPECT_EQ(line.mid(close + 1).toInt(), next[t]++);
    }
}

// A monitor replaced or removed while other threads trace: each trace finishes on the monitor it
// read, never on one being destroyed (the sanitizers report a use after free or a race); a new
// monitor gets the lines from then on.
TEST_F(SqlTraceTest, MonitorReplacedWhileThreadsTrace)
{
    constexpr int tracerCount = 4;
    const QRegularExpression wholeLine(QStringLiteral("^\\[[0-3]\\][0-9]+$"));
    const auto client = SqlTraceClient();
    const RepeatingThreads tracers(tracerCount, [](int t, long call) {
        SendSqlTrace(t % 2 == 0 ? 0 : 3, QString::number(t), QString::number(call), 1);
    });
    for (int round = 0; round < 100; ++round) {
        auto sink = std::make_shared<ListSink>();
        client->SetMonitor(std::make_shared<TSqlTraceMonitor>(sink));
        tracers.Settle();
        client->SetMonitor(round % 2 == 0 ? nullptr : std::make_shared<TSqlTraceMonitor>(std::make_shared<ListSink>()));
        tracers.Settle(); // nobody writes to sink any more
        EXPECT_GE(sink->Lines.size(), std::size_t{tracerCount}) << "round " << round;
        for (const QString& line : sink->Lines)
            ASSERT_TRUE(wholeLine.match(line).hasMatch()) << line.toStdString();
    }
}

} // namespace
