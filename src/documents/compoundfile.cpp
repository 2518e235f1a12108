#include "compoundfile.h"
#include "littleendian.h"


namespace veltrik {
namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kLastRegularSector = 0xFFFFFFFA;
constexpr int kHeaderDifatEntries = 109;
constexpr int kStreamEntry = 2;
constexpr int kRootEntry = 5;
const QByteArray kSignature = QByteArray::fromHex("d0cf11e0a1b11ae1");

QString brokenChain()
{
    return QStringLiteral("Word 文件已损坏（扇区链断裂）");
}

} // namespace

bool CompoundFile::looksLikeCompoundFile(QByteArrayView bytes)
{
    return bytes.startsWith(kSignature);
}

std::optional<CompoundFile> CompoundFile::open(QByteArrayView bytes, QString *error)
{
    CompoundFile file(bytes);
    if (!file.readHeader(error) || !file.readFat(error) || !file.readDirectory(error))
        return std::nullopt;
    return file;
}

bool CompoundFile::readHeader(QString *error)
{
    if (!looksLikeCompoundFile(m_bytes) || m_bytes.size() < 512) {
        *error = QStringLiteral("不是 Word 97-2003 文档");
        return false;
    }
    const quint16 sectorShift = u16(m_bytes, 0x1E);
    const quint16 miniShift = u16(m_bytes, 0x20);
    if (sectorShift < 7 || sectorShift > 16 || miniShift > sectorShift) {
        *error = QStringLiteral("Word 文件已损坏（文件头无效）");
        return false;
    }
    m_sectorSize = 1u << sectorShift;
    m_miniSectorSize = 1u << miniShift;
    m_directoryStart = u32(m_bytes, 0x30);
    m_miniCutoff = u32(m_bytes, 0x38);
    m_miniFatStart = u32(m_bytes, 0x3C);
    m_miniFatSectors = u32(m_bytes, 0x40);
    return true;
}

std::optional<QByteArrayView> CompoundFile::sector(quint32 index) const
{
    const quint64 offset = (quint64(index) + 1) * m_sectorSize;
    if (index > kLastRegularSector || offset + m_sectorSize > quint64(m_bytes.size()))
        return std::nullopt;
    return m_bytes.sliced(qsizetype(offset), m_sectorSize);
}

// The FAT sectors are listed in the header's DIFAT and in a chain of DIFAT sectors after it.
bool CompoundFile::readFat(QString *error)
{
    const quint32 fatSectors = u32(m_bytes, 0x2C);
    const quint64 maxSectors = quint64(m_bytes.size()) / m_sectorSize + 1;
    if (fatSectors > maxSectors) {
        *error = brokenChain();
        return false;
    }
    QList<quint32> fatSectorList;
    for (int i = 0; i < kHeaderDifatEntries && quint32(fatSectorList.size()) < fatSectors; ++i)
        fatSectorList.append(u32(m_bytes, 0x4C + 4 * i));
    quint32 difat = u32(m_bytes, 0x44);
    const quint32 entriesPerSector = m_sectorSize / 4 - 1;
    for (quint64 hops = 0; quint32(fatSectorList.size()) < fatSectors; ++hops) {
        const auto block = sector(difat);
        if (!block || hops > maxSectors) {
            *error = brokenChain();
            return false;
        }
        for (quint32 i = 0; i < entriesPerSector && quint32(fatSectorList.size()) < fatSectors; ++i)
            fatSectorList.append(u32(*block, 4 * i));
        difat = u32(*block, 4 * entriesPerSector);
    }
    m_fat.reserve(qsizetype(fatSectors) * (m_sectorSize / 4));
    for (quint32 index : fatSectorList) {
        const auto block = sector(index);
        if (!block) {
            *error = brokenChain();
            return false;
        }
        for (quint32 i = 0; i < m_sectorSize / 4; ++i)
            m_fat.append(u32(*block, 4 * i));
    }
    return true;
}

