#include "ModelBuilder.h"

#include "base/EValidationException.h"
#include "import/TCSHrvStumpwiseToDS.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"
#include "platform/rtl/EConvertError.h"

#include <gtest/gtest.h>

namespace {

QString F(TDataSet* ds, const char* field) { return ds->FieldByName(QString::fromLatin1(field))->DisplayText(); }
Value Val(TDataSet* ds, const char* field) { return ds->FieldByName(QString::fromLatin1(field))->Value(); }
TField* Fld(TDataSet* ds, const char* field) { return ds->FieldByName(QString::fromLatin1(field)); }

// A file of two trees: a usable operator tree of two logs and a random tree of another species.
void TwoTrees(const QString&, TAnalysisModel& m)
{
    TModelBuilder b;
    b.m.Header = m.Header;
    b.m.Header.HRV_NUMURS = QStringLiteral("H-1");
    b.Tree(1, QStringLiteral("EGLE"), 2, 45047.0);
    b.GoodLog(1, 1);
    b.GoodLog(1, 2);
    b.Tree(2, QStringLiteral("BĒRZS"), 1, 45048.0);
    b.GoodLog(2, 1);
    TCirsmaRow c;
    c.CIRSMA_NR = 1;
    c.OBJECTUSERID = QStringLiteral("A");
    b.m.Cirsmas.push_back(c);
    m = b.m;
}

void CheckEmpty(TCSHrvStumpwiseToDS& l)
{
    for (TClientDataSet* ds : {l.cdsVar(), l.cdsHeader(), l.cdsKoki(), l.cdsBalki(), l.cdsMerijumi(),
                               l.cdsDiamNovirzes(), l.cdsCirsmas()}) {
        EXPECT_TRUE(ds->Active()) << ds->Name().toStdString();
        EXPECT_EQ(ds->RecordCount(), 0) << ds->Name().toStdString();
    }
    TClientDataSet* sk = l.cdsKokuSk();
    ASSERT_EQ(sk->RecordCount(), 3);
    sk->First();
    for (int kind = 0; kind <= 2; ++kind, sk->Next()) {
        EXPECT_EQ(Val(sk, "IZV_VEIDS").AsInteger(), kind);
        for (int i = 1; i < sk->FieldCount(); ++i)
            EXPECT_TRUE(sk->Fields(i)->IsNull());
    }
}

TEST(Loader, CreatedState)
{
    TCSHrvStumpwiseToDS l;
    EXPECT_EQ(l.MaksNovirze(), 20);
    EXPECT_EQ(l.HrvFileType(), csHrvKTRFile);
    EXPECT_EQ(l.odKTRFiles()->Title(), QStringLiteral("Ielādēt KTR/HQC failu"));
    EXPECT_EQ(l.odKTRFiles()->Filter(),
              QStringLiteral("KTR/HQC files (*.ktr;*.hqc)|*.KTR;*.HQC|KTR files (*.ktr)|*.KTR|HQC files (*.hqc)|*.HQC|All "
                             "files (*.*)|*.*"));
    CheckEmpty(l);
    EXPECT_EQ(l.cdsMerijumi()->FieldCount(), 18);
    EXPECT_EQ(Fld(l.cdsKoki(), "IZV_VEIDS")->DisplayLabel(), QStringLiteral("Izvēles veids (random/operatora)"));
    EXPECT_EQ(Fld(l.cdsMerijumi(), "NOVIRZE_DIAMETRS")->DisplayLabel(), QStringLiteral("Diamtra novirze"));
    EXPECT_EQ(Fld(l.cdsKoki(), "CIRSMA_NR")->DisplayLabel(), QStringLiteral("CIRSMA_NR"));
    EXPECT_EQ(Fld(l.cdsKoki(), "DERIGS")->Alignment(), TAlignment::taLeftJustify);
    EXPECT_EQ(Fld(l.cdsHeader(), "FILE_NAME")->Size(), 1000);
    EXPECT_EQ(l.cdsDiamNovirzes()->IndexFieldNames(), QStringLiteral("IZV_VEIDS;INTERVALS_DIAMETRS"));
    // Counts read as "all trees" etc.
    l.cdsKokuSk()->First();
    EXPECT_EQ(F(l.cdsKokuSk(), "IZV_VEIDS"), QStringLiteral("Visi koki"));
}

TEST(Loader, ReaderByExtension)
{
    const struct { const char* name; bool hqc; } cases[] = {
        {"DATA.HQC", true},  {"data.Hqc", true},       {"/x/data.hqc", true},  {"C:\\x.y\\data.hqc", true},
        {"data.ktr", false}, {"data.txt", false},      {"data", false},        {"data.hqc.bak", false},
        {"dir.hqc/data", false}, {"dir.hqc\\data", false}};
    for (const auto& c : cases) {
        TCSHrvStumpwiseToDS l;
        QString used;
        l.SetReaders([&](const QString& n, TAnalysisModel&) { used = QStringLiteral("ktr:") + n; },
                     [&](const QString& n, TAnalysisModel&) { used = QStringLiteral("hqc:") + n; });
        l.ImportFileIntoDS(QString::fromUtf8(c.name));
        EXPECT_EQ(used, (c.hqc ? QStringLiteral("hqc:") : QStringLiteral("ktr:")) + QString::fromUtf8(c.name));
        EXPECT_EQ(l.HrvFileType(), c.hqc ? csHrvHQCFile : csHrvKTRFile) << c.name;
    }
}

TEST(Loader, LoadPublishesTheAnalysis)
{
    TCSHrvStumpwiseToDS l;
    l.SetReaders(TwoTrees, TwoTrees);
    // A grid may have put the measurements on insertion order: the load keeps that choice and
    // its contents do not depend on it.
    l.cdsMerijumi()->SetIndexName(QStringLiteral("DEFAULT_ORDER"));
    l.ImportFileIntoDS(QStringLiteral("/tmp/x.ktr"));

    TClientDataSet* h = l.cdsHeader();
    ASSERT_EQ(h->RecordCount(), 1);
    EXPECT_EQ(Val(h, "FILE_NAME").AsString(), QStringLiteral("/tmp/x.ktr"));
    EXPECT_EQ(Val(h, "HRV_NUMURS").AsString(), QStringLiteral("H-1"));
    EXPECT_EQ(Val(h, "HRV_APJOMS_OP").AsFloat(), 295.0);
    EXPECT_EQ(Val(h, "HRV_APJOMS_RAND").AsFloat(), 0.0);
    EXPECT_TRUE(Val(h, "PROCENTS_RAND").IsNull());
    EXPECT_EQ(Val(h, "DIENU_SKAITS").AsInteger(), 2);
    EXPECT_EQ(Val(h, "DATUMS_PARB_SAK").AsDateTime().Days(), 45047.0);

    TClientDataSet* k = l.cdsKoki();
    ASSERT_EQ(k->RecordCount(), 2);
    k->First();
    EXPECT_EQ(F(k, "DERIGS"), QStringLiteral("  "));
    EXPECT_TRUE(Val(k, "DERIGS").IsNull());
    EXPECT_EQ(F(k, "IZV_VEIDS"), QStringLiteral("Operatora izvēlētie"));
    k->Next();
    EXPECT_EQ(Val(k, "DERIGS").AsInteger(), 52);
    EXPECT_EQ(F(k, "DERIGS"), QStringLiteral("Neatbilst suga  "));
    EXPECT_EQ(F(k, "IZV_VEIDS"), QStringLiteral("Nejaušie koki"));

    EXPECT_EQ(l.cdsBalki()->RecordCount(), 3);
    TClientDataSet* m = l.cdsMerijumi();
    EXPECT_EQ(m->RecordCount(), 9 + 6);
    EXPECT_EQ(m->IndexName(), QStringLiteral("DEFAULT_ORDER"));
    // Insertion order: the file's rows, then the synthetic rows in the order they were made.
    m->First();
    EXPECT_EQ(Val(m, "MERIJUMS_NR").AsInteger(), 1);
    m->SetIndexFieldNames(QStringLiteral("KOKS_NR;BALKIS_NR;MERIJUMS_NR"));
    m->First();
    EXPECT_EQ(Val(m, "MERIJUMS_NR").AsInteger(), 0);
    EXPECT_EQ(F(m, "MERIJ_VEIDS"), QStringLiteral("Apr. resg"));
    EXPECT_EQ(F(m, "DERIGS_DIAM_NOV"), QStringLiteral("Neizmanto"));
    m->Last();
    EXPECT_EQ(Val(m, "MERIJUMS_NR").AsInteger(), 104);
    EXPECT_EQ(F(m, "MERIJUMS_NR"), QStringLiteral("4"));
    EXPECT_EQ(Val(m, "DERIGS").AsInteger(), 52);
    EXPECT_EQ(Val(m, "PIEZIMES").AsString(), QStringLiteral("Neatbilst suga  "));

    TClientDataSet* sk = l.cdsKokuSk();
    ASSERT_EQ(sk->RecordCount(), 3);
    sk->First();
    EXPECT_EQ(Val(sk, "KOKU_SK_DER").AsInteger(), 1);
    EXPECT_EQ(Val(sk, "KOKU_SK_NEDER").AsInteger(), 1);
    EXPECT_EQ(Val(sk, "BALKU_SK_DER_SUGA").AsInteger(), 2);

    // Deviation table rows in index order: kind, then interval text.
    TClientDataSet* d = l.cdsDiamNovirzes();
    QStringList order;
    for (d->First(); !d->Eof(); d->Next())
        order << QString::number(Val(d, "IZV_VEIDS").AsInteger()) + QLatin1Char(':') + Val(d, "INTERVALS_DIAMETRS").AsString();
    EXPECT_EQ(order.join(QLatin1Char(',')).toStdString(), std::string("0:100-199,0:200-299,0:Kopā,1:100-199,1:200-299,1:Kopā,"
                                                            "2:200-299,2:Kopā"));
    EXPECT_EQ(l.cdsCirsmas()->RecordCount(), 1);
    EXPECT_FALSE(k->ControlsDisabled());
    EXPECT_FALSE(m->ControlsDisabled());
}

TEST(Loader, FailureLeavesEmptyDataSetsAndOneMessage)
{
    TCSHrvStumpwiseToDS l;
    l.SetReaders(TwoTrees, [](const QString&, TAnalysisModel& m) {
        TwoTrees(QString(), m);
        throw EConvertError(QStringLiteral("'x' is not a valid integer value"));
    });
    l.ImportFileIntoDS(QStringLiteral("a.ktr"));
    ASSERT_EQ(l.cdsKoki()->RecordCount(), 2);
    try {
        l.ImportFileIntoDS(QStringLiteral("a.hqc"));
        FAIL() << "no exception";
    } catch (const EValidationException& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Kļūda ielādējot failu! Pārbaudiet vai fails ir korekts.\r\n"
                                              "Kļūdas paziņojums: 'x' is not a valid integer value"));
        EXPECT_FALSE(e.HasField());
    }
    EXPECT_EQ(l.HrvFileType(), csHrvHQCFile);
    CheckEmpty(l);
    for (TClientDataSet* ds : {l.cdsVar(), l.cdsKoki(), l.cdsKokuSk(), l.cdsBalki(), l.cdsMerijumi(),
                               l.cdsDiamNovirzes(), l.cdsCirsmas()})
        EXPECT_FALSE(ds->ControlsDisabled()) << ds->Name().toStdString();

    // A failure inside the analysis (a position that overflows) ends the same way.
    l.SetReaders(
        [](const QString&, TAnalysisModel& m) {
            TwoTrees(QString(), m);
            m.Meas[2].MERIJUMS_NR = 2147483647; // its top row cannot be numbered
        },
        nullptr);
    EXPECT_THROW(l.ImportFileIntoDS(QStringLiteral("b.ktr")), EValidationException);
    CheckEmpty(l);
}

