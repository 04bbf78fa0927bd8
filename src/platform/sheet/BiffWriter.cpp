#include "platform/sheet/BiffWriter.h"

#include "platform/sheet/CompoundFileWriter.h"
#include "platform/sheet/ESheetError.h"
#include "platform/sheet/SheetDates.h"
#include "platform/sheet/Workbook.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr int MaxRecordData = 8224;
constexpr int MaxCellText = 32767;
constexpr size_t MaxSstBuckets = 128;

struct Buf
{
    QByteArray b;
    void u8(unsigned v) { b.append(char(v & 0xFF)); }
    void u16(unsigned v)
    {
        char t[2];
        qToLittleEndian(std::uint16_t(v), t);
        b.append(t, 2);
    }
    void u32(std::uint32_t v)
    {
        char t[4];
        qToLittleEndian(v, t);
        b.append(t, 4);
    }
    void f64(double v)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        char t[8];
        qToLittleEndian(bits, t);
        b.append(t, 8);
    }
    // Characters of a string: one byte each when all fit, else UTF-16; returns the flag byte.
    static bool Compressible(const QString& s)
    {
        for (QChar c : s)
            if (c.unicode() > 0xFF)
                return false;
        return true;
    }
    void chars(const QString& s, bool compressed)
    {
        for (QChar c : s) {
            if (compressed)
                u8(c.unicode());
            else
                u16(c.unicode());
        }
    }
    // 8-bit length string (sheet and font names).
    void shortString(const QString& s)
    {
        const bool comp = Compressible(s);
        u8(unsigned(s.size()));
        u8(comp ? 0 : 1);
        chars(s, comp);
    }
    // 16-bit length string.
    void longString(const QString& s)
    {
        const bool comp = Compressible(s);
        u16(unsigned(s.size()));
        u8(comp ? 0 : 1);
        chars(s, comp);
    }
};

void Record(QByteArray& out, unsigned id, const QByteArray& body)
{
    if (body.size() > MaxRecordData)
        throw ESheetError(QStringLiteral("Record 0x%1 too long").arg(id, 4, 16, QLatin1Char('0')));
    Buf h;
    h.u16(id);
    h.u16(unsigned(body.size()));
    out.append(h.b);
    out.append(body);
}

QByteArray Bof(unsigned type)
{
    Buf b;
    b.u16(0x0600);
    b.u16(type);
    b.u16(0x0DBB);
    b.u16(0x07CC);
    b.u32(0);
    b.u32(0x06);
    return b.b;
}

// Office drawing records, as comments need them: a header of version and instance, type and
// length, then the body.
QByteArray Escher(unsigned ver, unsigned inst, unsigned type, const QByteArray& body, std::uint32_t length)
{
    Buf b;
    b.u16((ver & 0xF) | (inst << 4));
    b.u16(type);
    b.u32(length);
    b.b.append(body);
    return b.b;
}

QByteArray Escher(unsigned ver, unsigned inst, unsigned type, const QByteArray& body)
{
    return Escher(ver, inst, type, body, std::uint32_t(body.size()));
}

struct Note
{
    int row;
    int col;
    QString text;
};

constexpr int ShapeIdsPerDrawing = 1024;

int ColumnFromLetters(const QString& letters)
{
    int col = 0;
    for (QChar c : letters)
        col = col * 26 + (c.toUpper().unicode() - 'A' + 1);
    return col;
}

