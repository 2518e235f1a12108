#pragma once

// Small generators of Word 97-2003 files for the reader tests, the fuzz seeds and the benchmarks: a
// compound file writer, a minimal Word document stream with its table stream, and the crafted damaged
// and hostile files the reader must turn into a message within bounded time and memory.

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QtEndian>

#include <algorithm>

namespace veltrik::crafted {

inline void putU16(QByteArray &bytes, qsizetype at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

inline void putU32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

inline constexpr quint32 kEndOfChain = 0xFFFFFFFE;
inline constexpr quint32 kFree = 0xFFFFFFFF;

struct Node {
    QString name;
    QByteArray data;
    bool storage = false;
    int parent = 0; // directory index of the parent storage; 0 is the root
};

// A compound file as it was laid out, so that a test can break a chain on purpose.
struct Compound {
    QByteArray bytes;
    quint32 sectorSize = 512;
    QList<quint32> fatSectors;
    quint32 directoryStart = 0;
    quint32 miniFatStart = kEndOfChain;
    QList<quint32> starts; // first sector (or mini sector) of every node, in the order given

    qsizetype sectorOffset(quint32 sector) const { return (qsizetype(sector) + 1) * sectorSize; }
    // Points the FAT entry of `sector` at `next`.
    void linkSector(quint32 sector, quint32 next)
    {
        const quint32 perSector = sectorSize / 4;
        putU32(bytes, sectorOffset(fatSectors[sector / perSector]) + 4 * (sector % perSector), next);
    }
    void linkMiniSector(quint32 miniSector, quint32 next)
    {
        putU32(bytes, sectorOffset(miniFatStart) + 4 * miniSector, next);
    }
};

// Lays out the nodes below a root storage: FAT, directory, mini FAT, mini stream, then the big streams.
// Streams under 4096 bytes go to the mini stream. The last sector is written whole.
inline Compound writeCompound(const QList<Node> &nodes, int sectorShift = 9)
{
    Compound out;
    const quint32 size = 1u << sectorShift;
    out.sectorSize = size;
    const auto sectorsFor = [size](qsizetype bytes) { return quint32((bytes + size - 1) / size); };
    const auto isMini = [](const Node &node) { return !node.storage && node.data.size() < 4096; };

    QByteArray miniStream;
    QList<quint32> miniFat;
    QList<quint32> starts;
    for (const Node &node : nodes) {
        if (!isMini(node) || node.data.isEmpty()) {
            starts.append(kEndOfChain);
            continue;
        }
        const quint32 first = quint32(miniStream.size() / 64);
        const quint32 count = quint32((node.data.size() + 63) / 64);
        for (quint32 i = 0; i < count; ++i)
            miniFat.append(i + 1 == count ? kEndOfChain : first + i + 1);
        miniStream += node.data;
        miniStream += QByteArray(qsizetype(count) * 64 - node.data.size(), '\0');
        starts.append(first);
    }
    const quint32 directorySectors = sectorsFor(qsizetype(nodes.size() + 1) * 128);
    const quint32 miniFatSectors = sectorsFor(miniFat.size() * 4);
    const quint32 miniStreamSectors = sectorsFor(miniStream.size());
    quint32 bigSectors = 0;
    for (const Node &node : nodes)
        bigSectors += isMini(node) ? 0 : sectorsFor(node.data.size());
    const quint32 rest = directorySectors + miniFatSectors + miniStreamSectors + bigSectors;
    quint32 fatSectors = 1;
    while (fatSectors * (size / 4) < fatSectors + rest)
        ++fatSectors;

    QList<quint32> fat(qsizetype(fatSectors) * (size / 4), kFree);
    quint32 next = 0;
    const auto allocate = [&](quint32 count) {
        const quint32 first = count == 0 ? kEndOfChain : next;
        for (quint32 i = 0; i < count; ++i, ++next)
            fat[next] = i + 1 == count ? kEndOfChain : next + 1;
        return first;
    };
    for (quint32 i = 0; i < fatSectors; ++i) {
        out.fatSectors.append(next);
        fat[next++] = 0xFFFFFFFD;
    }
    out.directoryStart = allocate(directorySectors);
    out.miniFatStart = allocate(miniFatSectors);
    const quint32 miniStreamStart = allocate(miniStreamSectors);
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        if (!isMini(nodes[i]))
            starts[i] = allocate(sectorsFor(nodes[i].data.size()));
    }
    out.starts = starts;

    QByteArray bytes(qsizetype(size) * (1 + next), '\0');
    bytes.replace(0, 8, QByteArray::fromHex("d0cf11e0a1b11ae1"));
    putU16(bytes, 0x18, 0x3E);
    putU16(bytes, 0x1A, sectorShift == 9 ? 3 : 4);
    putU16(bytes, 0x1C, 0xFFFE);
    putU16(bytes, 0x1E, quint16(sectorShift));
    putU16(bytes, 0x20, 6);
    putU32(bytes, 0x2C, fatSectors);
    putU32(bytes, 0x30, out.directoryStart);
    putU32(bytes, 0x38, 4096);
    putU32(bytes, 0x3C, out.miniFatStart);
    putU32(bytes, 0x40, miniFatSectors);
    putU32(bytes, 0x44, kEndOfChain);
    for (int i = 0; i < 109; ++i)
        putU32(bytes, 0x4C + 4 * i, i < out.fatSectors.size() ? out.fatSectors[i] : kFree);
    for (qsizetype i = 0; i < fat.size(); ++i)
        putU32(bytes, out.sectorOffset(out.fatSectors[i / (size / 4)]) + 4 * (i % (size / 4)), fat[i]);

    // Directory: the root, then every node; each storage's children are chained through right siblings.
    const auto entryAt = [&](qsizetype index) { return out.sectorOffset(out.directoryStart) + 128 * index; };
    for (qsizetype index = 0; index < qsizetype(directorySectors) * size / 128; ++index) {
        putU32(bytes, entryAt(index) + 0x44, kFree);
        putU32(bytes, entryAt(index) + 0x48, kFree);
        putU32(bytes, entryAt(index) + 0x4C, kFree);
    }
    const auto writeEntry = [&](qsizetype index, const QString &name, int type, quint32 start, quint64 length) {
        const qsizetype at = entryAt(index);
        const QString shortName = name.left(31);
        for (qsizetype i = 0; i < shortName.size(); ++i)
            putU16(bytes, at + 2 * i, shortName[i].unicode());
        putU16(bytes, at + 0x40, quint16(2 * (shortName.size() + 1)));
        bytes[at + 0x42] = char(type);
        bytes[at + 0x43] = 1;
        putU32(bytes, at + 0x74, start);
        qToLittleEndian(length, bytes.data() + at + 0x78);
    };
    writeEntry(0, u"Root Entry"_qs, 5, miniStream.isEmpty() ? kEndOfChain : miniStreamStart,
               quint64(miniStream.size()));
    for (qsizetype i = 0; i < nodes.size(); ++i)
        writeEntry(i + 1, nodes[i].name, nodes[i].storage ? 1 : 2, starts[i], quint64(nodes[i].data.size()));
    QList<qsizetype> lastChild(nodes.size() + 1, -1);
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        const int parent = nodes[i].parent;
        if (lastChild[parent] < 0)
            putU32(bytes, entryAt(parent) + 0x4C, quint32(i + 1));
        else
            putU32(bytes, entryAt(lastChild[parent]) + 0x48, quint32(i + 1));
        lastChild[parent] = i + 1;
    }
    for (qsizetype i = 0; i < miniFat.size(); ++i)
        putU32(bytes, out.sectorOffset(out.miniFatStart) + 4 * i, miniFat[i]);
    bytes.replace(out.sectorOffset(miniStreamStart), miniStream.size(), miniStream);
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        if (!isMini(nodes[i]))
            bytes.replace(out.sectorOffset(starts[i]), nodes[i].data.size(), nodes[i].data);
    }
    out.bytes = bytes;
    return out;
}