// Follows a chain of regular sectors; at most as many as the file can hold, and never past `size`.
std::optional<QByteArray> CompoundFile::chain(quint32 start, quint64 size, QString *error) const
{
    if (size > quint64(m_bytes.size()) + m_sectorSize) {
        *error = brokenChain();
        return std::nullopt;
    }
    QByteArray data;
    data.reserve(qsizetype(size));
    quint32 current = start;
    const qsizetype bound = m_fat.size() + 1;
    for (qsizetype hops = 0; current != kEndOfChain && quint64(data.size()) < size; ++hops) {
        const auto block = sector(current);
        if (!block || hops > bound || current >= quint32(m_fat.size())) {
            *error = brokenChain();
            return std::nullopt;
        }
        data += *block;
        current = m_fat[current];
    }
    if (quint64(data.size()) < size) {
        *error = brokenChain();
        return std::nullopt;
    }
    data.truncate(qsizetype(size));
    return data;
}

std::optional<QByteArray> CompoundFile::miniChain(quint32 start, quint64 size, QString *error) const
{
    QByteArray data;
    quint32 current = start;
    const qsizetype bound = m_miniFat.size() + 1;
    for (qsizetype hops = 0; current != kEndOfChain && quint64(data.size()) < size; ++hops) {
        const quint64 offset = quint64(current) * m_miniSectorSize;
        if (hops > bound || current >= quint32(m_miniFat.size()) || offset + m_miniSectorSize > quint64(m_miniStream.size())) {
            *error = brokenChain();
            return std::nullopt;
        }
        data += QByteArrayView(m_miniStream).sliced(qsizetype(offset), m_miniSectorSize);
        current = m_miniFat[current];
    }
    if (quint64(data.size()) < size) {
        *error = brokenChain();
        return std::nullopt;
    }
    data.truncate(qsizetype(size));
    return data;
}

bool CompoundFile::readDirectory(QString *error)
{
    // The directory's size is not recorded: it is as long as its chain, which chain() bounds.
    QByteArray directory;
    quint32 current = m_directoryStart;
    for (qsizetype hops = 0; current != kEndOfChain; ++hops) {
        const auto block = sector(current);
        if (!block || hops > m_fat.size() || current >= quint32(m_fat.size())) {
            *error = brokenChain();
            return false;
        }
        directory += *block;
        current = m_fat[current];
    }
    for (qsizetype at = 0; at + 128 <= directory.size(); at += 128) {
        const QByteArrayView raw = QByteArrayView(directory).sliced(at, 128);
        const int nameBytes = std::min<int>(u16(raw, 0x40), 64);
        Entry entry;
        entry.name = QString::fromUtf16(reinterpret_cast<const char16_t *>(raw.data()), std::max(0, nameBytes / 2 - 1));
        entry.type = raw[0x42];
        entry.start = u32(raw, 0x74);
        entry.size = m_sectorSize == 512 ? u32(raw, 0x78) : qFromLittleEndian<quint64>(raw.data() + 0x78);
        m_entries.append(entry);
    }
    if (m_entries.isEmpty() || m_entries[0].type != kRootEntry) {
        *error = QStringLiteral("Word 文件已损坏（目录无效）");
        return false;
    }
    // The mini stream lives in the root entry's chain; its allocation table in the mini FAT chain.
    const auto miniStream = chain(m_entries[0].start, m_entries[0].size, error);
    const auto miniFat = m_miniFatSectors == 0 || m_miniFatStart == kEndOfChain
                             ? std::optional<QByteArray>(QByteArray())
                             : chain(m_miniFatStart, quint64(m_miniFatSectors) * m_sectorSize, error);
    if (!miniStream || !miniFat)
        return false;
    m_miniStream = *miniStream;
    for (qsizetype at = 0; at + 4 <= miniFat->size(); at += 4)
        m_miniFat.append(u32(*miniFat, at));
    return true;
}

std::optional<QByteArray> CompoundFile::stream(const QString &name, QString *error) const
{
    for (const Entry &entry : m_entries) {
        if (entry.type != kStreamEntry || entry.name != name)
            continue;
        if (entry.size < m_miniCutoff)
            return miniChain(entry.start, entry.size, error);
        return chain(entry.start, entry.size, error);
    }
    *error = QStringLiteral("Word 文件缺少“%1”部分").arg(name);
    return std::nullopt;
}

} // namespace veltrik