// Parsed tokens of "=SUM(A1:B2)", "=MIN(...)" or "=MAX(...)".
QByteArray FormulaTokens(const QString& formula)
{
    static const QRegularExpression re(
        QStringLiteral("^=\\s*(SUM|MIN|MAX)\\(\\s*\\$?([A-Za-z]{1,3})\\$?(\\d+)(?:\\s*:\\s*\\$?([A-Za-z]{1,3})\\$?(\\d+))?\\s*\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(formula);
    if (!m.hasMatch())
        throw ESheetError(QStringLiteral("Formula \"%1\" cannot be written to a binary workbook").arg(formula));
    const QString fn = m.captured(1).toUpper();
    const int c1 = ColumnFromLetters(m.captured(2));
    const int r1 = m.captured(3).toInt();
    const int c2 = m.captured(4).isEmpty() ? c1 : ColumnFromLetters(m.captured(4));
    const int r2 = m.captured(5).isEmpty() ? r1 : m.captured(5).toInt();
    if (r1 < 1 || r2 < 1 || r1 > BiffWriter::MaxRows || r2 > BiffWriter::MaxRows || c1 < 1 || c2 < 1
        || c1 > BiffWriter::MaxColumns || c2 > BiffWriter::MaxColumns)
        throw ESheetError(QStringLiteral("Formula \"%1\" refers outside a binary worksheet").arg(formula));
    Buf t;
    t.u8(0x25); // area reference, relative rows and columns
    t.u16(unsigned(r1 - 1));
    t.u16(unsigned(r2 - 1));
    t.u16(0xC000u | unsigned(c1 - 1));
    t.u16(0xC000u | unsigned(c2 - 1));
    t.u8(0x22); // function with a variable number of arguments
    t.u8(1);
    t.u16(fn == QLatin1String("SUM") ? 4 : fn == QLatin1String("MIN") ? 6 : 7);
    return t.b;
}

unsigned HAlignCode(SheetHAlign a)
{
    switch (a) {
    case SheetHAlign::General: return 0;
    case SheetHAlign::Left: return 1;
    case SheetHAlign::Center: return 2;
    case SheetHAlign::Right: return 3;
    case SheetHAlign::CenterAcross: return 6;
    }
    return 0;
}

unsigned Rotation(int degrees)
{
    degrees = std::clamp(degrees, -90, 90);
    return degrees >= 0 ? unsigned(degrees) : unsigned(90 - degrees);
}

unsigned BuiltinFormat(const QString& f)
{
    static const std::map<QString, unsigned> builtin = {
        {QStringLiteral("General"), 0}, {QStringLiteral("0"), 1},      {QStringLiteral("0.00"), 2},
        {QStringLiteral("#,##0"), 3},   {QStringLiteral("#,##0.00"), 4}, {QStringLiteral("@"), 49},
    };
    auto it = builtin.find(f);
    return it == builtin.end() ? 0xFFFF : it->second;
}

class Builder
{
public:
    explicit Builder(const Workbook& book) : FBook(book) { }

    QByteArray Run()
    {
        CollectStyles();
        std::vector<QByteArray> sheets;
        for (int i = 1; i <= FBook.SheetCount(); ++i)
            sheets.push_back(SheetStream(FBook.Sheet(i), i == FBook.ActiveSheetIndex()));
        if (FDrawings.size() > 1000)
            throw ESheetError(QStringLiteral("Too many sheets with comments for a binary workbook"));

        QByteArray g;
        Record(g, 0x0809, Bof(0x0005));
        { Buf b; b.u16(1200); Record(g, 0x0042, b.b); }                 // CODEPAGE: UTF-16
        {
            Buf b;                                                       // WINDOW1
            b.u16(0); b.u16(0); b.u16(0x4000); b.u16(0x2000); b.u16(0x0038);
            b.u16(unsigned(std::max(0, FBook.ActiveSheetIndex() - 1))); b.u16(0); b.u16(1); b.u16(0x0258);
            Record(g, 0x003D, b.b);
        }
        { Buf b; b.u16(0); Record(g, 0x0022, b.b); }                    // DATEMODE: 1900
        for (size_t i = 0; i < FFonts.size(); ++i) {
            if (i == 4)
                continue; // font index 4 does not exist in this format
            const SheetFont& f = FFonts[i];
            Buf b;
            b.u16(unsigned(std::lround(std::clamp(f.size, 1.0, 409.0) * 20)));
            b.u16((f.bold ? 0x01 : 0) | (f.italic ? 0x02 : 0) | (f.strikeOut ? 0x08 : 0));
            b.u16(0x7FFF);
            b.u16(f.bold ? 700 : 400);
            b.u16(0); b.u8(0); b.u8(0); b.u8(0); b.u8(0);
            b.shortString(f.name.left(255));
            Record(g, 0x0031, b.b);
        }
        for (const auto& [fmt, id] : FCustomFormats) {
            Buf b;
            b.u16(id);
            b.longString(fmt);
            Record(g, 0x041E, b.b);
        }
        for (int i = 0; i < 15; ++i)
            Record(g, 0x00E0, Xf(SheetStyle(), true));
        for (const SheetStyle& s : FStyles)
            Record(g, 0x00E0, Xf(s, false));
        { Buf b; b.u16(0x8000); b.u8(0); b.u8(0xFF); Record(g, 0x0293, b.b); } // STYLE "Normal"
        {
            Buf b;                                                       // PALETTE
            b.u16(56);
            for (int i = 0; i < 56; ++i) {
                const std::uint32_t rgb = size_t(i) < FPalette.size() ? FPalette[size_t(i)] : 0xFFFFFFu;
                b.u8((rgb >> 16) & 0xFF); b.u8((rgb >> 8) & 0xFF); b.u8(rgb & 0xFF); b.u8(0);
            }
            Record(g, 0x0092, b.b);
        }
        std::vector<int> boundSheetAt;
        for (int i = 1; i <= FBook.SheetCount(); ++i) {
            boundSheetAt.push_back(int(g.size()) + 4);
            Buf b;
            b.u32(0); b.u8(0); b.u8(0);
            b.shortString(FBook.Sheet(i).Name().left(31));
            Record(g, 0x0085, b.b);
        }
        WriteDrawingGroup(g);
        WriteSst(g);
        Record(g, 0x000A, QByteArray());

        qint64 offset = g.size();
        for (size_t i = 0; i < sheets.size(); ++i) {
            qToLittleEndian(std::uint32_t(offset), g.data() + boundSheetAt[i]);
            offset += sheets[i].size();
        }
        for (const QByteArray& s : sheets)
            g.append(s);
        return g;
    }

private:
    unsigned FontIndex(const SheetFont& f)
    {
        for (size_t i = 0; i < FFonts.size(); ++i)
            if (i != 4 && FFonts[i] == f)
                return unsigned(i);
        if (FFonts.size() == 4)
            FFonts.push_back(SheetFont()); // placeholder for the missing index 4
        FFonts.push_back(f);
        return unsigned(FFonts.size() - 1);
    }

    unsigned FormatIndex(const QString& f)
    {
        const unsigned builtin = BuiltinFormat(f.isEmpty() ? QStringLiteral("General") : f);
        if (builtin != 0xFFFF)
            return builtin;
        auto it = FCustomFormats.find(f);
        if (it != FCustomFormats.end())
            return it->second;
        const unsigned id = 164 + unsigned(FCustomFormats.size());
        FCustomFormats.emplace(f, id);
        return id;
    }

    // Palette index of a fill colour; the palette has 56 slots, black first for borders.
    unsigned ColorIndex(std::uint32_t rgb)
    {
        for (size_t i = 0; i < FPalette.size(); ++i)
            if (FPalette[i] == rgb)
                return unsigned(8 + i);
        if (FPalette.size() < 56) {
            FPalette.push_back(rgb);
            return unsigned(8 + FPalette.size() - 1);
        }
        size_t best = 0;
        long bestDist = -1;
        for (size_t i = 0; i < FPalette.size(); ++i) {
            const long dr = long((FPalette[i] >> 16) & 0xFF) - long((rgb >> 16) & 0xFF);
            const long dg = long((FPalette[i] >> 8) & 0xFF) - long((rgb >> 8) & 0xFF);
            const long db = long(FPalette[i] & 0xFF) - long(rgb & 0xFF);
            const long d = dr * dr + dg * dg + db * db;
            if (bestDist < 0 || d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
        return unsigned(8 + best);
    }

    void CollectStyles()
    {
        FPalette.push_back(0x000000); // index 8: black
        for (int i = 0; i < 4; ++i)
            FFonts.push_back(SheetFont());
        FStyles.push_back(SheetStyle()); // XF 15, the default cell format
        for (int i = 1; i <= FBook.SheetCount(); ++i)
            for (const auto& [row, cells] : FBook.Sheet(i).Rows())
                for (const auto& [col, cell] : cells)
                    StyleIndex(cell.style);
        // Fonts, formats and colours are written before the cell formats that use them.
        for (const SheetStyle& s : FStyles) {
            FontIndex(s.font);
            FormatIndex(s.numberFormat);
            if (s.fill != SheetStyle::NoFill)
                ColorIndex(std::uint32_t(s.fill) & 0xFFFFFFu);
        }
    }

    unsigned StyleIndex(const SheetStyle& s)
    {
        // Most cells of a column share a style: look at the last one found first.
        if (FLastStyle < FStyles.size() && FStyles[FLastStyle] == s)
            return unsigned(15 + FLastStyle);
        for (size_t i = 0; i < FStyles.size(); ++i)
            if (FStyles[i] == s) {
                FLastStyle = i;
                return unsigned(15 + i);
            }
        if (FStyles.size() + 15 >= 4000)
            throw ESheetError(QStringLiteral("Too many different cell formats for a binary workbook"));
        FStyles.push_back(s);
        FLastStyle = FStyles.size() - 1;
        return unsigned(15 + FLastStyle);
    }

    QByteArray Xf(const SheetStyle& s, bool styleXf)
    {
        Buf b;
        b.u16(FontIndex(s.font));
        b.u16(FormatIndex(s.numberFormat));
        b.u16(styleXf ? 0xFFF5 : 0x0001);
        b.u8(HAlignCode(s.hAlign) | (2u << 4)); // vertical: bottom
        b.u8(Rotation(s.orientation));
        b.u8(0);
        b.u8(styleXf ? 0 : 0xFC);
        const unsigned thin = 1;
        const unsigned left = (s.borders & sbLeft) ? thin : 0;
        const unsigned right = (s.borders & sbRight) ? thin : 0;
        const unsigned top = (s.borders & sbTop) ? thin : 0;
        const unsigned bottom = (s.borders & sbBottom) ? thin : 0;
        const unsigned black = 8;
        b.u32(std::uint32_t(left | (right << 4) | (top << 8) | (bottom << 12) | (black << 16) | (black << 23)));
        const bool filled = s.fill != SheetStyle::NoFill;
        const unsigned fore = filled ? ColorIndex(std::uint32_t(s.fill) & 0xFFFFFFu) : 64;
        b.u32(std::uint32_t(black | (black << 7) | ((filled ? 1u : 0u) << 26)));
        b.u16(fore | (65u << 7));
        return b.b;
    }

    unsigned SstIndex(const QString& s)
    {
        ++FSstTotal;
        auto it = FSstIndex.find(s);
        if (it != FSstIndex.end())
            return it->second;
        const unsigned index = unsigned(FSst.size());
        FSstIndex.emplace(s, index);
        FSst.push_back(s);
        return index;
    }

    void WriteSst(QByteArray& g)
    {
        // Strings run on in CONTINUE records; a string's length and flags never split, its
        // characters split at a character boundary with a fresh flag byte after the break.
        struct Bucket { std::uint32_t pos; unsigned offset; };
        std::vector<Bucket> buckets;
        // The index record must fit one record: at most 128 buckets, so a bucket covers more
        // strings as the table grows.
        const size_t perBucket = std::max<size_t>(8, (FSst.size() + MaxSstBuckets - 1) / MaxSstBuckets);
        QByteArray rec;
        unsigned recId = 0x00FC;
        int recStart = int(g.size());
        Buf head;
        head.u32(FSstTotal);
        head.u32(std::uint32_t(FSst.size()));
        rec = head.b;
        auto flush = [&](unsigned nextId) {
            Record(g, recId, rec);
            rec.clear();
            recId = nextId;
            recStart = int(g.size());
        };
        for (size_t i = 0; i < FSst.size(); ++i) {
            const QString& s = FSst[i];
            const bool comp = Buf::Compressible(s);
            const int charSize = comp ? 1 : 2;
            if (rec.size() + 3 + charSize > MaxRecordData)
                flush(0x003C);
            if (i % perBucket == 0)
                buckets.push_back({std::uint32_t(recStart + 4 + rec.size()), unsigned(4 + rec.size())});
            Buf h;
            h.u16(unsigned(s.size()));
            h.u8(comp ? 0 : 1);
            rec.append(h.b);
            int done = 0;
            while (done < s.size()) {
                const int room = (MaxRecordData - int(rec.size())) / charSize;
                if (room <= 0) {
                    flush(0x003C);
                    rec.append(char(comp ? 0 : 1));
                    continue;
                }
                const int n = std::min(room, int(s.size()) - done);
                Buf c;
                c.chars(s.mid(done, n), comp);
                rec.append(c.b);
                done += n;
            }
        }
        flush(0x003C);
        Buf e;
        e.u16(unsigned(perBucket));
        for (const Bucket& bk : buckets) {
            e.u32(bk.pos);
            e.u16(bk.offset);
            e.u16(0);
        }
        Record(g, 0x00FF, e.b);
    }

    QByteArray SheetStream(const Worksheet& sheet, bool active)
    {
        QByteArray s;
        Record(s, 0x0809, Bof(0x0010));
        { Buf b; b.u16(8); Record(s, 0x0055, b.b); } // DEFCOLWIDTH
        for (const auto& [col, column] : sheet.Columns()) {
            if (col > BiffWriter::MaxColumns)
                throw ESheetError(QStringLiteral("Column %1 is beyond a binary worksheet").arg(col));
            Buf b;
            b.u16(unsigned(col - 1));
            b.u16(unsigned(col - 1));
            const double w = column.width >= 0 ? column.width : Worksheet::DefaultColumnWidth;
            b.u16(unsigned(std::lround(std::clamp(w, 0.0, 255.0) * 256)));
            b.u16(15);
            b.u16(column.hidden ? 1 : 0);
            b.u16(0);
            Record(s, 0x007D, b.b);
        }
        const auto& rows = sheet.Rows();
        {
            Buf b;                                        // DIMENSIONS
            if (rows.empty()) {
                b.u32(0); b.u32(0); b.u16(0); b.u16(0);
            } else {
                b.u32(std::uint32_t(sheet.UsedFirstRow() - 1));
                b.u32(std::uint32_t(sheet.UsedFirstRow() + sheet.UsedRowCount() - 1));
                b.u16(unsigned(sheet.UsedFirstColumn() - 1));
                b.u16(unsigned(std::min(BiffWriter::MaxColumns, sheet.UsedFirstColumn() + sheet.UsedColumnCount() - 1)));
            }
            b.u16(0);
            Record(s, 0x0200, b.b);
        }
        for (const auto& [row, cells] : rows) {
            if (row > BiffWriter::MaxRows)
                throw ESheetError(QStringLiteral("Row %1 is beyond a binary worksheet").arg(row));
            if (cells.empty())
                continue;
            if (cells.rbegin()->first > BiffWriter::MaxColumns)
                throw ESheetError(QStringLiteral("Column %1 is beyond a binary worksheet").arg(cells.rbegin()->first));
            Buf b;
            b.u16(unsigned(row - 1));
            b.u16(unsigned(cells.begin()->first - 1));
            b.u16(unsigned(cells.rbegin()->first));
            b.u16(0x00FF);
            b.u16(0); b.u16(0);
            b.u16(0x0100);
            b.u16(15);
            Record(s, 0x0208, b.b);
        }
        for (const auto& [row, cells] : rows) {
            for (const auto& [col, cell] : cells) {
                Buf b;
                b.u16(unsigned(row - 1));
                b.u16(unsigned(col - 1));
                b.u16(StyleIndex(cell.style));
                const SheetValue& v = cell.value;
                double serial = 0;
                switch (v.kind) {
                case SheetValue::Kind::Empty:
                    Record(s, 0x0201, b.b);
                    break;
                case SheetValue::Kind::Text:
                    if (v.text.size() > MaxCellText)
                        throw ESheetError(QStringLiteral("Cell (%1, %2) holds more than %3 characters")
                                              .arg(row).arg(col).arg(MaxCellText));
                    b.u32(SstIndex(v.text));
                    Record(s, 0x00FD, b.b);
                    break;
                case SheetValue::Kind::Number:
                    b.f64(v.number);
                    Record(s, 0x0203, b.b);
                    break;
                case SheetValue::Kind::Date:
                    if (SheetDates::ToSerial(v.number, serial)) {
                        b.f64(serial);
                        Record(s, 0x0203, b.b);
                    } else {
                        b.f64(v.number);
                        Record(s, 0x0203, b.b);
                    }
                    break;
                case SheetValue::Kind::Boolean:
                    b.u8(v.number != 0 ? 1 : 0);
                    b.u8(0);
                    Record(s, 0x0205, b.b);
                    break;
                case SheetValue::Kind::Formula: {
                    const QByteArray tokens = FormulaTokens(v.text);
                    b.f64(0);
                    b.u16(0x0002); // calculate on load
                    b.u32(0);
                    b.u16(unsigned(tokens.size()));
                    b.b.append(tokens);
                    Record(s, 0x0006, b.b);
                    break;
                }
                }
            }
        }
        WriteNotes(s, sheet);
        {
            Buf b;                                        // WINDOW2
            b.u16(active ? 0x06B6 : 0x00B6);
            b.u16(0); b.u16(0); b.u16(64); b.u16(0); b.u16(0); b.u16(0); b.u32(0);
            Record(s, 0x023E, b.b);
        }
        Record(s, 0x000A, QByteArray());
        return s;
    }

    // Each commented cell gets a text box shape in the sheet's drawing, an object record, its
    // text, and a NOTE record tying it to the cell.
    void WriteNotes(QByteArray& s, const Worksheet& sheet)
    {
        std::vector<Note> notes;
        for (const auto& [row, cells] : sheet.Rows())
            for (const auto& [col, cell] : cells)
                if (!cell.comment.isEmpty())
                    notes.push_back({row, col, cell.comment.left(MaxCellText)});
        if (notes.empty())
            return;
        const unsigned dgid = unsigned(FDrawings.size() + 1);
        const std::uint32_t firstSpid = dgid * ShapeIdsPerDrawing;
        FDrawings.push_back(int(notes.size()) + 1);

        // Shape bodies first: the container lengths count them all, although the text box
        // records travel in MSODRAWING records of their own.
        Buf fspgr;
        fspgr.u32(0); fspgr.u32(0); fspgr.u32(0); fspgr.u32(0);
        Buf groupFsp;
        groupFsp.u32(firstSpid);
        groupFsp.u32(0x0005); // group, patriarch
        const QByteArray groupSp = Escher(0xF, 0, 0xF004,
                                          Escher(1, 0, 0xF009, fspgr.b) + Escher(2, 0, 0xF00A, groupFsp.b));
        const QByteArray clientTextbox = Escher(0, 0, 0xF00D, QByteArray());
        std::vector<QByteArray> shapes;
        std::uint32_t shapesLength = std::uint32_t(groupSp.size());
        for (size_t i = 0; i < notes.size(); ++i) {
            const Note& n = notes[i];
            Buf fsp;
            fsp.u32(firstSpid + std::uint32_t(i) + 1);
            fsp.u32(0x0A00); // has an anchor and a shape type
            Buf opt;
            const std::pair<unsigned, std::uint32_t> props[] = {
                {0x0080, 0},          // text id
                {0x00BF, 0x00080008}, // fit text to shape
                {0x0158, 0},          // connection sites
                {0x0181, 0x08000050}, // fill: tooltip background
                {0x0183, 0x08000050},
                {0x01BF, 0x00100010},
                {0x01C0, 0x08000051}, // line: tooltip text colour
                {0x023F, 0x00030003}, // shadow
                {0x03BF, 0x00020002}, // hidden until pointed at
            };
            for (const auto& [id, value] : props) {
                opt.u16(id);
                opt.u32(value);
            }
            Buf anchor;
            const unsigned c1 = unsigned(std::min(n.col, BiffWriter::MaxColumns - 3));
            const unsigned r1 = unsigned(std::max(0, std::min(n.row - 2, BiffWriter::MaxRows - 6)));
            anchor.u16(3);
            anchor.u16(c1); anchor.u16(0x0F0);
            anchor.u16(r1); anchor.u16(0x01E);
            anchor.u16(c1 + 2); anchor.u16(0x0F0);
            anchor.u16(r1 + 4); anchor.u16(0x078);
            const QByteArray body = Escher(2, 202, 0xF00A, fsp.b) + Escher(3, 9, 0xF00B, opt.b)
                                    + Escher(0, 0, 0xF010, anchor.b) + Escher(0, 0, 0xF011, QByteArray());
            shapes.push_back(body);
            shapesLength += 8 + std::uint32_t(body.size() + clientTextbox.size());
        }
        Buf fdg;
        fdg.u32(std::uint32_t(notes.size()) + 1);
        fdg.u32(firstSpid + std::uint32_t(notes.size()));
        const QByteArray fdgRec = Escher(0, dgid, 0xF008, fdg.b);
        const std::uint32_t spgrLength = shapesLength;
        const std::uint32_t dgLength = std::uint32_t(fdgRec.size()) + 8 + spgrLength;

        for (size_t i = 0; i < notes.size(); ++i) {
            const Note& n = notes[i];
            const std::uint32_t spLength = std::uint32_t(shapes[i].size() + clientTextbox.size());
            QByteArray drawing;
            if (i == 0)
                drawing = Escher(0xF, 0, 0xF002, fdgRec + Escher(0xF, 0, 0xF003, groupSp, spgrLength), dgLength);
            drawing += Escher(0xF, 0, 0xF004, shapes[i], spLength);
            Record(s, 0x00EC, drawing);

            Buf obj;
            obj.u16(0x0015); obj.u16(0x0012);            // common object data
            obj.u16(0x0019);                             // a note
            obj.u16(unsigned(i + 1));
            obj.u16(0x4011);
            for (int k = 0; k < 12; ++k) obj.u8(0);
            obj.u16(0x000D); obj.u16(0x0016);            // note data
            for (int k = 0; k < 22; ++k) obj.u8(0);
            obj.u32(0);                                  // end
            Record(s, 0x005D, obj.b);

            Record(s, 0x00EC, clientTextbox);

            const bool comp = Buf::Compressible(n.text);
            Buf txo;
            txo.u16(0x0212); txo.u16(0);
            txo.u16(0); txo.u16(0); txo.u16(0);
            txo.u16(unsigned(n.text.size()));
            txo.u16(16);
            txo.u16(0); txo.u16(0);
            Record(s, 0x01B6, txo.b);
            // The text, split over CONTINUE records with a fresh flag byte each.
            int done = 0;
            while (done < n.text.size()) {
                const int room = (MaxRecordData - 1) / (comp ? 1 : 2);
                const int len = std::min(room, int(n.text.size()) - done);
                Buf t;
                t.u8(comp ? 0 : 1);
                t.chars(n.text.mid(done, len), comp);
                Record(s, 0x003C, t.b);
                done += len;
            }
            Buf runs;
            runs.u16(0); runs.u16(0); runs.u32(0);
            runs.u16(unsigned(n.text.size())); runs.u16(0); runs.u32(0);
            Record(s, 0x003C, runs.b);
        }
        for (size_t i = 0; i < notes.size(); ++i) {
            Buf note;
            note.u16(unsigned(notes[i].row - 1));
            note.u16(unsigned(notes[i].col - 1));
            note.u16(0);
            note.u16(unsigned(i + 1));
            note.longString(QString());
            note.u8(0);
            Record(s, 0x001C, note.b);
        }
    }

    void WriteDrawingGroup(QByteArray& g)
    {
        if (FDrawings.empty())
            return;
        Buf dgg;
        const std::uint32_t lastDrawing = std::uint32_t(FDrawings.size());
        dgg.u32(lastDrawing * ShapeIdsPerDrawing + std::uint32_t(FDrawings.back()));
        dgg.u32(lastDrawing + 1);
        std::uint32_t shapes = 0;
        for (int n : FDrawings)
            shapes += std::uint32_t(n);
        dgg.u32(shapes);
        dgg.u32(lastDrawing);
        for (size_t i = 0; i < FDrawings.size(); ++i) {
            dgg.u32(std::uint32_t(i + 1));
            dgg.u32(std::uint32_t(FDrawings[i]) + 1);
        }
        Buf opt;
        const std::pair<unsigned, std::uint32_t> props[] = {
            {0x00BF, 0x00080008}, {0x0181, 0x08000041}, {0x01C0, 0x08000040}};
        for (const auto& [id, value] : props) {
            opt.u16(id);
            opt.u32(value);
        }
        const QByteArray body = Escher(0, 0, 0xF006, dgg.b) + Escher(3, 3, 0xF00B, opt.b);
        Record(g, 0x00EB, Escher(0xF, 0, 0xF000, body));
    }

    const Workbook& FBook;
    std::vector<int> FDrawings; // shapes (comments) per drawing, in sheet order
    std::vector<SheetFont> FFonts;
    std::map<QString, unsigned> FCustomFormats;
    std::vector<SheetStyle> FStyles;
    size_t FLastStyle = 0;
    std::vector<std::uint32_t> FPalette;
    std::vector<QString> FSst;
    std::map<QString, unsigned> FSstIndex;
    std::uint32_t FSstTotal = 0;
};

} // namespace

QByteArray BiffWriter::WorkbookStream(const Workbook& book)
{
    return Builder(book).Run();
}

void BiffWriter::Save(const Workbook& book, const QString& fileName)
{
    const QByteArray file = CompoundFileWriter::Build(QStringLiteral("Workbook"), WorkbookStream(book));
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.commit())
        throw ESheetError(QStringLiteral("Cannot write \"%1\": %2").arg(fileName, out.errorString()));
}