// The streams of a Word 97 document holding `text` as one 16-bit piece. Paragraphs end with CR, table
// cells with character 7; `rowEnds` are the positions of the characters 7 that end table rows, marked as
// such in the paragraph properties.
struct WordStreams {
    QByteArray document;
    QByteArray table;
};

inline constexpr qsizetype kParagraphsPerPage = 20;

inline WordStreams wordStreams(const QString &text, const QList<qsizetype> &rowEnds = {})
{
    QList<qsizetype> paragraphEnds; // one past each paragraph's last character
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == QChar(7))
            paragraphEnds.append(i + 1);
    }
    if (paragraphEnds.isEmpty() || paragraphEnds.last() != text.size())
        paragraphEnds.append(text.size());
    const qsizetype pages = (paragraphEnds.size() + kParagraphsPerPage - 1) / kParagraphsPerPage;
    const quint32 textAt = quint32(512 * (1 + pages));

    WordStreams out;
    out.document = QByteArray(textAt, '\0');
    putU16(out.document, 0, 0xA5EC);
    putU16(out.document, 2, 0x00C1);
    putU16(out.document, 0x0A, 0x0200); // the table stream is 1Table
    putU32(out.document, 0x4C, quint32(text.size()));
    for (QChar c : text) {
        const quint16 unit = qToLittleEndian(c.unicode());
        out.document.append(reinterpret_cast<const char *>(&unit), 2);
    }

    // Paragraph property pages: the rows' end marks carry a table definition, "in table" and "row end".
    // Each: size 0 then the size in words, the style index 0, the modifiers.
    const QByteArray rowEndPapx = QByteArray::fromHex("0009"
                                                      "0000"
                                                      "08d6"
                                                      "0700"
                                                      "010203040506"
                                                      "162401"
                                                      "172401");
    const QByteArray plainPapx = QByteArray::fromHex("0001"
                                                     "0000");
    const qsizetype rowEndAt = 400, plainAt = 460;
    const QSet<qsizetype> rowEndMarks(rowEnds.cbegin(), rowEnds.cend());
    QList<quint32> pageFirstFc;
    for (qsizetype page = 0; page < pages; ++page) {
        QByteArray fkp(512, '\0');
        const qsizetype first = page * kParagraphsPerPage;
        const qsizetype runs = std::min(kParagraphsPerPage, paragraphEnds.size() - first);
        const auto fcOf = [&](qsizetype paragraph) {
            return textAt + 2 * quint32(paragraph < 0 ? 0 : paragraphEnds[paragraph]);
        };
        pageFirstFc.append(fcOf(first - 1));
        for (qsizetype run = 0; run <= runs; ++run)
            putU32(fkp, 4 * run, fcOf(first + run - 1));
        for (qsizetype run = 0; run < runs; ++run) {
            const bool rowEnd = rowEndMarks.contains(paragraphEnds[first + run] - 1);
            fkp[4 * (runs + 1) + 13 * run] = char((rowEnd ? rowEndAt : plainAt) / 2);
        }
        fkp.replace(rowEndAt, rowEndPapx.size(), rowEndPapx);
        fkp.replace(plainAt, plainPapx.size(), plainPapx);
        fkp[511] = char(runs);
        out.document.replace(512 * (1 + page), 512, fkp);
    }

    // Table stream: the piece table (one piece), then the bin table of the property pages.
    out.table = QByteArray::fromHex("02") + QByteArray(4 + 16, '\0');
    putU32(out.table, 1, 16);
    putU32(out.table, 5 + 4, quint32(text.size()));
    putU32(out.table, 5 + 8 + 2, textAt);
    const quint32 plcAt = quint32(out.table.size());
    QByteArray plc(4 * (pages + 1) + 4 * pages, '\0');
    for (qsizetype page = 0; page < pages; ++page) {
        putU32(plc, 4 * page, pageFirstFc[page]);
        putU32(plc, 4 * (pages + 1) + 4 * page, quint32(1 + page));
    }
    putU32(plc, 4 * pages, textAt + 2 * quint32(text.size()));
    out.table += plc;
    putU32(out.document, 0x102, plcAt);
    putU32(out.document, 0x106, quint32(plc.size()));
    putU32(out.document, 0x1A2, 0);
    putU32(out.document, 0x1A6, 21);
    return out;
}

