#include "QtPrinters.h"
#include "RecordingLogSink.h"
#include "RepeatingThreads.h"
#include "base/Logger.h"
#include "platform/rtl/ERangeError.h"

#include <QObject>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <vector>

namespace {

class LoggerTest : public ::testing::Test
{
protected:
    void TearDown() override { ClearLogSink(); }
};

TEST(LogTables, LevelNamesAndCategoryTable)
{
    const char* levels[] = {"INTERNAL", "OFF", "FATAL", "ERROR", "WARN", "INFO", "DEBUG"};
    for (int i = 0; i < LogLevelCount; ++i)
        EXPECT_EQ(LogLevelName(static_cast<TLogLevel>(i)), QLatin1String(levels[i]));

    struct Row { TLogCategory Category; const char* ShortName; const char* Identifier; const char* Description; };
    const Row rows[] = {
        {TLogCategory::DmSys, "dmSys", "LogDmSys", "dmSystem creation/destruction"},
        {TLogCategory::Session, "Session", "LogSession", "dmSystem assignment to session "},
        {TLogCategory::DBDetailed, "DBDetailed", "LogDBDetailed", "Query execution detailed"},
        {TLogCategory::System, "System", "LogSys", "System"},
        {TLogCategory::JobScheduler, "JobScheduler", "LogSched", "Job scheduler"},
        {TLogCategory::HttpSessions, "HttpSessions", "LogHttpSession", "Http session"},
        {TLogCategory::Sask, "Sask", "LogSask", "Sask"},
    };
    for (const Row& row : rows) {
        const TLogCategoryInfo& info = LogCategoryInfo(row.Category);
        EXPECT_STREQ(info.ShortName, row.ShortName);
        EXPECT_STREQ(info.Identifier, row.Identifier);
        EXPECT_STREQ(info.Description, row.Description);
    }
    // The database code passes these sets as plain numbers.
    EXPECT_EQ(LogCategories({TLogCategory::DBDetailed}).to_ulong(), 16u);
    EXPECT_EQ(LogCategories({TLogCategory::DBShort}).to_ulong(), 32u);
    EXPECT_EQ(LogCategories({TLogCategory::DBDetailed, TLogCategory::DBShort}).to_ulong(), 48u);
}

TEST_F(LoggerTest, WithoutSinkNothingHappensAndLevelIsOff)
{
    EXPECT_EQ(CurrentLogLevel(), TLogLevel::Off);
    LogDebug(QStringLiteral("m"), QStringLiteral("c"), {}, 1, {});
    LogError(QStringLiteral("m"), QStringLiteral("c"), {}, 1, {});
    TLogHandle handle = 5;
    LogBegin(handle, QStringLiteral("m"), {}, TLogCategory::System, TLogLevel::Info, {}, {});
    LogEnd(handle, QStringLiteral("m"), {}, TLogCategory::System, TLogLevel::Info, {});
    EXPECT_EQ(handle, 5);
    // The range check comes first, sink or not.
    EXPECT_THROW(LogInfo(QStringLiteral("m"), {}, {}, -1, {}), ERangeError);
}

TEST_F(LoggerTest, EachRoutineWritesAtItsLevel)
{
    auto sink = std::make_shared<RecordingSink>(TLogLevel::Warn);
    SetLogSink(sink);
    EXPECT_EQ(CurrentLogLevel(), TLogLevel::Warn);

    using Routine = void (*)(const QString&, const QString&, const QString&, int, TLogCategories);
    const struct { Routine Call; TLogLevel Level; } rows[] = {
        {LogDebug, TLogLevel::Debug}, {LogInfo, TLogLevel::Info},
        {LogWarn, TLogLevel::Warn},   {LogError, TLogLevel::Error}};
    const TLogCategories sql = LogCategories({TLogCategory::DBDetailed, TLogCategory::DBShort});
    for (const auto& row : rows)
        row.Call(QStringLiteral("select 1"), QStringLiteral("Query"), QStringLiteral("ctx"), 42, sql);
    ASSERT_EQ(sink->Calls.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const RecordedCall& call = sink->Calls[i];
        EXPECT_EQ(call.Level, rows[i].Level);
        EXPECT_EQ(call.Message, QStringLiteral("select 1"));
        EXPECT_EQ(call.Component, QStringLiteral("Query"));
        EXPECT_EQ(call.Context, QStringLiteral("ctx"));
        EXPECT_EQ(call.Value, 42u);
        EXPECT_EQ(call.Categories, 48u);
    }
    EXPECT_THROW(LogWarn(QStringLiteral("m"), {}, {}, -5, {}), ERangeError);
    EXPECT_EQ(sink->Calls.size(), 4u);

    TLogHandle handle = 0;
    LogBegin(handle, QStringLiteral("load"), QStringLiteral("Loader"), TLogCategory::Calculation, TLogLevel::Info,
             sql, QStringLiteral("x"));
    EXPECT_EQ(handle, 77);
    LogEnd(handle, QStringLiteral("done"), QStringLiteral("Loader"), TLogCategory::Calculation, TLogLevel::Info,
           QStringLiteral("x"));
    ASSERT_EQ(sink->Calls.size(), 6u);
    EXPECT_EQ(sink->Calls[4].What, QStringLiteral("begin"));
    EXPECT_EQ(sink->Calls[4].Category, static_cast<int>(TLogCategory::Calculation));
    EXPECT_EQ(sink->Calls[5].What, QStringLiteral("end"));
    EXPECT_EQ(sink->Calls[5].Handle, 77);
    EXPECT_EQ(sink->Calls[5].Message, QStringLiteral("done"));

    ClearLogSink();
    EXPECT_EQ(LogSink(), nullptr);
    LogError(QStringLiteral("after"), {}, {}, 0, {});
    EXPECT_EQ(sink->Calls.size(), 6u);
}

TEST_F(LoggerTest, ObjectContext)
{
    QObject named;
    named.setObjectName(QStringLiteral("grdKoki"));
    QObject unnamed;
    char address[2 * sizeof(std::uintptr_t) + 1];
    std::snprintf(address, sizeof address, "%08" PRIXPTR, reinterpret_cast<std::uintptr_t>(&unnamed));

    struct Row { TLogLevel SinkLevel; bool HasSink; const QObject* Object; TLogLevel Level; QString Expected; };
    const Row rows[] = {
        {TLogLevel::Debug, true, nullptr, TLogLevel::Debug, QStringLiteral("_NIL_OBJ")},
        {TLogLevel::Debug, true, &named, TLogLevel::Info, QStringLiteral("_QObject_grdKoki")},
        {TLogLevel::Debug, true, &unnamed, TLogLevel::Debug, QStringLiteral("_QObject_") + QLatin1String(address)},
        {TLogLevel::Info, true, &named, TLogLevel::Debug, QString()},  // level below the wanted one
        {TLogLevel::Off, false, &named, TLogLevel::Fatal, QString()},  // no sink reads as OFF
        {TLogLevel::Off, false, &named, TLogLevel::Off, QStringLiteral("_QObject_grdKoki")},
    };
    for (const Row& row : rows) {
        if (row.HasSink)
            SetLogSink(std::make_shared<RecordingSink>(row.SinkLevel));
        else
            ClearLogSink();
        EXPECT_EQ(LogObjectContext(row.Object, row.Level), row.Expected);
    }
    // The whole address, upper case, at least 8 digits, and it reads back to the object.
    const QString context = LogObjectContext(&unnamed, TLogLevel::Off);
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^_QObject_[0-9A-F]{8,}$")).match(context).hasMatch())
        << context.toStdString();
    bool hex = false;
    EXPECT_EQ(context.mid(9).toULongLong(&hex, 16), reinterpret_cast<std::uintptr_t>(&unnamed));
    EXPECT_TRUE(hex);
}

// A thread logging while another replaces the sink must finish its call on the sink it read,
// never on one already freed (the sanitizers report a use after free or a race); a new sink gets
// the lines from then on, and a cleared one gets nothing more.
class CountingSink : public ILogSink
{
public:
    TLogLevel CurrentLevel() const override { return TLogLevel::Debug; }
    void Write(const QString&, const QString&, const QString&, quint32, TLogCategories, TLogLevel) override
    {
        ++FCount;
    }
    void Begin(TLogHandle&, const QString&, const QString&, TLogCategory, TLogLevel, TLogCategories,
               const QString&) override {}
    void End(TLogHandle, const QString&, const QString&, TLogCategory, TLogLevel, const QString&) override {}

    int Count() const { return FCount.load(); }

private:
    std::atomic<int> FCount{0};
};

TEST_F(LoggerTest, SinkReplacedWhileThreadsLog)
{
    constexpr int writerCount = 4;
    const RepeatingThreads writers(writerCount,
                                   [](int, long) { LogInfo(QStringLiteral("line"), QStringLiteral("T"), {}, 1, {}); });
    for (int round = 0; round < 100; ++round) {
        auto sink = std::make_shared<CountingSink>();
        SetLogSink(sink);
        writers.Settle();
        EXPECT_GE(sink->Count(), writerCount) << "round " << round;
        ClearLogSink();
        writers.Settle();
        const int settled = sink->Count();
        writers.Settle();
        EXPECT_EQ(sink->Count(), settled) << "round " << round;
    }
}

} // namespace
