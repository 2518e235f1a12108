#include "compoundfile.h"
#include "littleendian.h"

#include <limits>
#include <vector>

namespace veltrik {
namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kNoEntry = 0xFFFFFFFF;
constexpr int kHeaderDifatEntries = 109;
constexpr qsizetype kEntrySize = 128;
constexpr int kStreamEntry = 2;
constexpr int kRootEntry = 5;
const QByteArray kSignature = QByteArray::fromHex("d0cf11e0a1b11ae1");

QString brokenChain()
{
    return QStringLiteral("扇区链断裂");
}

QString loopedChain()
{
    return QStringLiteral("扇区链循环");
}

} // namespace

bool CompoundFile::looksLikeCompoundFile(QByteArrayView bytes)
{
    return bytes.startsWith(kSignature);
}

std::optional<CompoundFile> CompoundFile::open(QByteArrayView bytes, QString *error)
{
    CompoundFile file(bytes);
    if (!file.readHeader(error) || !file.readFat(error) || !file.readDirectory(error) || !file.readMiniStream(error))
        return std::nullopt;
    file.findRootStreams();
    return file;
}

bool CompoundFile::readHeader(QString *error)
{
    if (!looksLikeCompoundFile(m_bytes) || m_bytes.size() < 512) {
        *error = QStringLiteral("文件头无效");
        return false;
    }
    const quint16 sectorShift = u16(m_bytes, 0x1E);
    const quint16 miniShift = u16(m_bytes, 0x20);
    if (sectorShift < 7 || sectorShift > 16 || miniShift >= sectorShift) {
        *error = QStringLiteral("文件头无效");
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

// Sectors follow the header, which takes the first sector's place. The file's last sector may be cut
// short; its missing bytes read as zeros.
bool CompoundFile::appendSector(quint32 index, QByteArray &out) const
{
    const quint64 offset = (quint64(index) + 1) * m_sectorSize;
    if (offset >= quint64(m_bytes.size()))
        return false;
    const qsizetype present = qsizetype(std::min<quint64>(m_sectorSize, quint64(m_bytes.size()) - offset));
    out += m_bytes.sliced(qsizetype(offset), present);
    if (present < qsizetype(m_sectorSize))
        out += QByteArray(qsizetype(m_sectorSize) - present, '\0');
    return true;
}

// The FAT sectors are listed in the header's DIFAT and in a chain of DIFAT sectors after it.
bool CompoundFile::readFat(QString *error)
{
    const quint32 fatSectors = u32(m_bytes, 0x2C);
    const quint64 sectorsInFile = quint64(m_bytes.size()) / m_sectorSize + 1;
    if (fatSectors > sectorsInFile) {
        *error = brokenChain();
        return false;
    }
    QList<quint32> fatSectorList;
    for (int i = 0; i < kHeaderDifatEntries && quint32(fatSectorList.size()) < fatSectors; ++i)
        fatSectorList.append(u32(m_bytes, 0x4C + 4 * i));
    quint32 difat = u32(m_bytes, 0x44);
    const quint32 entriesPerSector = m_sectorSize / 4 - 1;
    std::vector<bool> seen;
    while (quint32(fatSectorList.size()) < fatSectors) {
        QByteArray block;
        if (!appendSector(difat, block)) {
            *error = brokenChain();
            return false;
        }
        if (seen.size() <= difat)
            seen.resize(difat + 1);
        if (seen[difat]) {
            *error = loopedChain();
            return false;
        }
        seen[difat] = true;
        for (quint32 i = 0; i < entriesPerSector && quint32(fatSectorList.size()) < fatSectors; ++i)
            fatSectorList.append(u32(block, 4 * i));
        difat = u32(block, 4 * entriesPerSector);
    }
    QByteArray fat;
    fat.reserve(qsizetype(fatSectors) * m_sectorSize);
    for (quint32 index : fatSectorList) {
        if (!appendSector(index, fat)) {
            *error = brokenChain();
            return false;
        }
    }
    m_fat.reserve(fat.size() / 4);
    for (qsizetype at = 0; at + 4 <= fat.size(); at += 4)
        m_fat.append(u32(fat, at));
    return true;
}

// Follows a chain of regular sectors until `size` bytes are read (all of it when `size` is unknown, for
// the directory); every sector at most once, so the result never outgrows the file.
std::optional<QByteArray> CompoundFile::chain(quint32 start, quint64 size, QString *error) const
{
    const bool sized = size != std::numeric_limits<quint64>::max();
    if (sized && size > quint64(m_bytes.size())) {
        *error = brokenChain();
        return std::nullopt;
    }
    QByteArray data;
    if (sized)
        data.reserve(qsizetype(size));
    std::vector<bool> seen(size_t(m_fat.size()));
    quint32 current = start;
    while (current != kEndOfChain && (!sized || quint64(data.size()) < size)) {
        if (current >= quint32(m_fat.size()) || !appendSector(current, data)) {
            *error = brokenChain();
            return std::nullopt;
        }
        if (seen[current]) {
            *error = loopedChain();
            return std::nullopt;
        }
        seen[current] = true;
        current = m_fat[current];
    }
    if (sized && quint64(data.size()) < size) {
        *error = brokenChain();
        return std::nullopt;
    }
    if (sized)
        data.truncate(qsizetype(size));
    return data;
}

std::optional<QByteArray> CompoundFile::miniChain(quint32 start, quint64 size, QString *error) const
{
    if (size > quint64(m_miniStream.size())) {
        *error = brokenChain();
        return std::nullopt;
    }
    QByteArray data;
    data.reserve(qsizetype(size));
    std::vector<bool> seen(size_t(m_miniFat.size()));
    quint32 current = start;
    while (current != kEndOfChain && quint64(data.size()) < size) {
        const quint64 offset = quint64(current) * m_miniSectorSize;
        if (current >= quint32(m_miniFat.size()) || offset + m_miniSectorSize > quint64(m_miniStream.size())) {
            *error = brokenChain();
            return std::nullopt;
        }
        if (seen[current]) {
            *error = loopedChain();
            return std::nullopt;
        }
        seen[current] = true;
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
    // The directory's size is not recorded: it is as long as its chain.
    const auto directory = chain(m_directoryStart, std::numeric_limits<quint64>::max(), error);
    if (!directory)
        return false;
    m_entries.reserve(directory->size() / kEntrySize);
    for (qsizetype at = 0; at + kEntrySize <= directory->size(); at += kEntrySize) {
        const QByteArrayView raw = QByteArrayView(*directory).sliced(at, kEntrySize);
        const int nameBytes = std::min<int>(u16(raw, 0x40), 64);
        Entry entry;
        entry.name = QString::fromUtf16(reinterpret_cast<const char16_t *>(raw.data()), std::max(0, nameBytes / 2 - 1));
        entry.type = raw[0x42];
        entry.left = u32(raw, 0x44);
        entry.right = u32(raw, 0x48);
        entry.child = u32(raw, 0x4C);
        entry.start = u32(raw, 0x74);
        // Version 3 files (512-byte sectors) may leave garbage in the size's high half.
        entry.size = m_sectorSize == 512 ? u32(raw, 0x78) : qFromLittleEndian<quint64>(raw.data() + 0x78);
        m_entries.append(entry);
    }
    if (m_entries.isEmpty() || m_entries[0].type != kRootEntry) {
        *error = QStringLiteral("目录无效");
        return false;
    }
    return true;
}

// The mini stream lives in the root entry's chain; its allocation table in the mini FAT chain.
bool CompoundFile::readMiniStream(QString *error)
{
    const Entry &root = m_entries[0];
    const bool noMiniStream = root.start == kEndOfChain || root.size == 0;
    const auto miniStream =
        noMiniStream ? std::optional<QByteArray>(QByteArray()) : chain(root.start, root.size, error);
    if (!miniStream)
        return false;
    const bool noMiniFat = m_miniFatSectors == 0 || m_miniFatStart == kEndOfChain;
    const auto miniFat = noMiniFat ? std::optional<QByteArray>(QByteArray())
                                   : chain(m_miniFatStart, quint64(m_miniFatSectors) * m_sectorSize, error);
    if (!miniFat)
        return false;
    m_miniStream = *miniStream;
    m_miniFat.reserve(miniFat->size() / 4);
    for (qsizetype at = 0; at + 4 <= miniFat->size(); at += 4)
        m_miniFat.append(u32(*miniFat, at));
    return true;
}

// The root's children form a tree through their left and right siblings; it is walked with every entry
// visited at most once, so a directory whose links loop still ends.
void CompoundFile::findRootStreams()
{
    std::vector<bool> seen(size_t(m_entries.size()));
    QList<quint32> pending{m_entries[0].child};
    while (!pending.isEmpty()) {
        const quint32 index = pending.takeLast();
        if (index == kNoEntry || index >= quint32(m_entries.size()) || seen[index])
            continue;
        seen[index] = true;
        const Entry &entry = m_entries[index];
        if (entry.type == kStreamEntry)
            m_rootStreams.append(index);
        pending.append(entry.left);
        pending.append(entry.right);
    }
}

const CompoundFile::Entry *CompoundFile::rootStream(const QString &name) const
{
    for (qsizetype index : m_rootStreams) {
        if (m_entries[index].name.compare(name, Qt::CaseInsensitive) == 0)
            return &m_entries[index];
    }
    return nullptr;
}

bool CompoundFile::hasStream(const QString &name) const
{
    return rootStream(name) != nullptr;
}

std::optional<QByteArray> CompoundFile::stream(const QString &name, QString *error) const
{
    const Entry *entry = rootStream(name);
    if (!entry) {
        *error = QStringLiteral("缺少“%1”部分").arg(name);
        return std::nullopt;
    }
    if (entry->size < m_miniCutoff)
        return miniChain(entry->start, entry->size, error);
    return chain(entry->start, entry->size, error);
}

} // namespace veltrik