inline Compound wordFile(const WordStreams &streams, int sectorShift = 9)
{
    return writeCompound({{u"WordDocument"_qs, streams.document}, {u"1Table"_qs, streams.table}}, sectorShift);
}

inline QByteArray wordFile(const QString &text, const QList<qsizetype> &rowEnds = {})
{
    return wordFile(wordStreams(text, rowEnds)).bytes;
}

// A document with an embedded Word object whose storage comes first in the directory, as Word writes it;
// the object has a WordDocument stream of its own.
inline QByteArray wordFileWithEmbeddedObject(const QString &text, const QString &objectText)
{
    const WordStreams object = wordStreams(objectText);
    const WordStreams main = wordStreams(text);
    return writeCompound({{u"ObjectPool"_qs, {}, true, 0},
                          {u"_1234567890"_qs, {}, true, 1},
                          {u"WordDocument"_qs, object.document, false, 2},
                          {u"1Table"_qs, object.table, false, 2},
                          {u"WordDocument"_qs, main.document, false, 0},
                          {u"1Table"_qs, main.table, false, 0}})
        .bytes;
}

// Files made to exhaust a reader that follows what a file says: loops in every kind of chain (also with
// 64 KiB sectors, where each hop is large), a text longer than the file, a piece table that repeats its
// text. Each must end quickly with its message.
struct HostileFile {
    const char *name;
    QByteArray bytes;
    QString message;
};

