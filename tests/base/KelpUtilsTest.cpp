#include "FakeUserInterface.h"
#include "QtPrinters.h"
#include "base/KelpUtils.h"
#include "base/KpUt.h"
#include "base/Perf.h"
#include "base/TempDirectory.h"
#include "platform/rtl/FormatSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FakeShell : public IShellServices
{
public:
    bool OpenFile(const QString& fileName) override
    {
        if (throwOnOpen)
            throw std::runtime_error("no window");
        opened << fileName;
        return openResult;
    }
    void ShowError(const QString& message) override { errors << message; }

    QStringList opened;
    QStringList errors;
    bool openResult = true;
    bool throwOnOpen = false;
};

class ShellOpenFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        shell = std::make_shared<FakeShell>();
        KelpUtils::SetShellServices(shell);
        ASSERT_TRUE(dir.isValid());
        existing = dir.filePath(QStringLiteral("atskaite.xlsx"));
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    void TearDown() override { KelpUtils::SetShellServices(nullptr); }

    std::shared_ptr<FakeShell> shell;
    QTemporaryDir dir;
    QString existing;
};

TEST_F(ShellOpenFileTest, OpensAnExistingFile)
{
    KelpUtils::ShellOpenFile(existing);
    EXPECT_EQ(shell->opened, QStringList{existing});
    EXPECT_TRUE(shell->errors.isEmpty());
}

TEST_F(ShellOpenFileTest, BlankNameDoesNothing)
{
    KelpUtils::ShellOpenFile(QStringLiteral("   "));
    EXPECT_TRUE(shell->opened.isEmpty());
    EXPECT_TRUE(shell->errors.isEmpty());
}

TEST_F(ShellOpenFileTest, MissingFileOrFailedOpenIsReported)
{
    const QString missing = dir.filePath(QStringLiteral("nav.xlsx"));
    KelpUtils::ShellOpenFile(missing);
    EXPECT_TRUE(shell->opened.isEmpty());
    ASSERT_EQ(shell->errors.size(), 1);
    EXPECT_EQ(shell->errors.at(0), QStringLiteral("Fails \"%1\" nav atrasts!").arg(missing));

    shell->errors.clear();
    shell->openResult = false;
    KelpUtils::ShellOpenFile(existing);
    EXPECT_EQ(shell->errors.size(), 1);

    shell->errors.clear();
    shell->throwOnOpen = true;
    KelpUtils::ShellOpenFile(existing);
    EXPECT_EQ(shell->errors.size(), 1);
}

TEST(TempFilesTest, GuidNamesInAFolderWithDelimiter)
{
    const QString a = KelpUtils::NewTempFileName(QStringLiteral("/tmp/x"));
    const QString b = KelpUtils::NewTempFileName(QStringLiteral("/tmp/x/"));
    EXPECT_TRUE(a.startsWith(QStringLiteral("/tmp/x/")));
    EXPECT_TRUE(b.startsWith(QStringLiteral("/tmp/x/")));
    EXPECT_FALSE(b.startsWith(QStringLiteral("/tmp/x//")));
    const QString name = QFileInfo(a).fileName();
    EXPECT_EQ(name.size(), 36);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
                    .match(name)
                    .hasMatch());
    QSet<QString> names;
    for (int i = 0; i < 100; ++i)
        names.insert(KelpUtils::NewTempFileName(QStringLiteral("/tmp")));
    EXPECT_EQ(names.size(), 100);
}

// Runs GetTempDirectory with TMPDIR pointing elsewhere, then restores it.
QString TempDirWith(const QByteArray& tmpdir)
{
    const QByteArray saved = qgetenv("TMPDIR");
    const bool had = qEnvironmentVariableIsSet("TMPDIR");
    qputenv("TMPDIR", tmpdir);
    const QString r = GetTempDirectory();
    if (had)
        qputenv("TMPDIR", saved);
    else
        qunsetenv("TMPDIR");
    return r;
}

