#pragma once

#include "PythonReader.h"

#include <QStringList>
#include <map>

// Prints every file given: "== <file>", then its first sheet a row a line, cells joined by
// "|": numbers with 10 significant digits, dates as D:yyyy-mm-dd, texts as they stand.
inline const char* kReadSheets = R"(
import sys, datetime
def num(v):
    s = '%.10g' % v
    return '0' if s == '-0' else s
for p in sys.argv[1:]:
    print('== ' + p)
    rows = []
    if p.endswith('.xls'):
        import xlrd
        b = xlrd.open_workbook(p)
        s = b.sheet_by_index(0)
        for r in range(s.nrows):
            cells = []
            for c in range(s.ncols):
                cell = s.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_DATE:
                    cells.append('D:' + xlrd.xldate_as_datetime(cell.value, b.datemode).strftime('%Y-%m-%d'))
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    cells.append(num(cell.value))
                else:
                    cells.append(str(cell.value))
            rows.append(cells)
    elif p.endswith('.xlsx'):
        import openpyxl
        s = openpyxl.load_workbook(p).worksheets[0]
        for r in s.iter_rows():
            cells = []
            for c in r:
                v = c.value
                if v is None: cells.append('')
                elif isinstance(v, datetime.datetime): cells.append('D:' + v.strftime('%Y-%m-%d'))
                elif isinstance(v, (int, float)): cells.append(num(v))
                else: cells.append(str(v))
            rows.append(cells)
    else:
        import zipfile, xml.etree.ElementTree as ET
        O = '{urn:oasis:names:tc:opendocument:xmlns:office:1.0}'
        T = '{urn:oasis:names:tc:opendocument:xmlns:table:1.0}'
        X = '{urn:oasis:names:tc:opendocument:xmlns:text:1.0}'
        root = ET.fromstring(zipfile.ZipFile(p).read('content.xml'))
        for row in root.iter(T + 'table-row'):
            cells = []
            for c in row.findall(T + 'table-cell'):
                t = c.get(O + 'value-type')
                if t == 'float': cells.append(num(float(c.get(O + 'value'))))
                elif t == 'date': cells.append('D:' + c.get(O + 'date-value')[:10])
                else: cells.append(''.join(x.text or '' for x in c.findall(X + 'p')))
            rows.append(cells)
    for r in rows:
        while r and r[-1] == '': r.pop()
        print('|'.join(r))
)";


// The first sheet of each file as kReadSheets prints it, trailing empty lines left out; ok is
// false when python3 or its readers are missing.
inline std::map<QString, QStringList> ReadSheets(const QStringList& files, bool& ok)
{
    const QString out = RunPython(QString::fromUtf8(kReadSheets), files,
                                  {QStringLiteral("xlrd"), QStringLiteral("openpyxl")}, ok);
    std::map<QString, QStringList> read;
    QString current;
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("== ")))
            current = line.mid(3);
        else if (!current.isEmpty())
            read[current] << line;
    }
    for (auto& [file, rows] : read)
        while (!rows.isEmpty() && rows.last().isEmpty())
            rows.removeLast();
    return read;
}