inline QList<HostileFile> hostileWordFiles()
{
    QList<HostileFile> files;
    const QString loop = u"Word 文件已损坏（扇区链循环）"_qs;
    {
        Compound file = wordFile(wordStreams(u"目录循环"_qs), 16);
        file.linkSector(file.directoryStart, file.directoryStart);
        files.append({"directory_loop_in_64k_sectors", file.bytes, loop});
    }
    {
        Compound file = wordFile(wordStreams(QString(3000, u'文')));
        file.linkSector(file.starts[0] + 1, file.starts[0]);
        files.append({"stream_loop", file.bytes, loop});
    }
    {
        Compound file = wordFile(wordStreams(QString(100, u'文')));
        file.linkMiniSector(file.starts[0] + 2, file.starts[0]);
        files.append({"mini_stream_loop", file.bytes, loop});
    }
    {
        Compound file = wordFile(wordStreams(QString(3000, u'文')));
        file.linkSector(file.starts[0] + 1, kFree);
        files.append({"chain_into_a_free_sector", file.bytes, u"Word 文件已损坏（扇区链断裂）"_qs});
    }
    {
        WordStreams streams = wordStreams(u"字数"_qs);
        putU32(streams.document, 0x4C, 0x7FFFFFFF);
        files.append(
            {"text_longer_than_the_file", wordFile(streams).bytes, u"Word 文件已损坏（声明的字数超出文件）"_qs});
    }
    {
        // 10,000 pieces that all start at the first character, each holding the whole text.
        WordStreams streams = wordStreams(QString(1000, u'重'));
        const qsizetype pieces = 10000;
        QByteArray plc(4 * (pieces + 1) + 8 * pieces, '\0');
        for (qsizetype i = 0; i <= pieces; ++i)
            putU32(plc, 4 * i, i % 2 == 0 ? 0 : 1000);
        for (qsizetype i = 0; i < pieces; ++i)
            putU32(plc, 4 * (pieces + 1) + 8 * i + 2, quint32(streams.document.size() - 2000));
        QByteArray clx = QByteArray::fromHex("02") + QByteArray(4, '\0') + plc;
        putU32(clx, 1, quint32(plc.size()));
        putU32(streams.document, 0x1A2, quint32(streams.table.size()));
        putU32(streams.document, 0x1A6, quint32(clx.size()));
        streams.table += clx;
        files.append({"pieces_repeating_the_text", wordFile(streams).bytes, u"Word 文件已损坏（片段表无效）"_qs});
    }
    return files;
}

} // namespace veltrik::crafted