TEST(TempFilesTest, TempDirectoryIsCreatedOrFallsBackToAWritableFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString nested = root.filePath(QStringLiteral("a/b/c"));
    EXPECT_EQ(TempDirWith(nested.toUtf8()), nested + QLatin1Char('/'));
    EXPECT_TRUE(QFileInfo(nested).isDir());

    // A folder below a plain file can never be made.
    const QString file = root.filePath(QStringLiteral("plain"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString fallback = TempDirWith((file + QStringLiteral("/sub")).toUtf8());
    EXPECT_TRUE(fallback.endsWith(QLatin1Char('/')));
    EXPECT_FALSE(fallback.startsWith(file));
    QFile probe(fallback + QStringLiteral("probe-check.tmp"));
    EXPECT_TRUE(probe.open(QIODevice::WriteOnly));
    probe.remove();
}

TEST(SheetFormatsTest, DisplayFormatsBecomeSheetFormats)
{
    const struct
    {
        const char *from, *date, *number;
    } cases[] = {
        {"dd.mm.yyyy hh:nn", "dd.mm.yyyy hh:mm", "dd.mm.yyyy hh:nn"},
        {"hh:nn ampm", "hh:mm AM/PM", "hh:nn ampm"},
        {"h:nn:ss.zzz A/P", "h:mm:ss.000 AM/PM", "h:nn:\\s\\s.zzz A/P"},
        {"0.00 %", "0.00 %", "0.0000\\%"},
        {"#0.0 Sm", "#0.0 Sm", "#0.0 \\Sm"},
    };
    for (const auto& c : cases) {
        const QString from = QString::fromUtf8(c.from);
        EXPECT_EQ(KelpUtils::DateFormatToSheetFormat(from), QString::fromUtf8(c.date)) << c.from;
        EXPECT_EQ(KelpUtils::NumberFormatToSheetFormat(from), QString::fromUtf8(c.number)) << c.from;
    }
}

TEST(SheetFormatsTest, PeriodDatesForExport)
{
    FormatSettings fs = FormatSettings::Invariant();
    fs.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    FormatSettings::SetDefault(fs);
    EXPECT_EQ(KelpUtils::InterimDateToDisplayText(QStringLiteral("202403310"), false),
              QStringLiteral("202403310"));
    EXPECT_EQ(KelpUtils::InterimDateToDisplayText(QStringLiteral("abc"), false), QStringLiteral("abc"));
    EXPECT_EQ(KelpUtils::InterimDateToDisplayText(QStringLiteral("2024031500"), false),
              QStringLiteral("15.03.2024"));
    EXPECT_EQ(KelpUtils::InterimDateToDisplayText(QStringLiteral("2024033102"), false),
              QStringLiteral("31.03.2024BP02"));
    EXPECT_EQ(KelpUtils::InterimDateToDisplayText(QStringLiteral("2024022901"), true),
              QStringLiteral("03.2024"));
}

TEST(HooksTest, DefaultTimingHooksMeasureNothing)
{
    TPerfSimple perf;
    StartPerf(perf);
    EXPECT_EQ(perf.FPerf, nullptr);
    PerfParam(QStringLiteral("name"), QStringLiteral("value"));

    struct Recorder : IPerf
    {
        int* stops;
        explicit Recorder(int* s) : stops(s) {}
        void Mark(const TCodeLocation&) override {}
        void Stop(const TCodeLocation&) override { ++*stops; }
    };
    static int stops = 0;
    static int line = 0;
    PerfStartProc = [](const TCodeLocation& where, TPerfSimple& p) {
        line = where.Line;
        p.FPerf = std::make_shared<Recorder>(&stops);
    };
    {
        TPerfSimple measured;
        StartPerf(measured);
        EXPECT_NE(measured.FPerf, nullptr);
        EXPECT_GT(line, 0);
        measured.StopPerf();
        EXPECT_EQ(measured.FPerf, nullptr);
    }
    EXPECT_EQ(stops, 1);
    PerfStartProc = &DefaultPerfStart;

    // The default wait cursor is the user-interface service's (its real cursor is tested
    // with the desktop service).
    InstalledFakeUserInterface ui;
    KelpUtils::InstallDefaultHooks();
    EXPECT_EQ(WaitCursorProc, &KelpUtils::DefaultWaitCursor);
    KpUt::WaitCursor(true);
    KpUt::WaitCursor(false);
    EXPECT_EQ(ui->cursor, (QList<bool>{true, false}));
    WaitCursorProc = nullptr;
    KpUt::WaitCursor(true);
    EXPECT_EQ(ui->cursor.size(), 3);
}

} // namespace
