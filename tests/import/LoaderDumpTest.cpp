// The eight datasets of each real control file, field for field, against a dump kept beside the
// file: any change to reading, analysing or publishing that alters one stored value, one row's
// place in its index or in the insertion order shows here. Setting STUMPWISE_WRITE_DUMPS writes
// the dumps afresh instead (only ever after checking the difference by hand).

#include "import/TCSHrvStumpwiseToDS.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>

namespace {

QString Fixture(const QString& name) { return QStringLiteral(STUMPWISE_FIXTURES "/") + name; }

QString Cell(const TField* f)
{
    const Value v = f->Value();
    switch (v.GetKind()) {
    case Value::Kind::Null: return QStringLiteral("~");
    case Value::Kind::Float: return QString::number(v.AsFloat(), 'g', 17);
    case Value::Kind::DateTime: return QLatin1Char('D') + QString::number(v.AsDateTime().Days(), 'g', 17);
    default: {
        QString s = v.AsString();
        s.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('|'), QLatin1String("\\|"));
        s.replace(QLatin1Char('\n'), QLatin1String("\\n")).replace(QLatin1Char('\r'), QLatin1String("\\r"));
        return s;
    }
    }
}

// Rows in the dataset's own order, then the insertion order as positions in that order.
QString Dump(TClientDataSet* ds)
{
    QString out = QStringLiteral("## %1 order=%2 rows=%3\n").arg(ds->Name(), ds->IndexFieldNames()).arg(ds->RecordCount());
    QStringList fields = ds->GetFieldNames();
    out += fields.join(QLatin1Char('|')) + QLatin1Char('\n');
    std::map<QString, QList<int>> positions; // a row's text to its positions in the index order
    int pos = 0;
    for (ds->First(); !ds->Eof(); ds->Next(), ++pos) {
        QStringList cells;
        for (int i = 0; i < ds->FieldCount(); ++i)
            cells << Cell(ds->Fields(i));
        const QString row = cells.join(QLatin1Char('|'));
        positions[row] << pos;
        out += row + QLatin1Char('\n');
    }
    const QString fieldsOrder = ds->IndexFieldNames();
    ds->SetIndexName(TClientDataSet::DefaultOrderName);
    QStringList inserted;
    for (ds->First(); !ds->Eof(); ds->Next()) {
        QStringList cells;
        for (int i = 0; i < ds->FieldCount(); ++i)
            cells << Cell(ds->Fields(i));
        QList<int>& at = positions[cells.join(QLatin1Char('|'))];
        inserted << (at.isEmpty() ? QStringLiteral("?") : QString::number(at.takeFirst()));
    }
    if (!fieldsOrder.isEmpty())
        ds->SetIndexFieldNames(fieldsOrder);
    out += QStringLiteral("inserted: ") + inserted.join(QLatin1Char(' ')) + QLatin1Char('\n');
    return out;
}

QString DumpAll(const TCSHrvStumpwiseToDS& l)
{
    QString out;
    for (TClientDataSet* ds : {l.cdsHeader(), l.cdsVar(), l.cdsKoki(), l.cdsBalki(), l.cdsMerijumi(), l.cdsKokuSk(),
                               l.cdsDiamNovirzes(), l.cdsCirsmas()})
        out += Dump(ds);
    return out;
}

class LoaderDump : public testing::TestWithParam<const char*> { };

TEST_P(LoaderDump, SameDatasetsFieldForField)
{
    const QString name = QString::fromUtf8(GetParam());
    TCSHrvStumpwiseToDS l;
    // The file name is part of the header; keep it the same wherever the tree is checked out.
    ASSERT_NO_THROW(l.ImportFileIntoDS(Fixture(name)));
    QString dump = DumpAll(l);
    dump.replace(QStringLiteral(STUMPWISE_FIXTURES "/"), QStringLiteral("<fixtures>/"));

    QFile file(Fixture(name + QStringLiteral(".dump")));
    if (qEnvironmentVariableIsSet("STUMPWISE_WRITE_DUMPS")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(dump.toUtf8());
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const QStringList expected = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    const QStringList actual = dump.split(QLatin1Char('\n'));
    ASSERT_EQ(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i)
        ASSERT_EQ(actual[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(RealFiles, LoaderDump,
                         testing::Values("ktr/jd-timbermatic-2013.ktr", "ktr/komatsu-maxixplorer-2017.ktr",
                                         "hqc/vimek-forester-h70.hqc", "hqc/two-control-groups.hqc",
                                         "hqc/same-stems.hqc", "hqc/same-stems.ktr"));

} // namespace
