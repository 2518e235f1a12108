#include "docxreader.h"

#include <QXmlStreamReader>

#include <memory>
#include <zip.h>

namespace veltrik {
namespace {

constexpr zip_uint64_t kLargestEntry = 512ull * 1024 * 1024;
constexpr zip_int64_t kReadBlock = 1 << 20;

using Status = DocumentResult::Status;

struct ArchiveCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t *entry) const { zip_fclose(entry); }
};

// The entry's bytes, read in blocks and never past the limit, whatever its header claims.
std::optional<QByteArray> readEntry(zip_t *archive, const char *name, DocumentResult *failure)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, name, 0, &stat) != 0) {
        *failure = DocumentResult::failure(Status::NotThisFormat, u"ZIP 文件中没有 Word 正文（word/document.xml）"_qs);
        return std::nullopt;
    }
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > kLargestEntry) {
        *failure = DocumentResult::failure(Status::TooLarge, u"Word 文档的正文解压后超过 512 MB"_qs);
        return std::nullopt;
    }
    std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen(archive, name, 0));
    if (!entry) {
        *failure = DocumentResult::failure(Status::Damaged, u"Word 文档已损坏（无法解压正文）"_qs);
        return std::nullopt;
    }
    QByteArray data;
    while (true) {
        const qsizetype used = data.size();
        data.resize(used + kReadBlock);
        const zip_int64_t read = zip_fread(entry.get(), data.data() + used, kReadBlock);
        if (read < 0) {
            *failure = DocumentResult::failure(Status::Damaged, u"Word 文档已损坏（正文解压出错）"_qs);
            return std::nullopt;
        }
        data.resize(used + qsizetype(read));
        if (read == 0)
            break;
        if (zip_uint64_t(data.size()) > kLargestEntry) {
            *failure = DocumentResult::failure(Status::TooLarge, u"Word 文档的正文解压后超过 512 MB"_qs);
            return std::nullopt;
        }
    }
    return data;
}

// Paragraphs, runs and the few elements that stand for characters.
std::optional<QString> bodyText(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    QString text;
    bool paragraphSeen = false;
    int deleted = 0;
    int tabStops = 0; // inside <w:tabs>, where <w:tab> is a tab stop, not a character
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = reader.name();
            if (name == u"p" && paragraphSeen)
                text += u"\r\n";
            if (name == u"p")
                paragraphSeen = true;
            else if (name == u"del")
                ++deleted;
            else if (name == u"tabs")
                ++tabStops;
            else if (name == u"t" && deleted == 0)
                text += reader.readElementText();
            else if (name == u"tab" && deleted == 0 && tabStops == 0)
                text += u'\t';
            else if ((name == u"br" || name == u"cr") && deleted == 0)
                text += u"\r\n";
            else if (name == u"noBreakHyphen")
                text += u'-';
        } else if (token == QXmlStreamReader::EndElement) {
            if (reader.name() == u"del")
                --deleted;
            else if (reader.name() == u"tabs")
                --tabStops;
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return text;
}

} // namespace

bool looksLikeZip(QByteArrayView bytes)
{
    return bytes.startsWith("PK\x03\x04");
}

DocumentResult readDocx(QByteArrayView bytes)
{
    if (!looksLikeZip(bytes))
        return DocumentResult::failure(Status::NotThisFormat, u"不是 Word 2007 及以上的文档"_qs);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), zip_uint64_t(bytes.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        return DocumentResult::failure(Status::Unreadable, u"无法读取 ZIP 文件"_qs);
    }
    std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return DocumentResult::failure(Status::Damaged, u"Word 文档已损坏（ZIP 目录无效）"_qs);
    }
    DocumentResult failure;
    const auto xml = readEntry(archive.get(), "word/document.xml", &failure);
    if (!xml)
        return failure;
    const auto text = bodyText(*xml);
    if (!text)
        return DocumentResult::failure(Status::Damaged, u"Word 文档已损坏（正文 XML 无效）"_qs);
    return DocumentResult::ok(StyledText::plain(*text));
}

} // namespace veltrik
