#include "platform/sheet/CompoundFileWriter.h"

#include "platform/sheet/ESheetError.h"

#include <QtEndian>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t FreeSect = 0xFFFFFFFFu;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFEu;
constexpr std::uint32_t FatSect = 0xFFFFFFFDu;
constexpr std::uint32_t DifSect = 0xFFFFFFFCu;
constexpr std::uint32_t NoStream = 0xFFFFFFFFu;
constexpr int SectorSize = 512;
constexpr int MiniCutoff = 4096;
constexpr int HeaderDifat = 109;
constexpr int IdsPerSector = SectorSize / 4;

void Put16(QByteArray& b, int at, std::uint16_t v) { qToLittleEndian(v, b.data() + at); }
void Put32(QByteArray& b, int at, std::uint32_t v) { qToLittleEndian(v, b.data() + at); }

void DirEntry(QByteArray& dir, int index, const QString& name, std::uint8_t type,
              std::uint32_t child, std::uint32_t start, std::uint32_t size)
{
    const int at = index * 128;
    const int len = int(name.size());
    for (int i = 0; i < len; ++i)
        Put16(dir, at + 2 * i, name.at(i).unicode());
    Put16(dir, at + 64, std::uint16_t((len + 1) * 2));
    dir[at + 66] = char(type);
    dir[at + 67] = 1; // black
    Put32(dir, at + 68, NoStream);
    Put32(dir, at + 72, NoStream);
    Put32(dir, at + 76, child);
    Put32(dir, at + 116, start);
    Put32(dir, at + 120, size);
}

} // namespace

QByteArray CompoundFileWriter::Build(const QString& streamName, const QByteArray& stream)
{
    if (streamName.isEmpty() || streamName.size() > 31)
        throw ESheetError(QStringLiteral("Invalid stream name \"%1\"").arg(streamName));
    QByteArray data = stream;
    if (data.size() < MiniCutoff)
        data.append(QByteArray(MiniCutoff - data.size(), '\0'));
    const qint64 dataSectors64 = (qint64(data.size()) + SectorSize - 1) / SectorSize;
    if (dataSectors64 > 0x00FFFFFF)
        throw ESheetError(QStringLiteral("Workbook too large for the binary file format"));
    const int dataSectors = int(dataSectors64);
    const int dirSectors = 1;

    // FAT sectors must cover every sector including themselves and the DIFAT sectors.
    int fatSectors = 1, difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > HeaderDifat
                           ? (fatSectors - HeaderDifat + IdsPerSector - 2) / (IdsPerSector - 1)
                           : 0;
        const int total = dataSectors + dirSectors + fatSectors + difatSectors;
        if (fatSectors * IdsPerSector >= total)
            break;
        ++fatSectors;
    }
    const int dirStart = dataSectors;
    const int fatStart = dirStart + dirSectors;
    const int difatStart = fatStart + fatSectors;
    const int totalSectors = difatStart + difatSectors;

    QByteArray header(SectorSize, '\0');
    const unsigned char sig[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int i = 0; i < 8; ++i)
        header[i] = char(sig[i]);
    Put16(header, 24, 0x003E);
    Put16(header, 26, 0x0003);
    Put16(header, 28, 0xFFFE);
    Put16(header, 30, 9);
    Put16(header, 32, 6);
    Put32(header, 44, std::uint32_t(fatSectors));
    Put32(header, 48, std::uint32_t(dirStart));
    Put32(header, 56, MiniCutoff);
    Put32(header, 60, EndOfChain);
    Put32(header, 64, 0);
    Put32(header, 68, difatSectors > 0 ? std::uint32_t(difatStart) : EndOfChain);
    Put32(header, 72, std::uint32_t(difatSectors));
    for (int i = 0; i < HeaderDifat; ++i)
        Put32(header, 76 + 4 * i, i < fatSectors ? std::uint32_t(fatStart + i) : FreeSect);

    std::vector<std::uint32_t> fat(size_t(fatSectors) * IdsPerSector, FreeSect);
    for (int i = 0; i < dataSectors; ++i)
        fat[size_t(i)] = i + 1 < dataSectors ? std::uint32_t(i + 1) : EndOfChain;
    fat[size_t(dirStart)] = EndOfChain;
    for (int i = 0; i < fatSectors; ++i)
        fat[size_t(fatStart + i)] = FatSect;
    for (int i = 0; i < difatSectors; ++i)
        fat[size_t(difatStart + i)] = DifSect;

    QByteArray dir(SectorSize, '\0');
    for (int i = 0; i < SectorSize / 128; ++i) {
        Put32(dir, i * 128 + 68, NoStream);
        Put32(dir, i * 128 + 72, NoStream);
        Put32(dir, i * 128 + 76, NoStream);
    }
    DirEntry(dir, 0, QStringLiteral("Root Entry"), 5, 1, EndOfChain, 0);
    DirEntry(dir, 1, streamName, 2, NoStream, 0, std::uint32_t(data.size()));

    QByteArray out;
    out.reserve(SectorSize * (totalSectors + 1));
    out.append(header);
    out.append(data);
    out.append(QByteArray(dataSectors * SectorSize - data.size(), '\0'));
    out.append(dir);
    QByteArray fatBytes(fatSectors * SectorSize, '\0');
    for (size_t i = 0; i < fat.size(); ++i)
        Put32(fatBytes, int(i * 4), fat[i]);
    out.append(fatBytes);
    for (int d = 0; d < difatSectors; ++d) {
        QByteArray sector(SectorSize, '\xFF');
        for (int i = 0; i < IdsPerSector - 1; ++i) {
            const int fatIndex = HeaderDifat + d * (IdsPerSector - 1) + i;
            if (fatIndex < fatSectors)
                Put32(sector, 4 * i, std::uint32_t(fatStart + fatIndex));
        }
        Put32(sector, SectorSize - 4,
              d + 1 < difatSectors ? std::uint32_t(difatStart + d + 1) : EndOfChain);
        out.append(sector);
    }
    return out;
}