TEST(Loader, DialogAndCancel)
{
    TCSHrvStumpwiseToDS l;
    int reads = 0;
    l.SetReaders([&](const QString& n, TAnalysisModel& m) { ++reads; TwoTrees(n, m); }, nullptr);
    EXPECT_FALSE(l.LoadToDSFromFileWithDialog()); // no dialog installed: nothing chosen
    l.odKTRFiles()->OnExecute = [](TOpenFileDialog& d) { d.SetFileName(QStringLiteral("c.ktr")); return true; };
    EXPECT_TRUE(l.LoadToDSFromFileWithDialog());
    EXPECT_EQ(reads, 1);
    l.odKTRFiles()->OnExecute = [](TOpenFileDialog&) { return false; };
    EXPECT_FALSE(l.LoadToDSFromFileWithDialog());
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(l.cdsKoki()->RecordCount(), 2); // untouched by the cancelled dialog
}

TEST(Loader, TextsHandlersAndFilters)
{
    TCSHrvStumpwiseToDS l;
    EXPECT_EQ(TCSHrvStumpwiseToDS::GetErrorMessage(18), QStringLiteral("Mērījumu skaits ir mazāks par 3  "));
    EXPECT_EQ(TCSHrvStumpwiseToDS::GetErrorMessage(0), QStringLiteral("  "));

    l.FilterBalki();
    EXPECT_EQ(l.cdsBalki()->Filter(), QStringLiteral("KOKS_NR = 0"));
    EXPECT_TRUE(l.cdsBalki()->Filtered());

    TClientDataSet* m = l.cdsMerijumi();
    const struct { int nr; const char* text; } numbers[] = {{0, "0"}, {99, "99"}, {100, "0"}, {103, "3"}};
    for (const auto& c : numbers) {
        m->Append();
        EXPECT_EQ(Val(m, "DERIGS").AsInteger(), 0);
        EXPECT_EQ(Val(m, "MERIJ_VEIDS").AsInteger(), 0);
        Fld(m, "KOKS_NR")->SetAsInteger(7);
        Fld(m, "BALKIS_NR")->SetAsInteger(c.nr);
        Fld(m, "MERIJUMS_NR")->SetAsInteger(c.nr);
        m->Post();
        EXPECT_EQ(F(m, "MERIJUMS_NR"), QString::fromUtf8(c.text));
    }
    m->Edit();
    Fld(m, "DERIGS")->SetAsInteger(20);
    Fld(m, "DERIGS")->SetAsInteger(7);
    EXPECT_EQ(Val(m, "PIEZIMES").AsString(),
              QStringLiteral("Mērījuma vieta ir 10 cm robežās no tievgaļa  ;Nav norādīti dastmēra diametri  "));
    Fld(m, "DERIGS")->SetAsInteger(0);
    EXPECT_TRUE(Val(m, "PIEZIMES").IsNull() || Val(m, "PIEZIMES").AsString().isEmpty());
    m->Post();

    TClientDataSet* b = l.cdsBalki();
    b->SetFiltered(false);
    b->Append();
    EXPECT_EQ(Val(b, "DERIGS").AsInteger(), 0);
    Fld(b, "KOKS_NR")->SetAsInteger(7);
    Fld(b, "BALKIS_NR")->SetAsInteger(103);
    b->Post();
    l.FilterMerijumi();
    EXPECT_EQ(m->Filter(), QStringLiteral("KOKS_NR = 7 AND BALKIS_NR = 103"));
    EXPECT_EQ(m->RecordCount(), 1);

    TClientDataSet* k = l.cdsKoki();
    k->Append();
    Fld(k, "IZV_VEIDS")->SetAsInteger(0);
    k->Post();
    EXPECT_EQ(F(k, "IZV_VEIDS"), QStringLiteral("Operatora izvēlētie"));
    EXPECT_EQ(F(k, "DERIGS"), QStringLiteral("  "));
}

// The analysis also runs on datasets filled row by row, as a reader working on the datasets
// would leave them.
TEST(Loader, ValidateAndCalculateOnDataSets)
{
    TCSHrvStumpwiseToDS l;
    TClientDataSet* h = l.cdsHeader();
    h->Append();
    Fld(h, "FILE_NAME")->SetAsString(QStringLiteral("f.ktr"));
    h->Post();
    TClientDataSet* k = l.cdsKoki();
    k->Append();
    Fld(k, "KOKS_NR")->SetAsInteger(1);
    Fld(k, "SUGA")->SetAsString(QStringLiteral("PRIEDE"));
    Fld(k, "IZV_VEIDS")->SetAsInteger(2);
    k->Post();
    TClientDataSet* b = l.cdsBalki();
    b->Append();
    for (const char* f : {"KOKS_NR", "BALKIS_NR"})
        Fld(b, f)->SetAsInteger(1);
    for (const char* f : {"HRV_GARUMS", "DAST_GARUMS"})
        Fld(b, f)->SetAsInteger(400);
    for (const char* f : {"HRV_TIEVG", "DAST_TIEVG"})
        Fld(b, f)->SetAsInteger(200);
    Fld(b, "MER_SKAITS")->SetAsInteger(1);
    b->Post();
    TClientDataSet* m = l.cdsMerijumi();
    m->Append();
    for (const char* f : {"KOKS_NR", "BALKIS_NR", "MERIJUMS_NR"})
        Fld(m, f)->SetAsInteger(1);
    Fld(m, "MERVIETA")->SetAsInteger(200);
    Fld(m, "HRV_DIAMETRS")->SetAsInteger(250);
    Fld(m, "DAST_DIAMETRS")->SetAsInteger(250);
    m->Post();

    l.ValidateAndCalculate();
    EXPECT_EQ(m->RecordCount(), 3);
    b->First();
    EXPECT_EQ(Val(b, "HRV_APJOMS").AsFloat(), 199.0);
    EXPECT_EQ(Val(h, "HRV_APJOMS_ALL").AsFloat(), 199.0);
    EXPECT_EQ(Val(h, "FILE_NAME").AsString(), QStringLiteral("f.ktr"));
    l.cdsKokuSk()->First();
    EXPECT_EQ(Val(l.cdsKokuSk(), "KOKU_SK_DER").AsInteger(), 1);
    EXPECT_EQ(l.cdsDiamNovirzes()->RecordCount(), 4);
}

} // namespace
