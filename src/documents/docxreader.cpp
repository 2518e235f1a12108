#include "docxreader.h"

#include <QXmlStreamReader>

#include <memory>
#include <zip.h>

namespace veltrik {
namespace {

constexpr zip_uint64_t kLargestEntry = 512ull * 1024 * 1024;
constexpr zip_int64_t kReadBlock = 1 << 20;
constexpr int kMostAttributes = 128;

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

// Qt's XML reader compares an element's attributes pairwise for duplicates. Word writes a few dozen on
// an element at most (the namespaces of the root); a body with more on one element is refused before it is
// parsed, which keeps reading linear in the file. Comments and character data are passed over whole.
bool attributesWithinBound(QByteArrayView xml)
{
    bool inTag = false;
    char quote = 0;
    int attributes = 0;
    for (qsizetype at = 0; at < xml.size(); ++at) {
        const char c = xml[at];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (!inTag) {
            if (c != '<')
                continue;
            for (const auto &[opening, closing] : {std::pair{"<!--", "-->"}, std::pair{"<![CDATA[", "]]>"}}) {
                if (xml.sliced(at).startsWith(opening)) {
                    const qsizetype end = xml.indexOf(closing, at);
                    at = end < 0 ? xml.size() : end;
                    break;
                }
            }
            inTag = at < xml.size() && xml[at] == '<';
            attributes = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '=' && ++attributes > kMostAttributes) {
            return false;
        } else if (c == '>') {
            inTag = false;
        }
    }
    return true;
}

bool isPageOrColumnBreak(const QXmlStreamReader &reader)
{
    for (const QXmlStreamAttribute &attribute : reader.attributes()) {
        if (attribute.name() == u"type")
            return attribute.value() == u"page" || attribute.value() == u"column";
    }
    return false;
}

// The text of the paragraphs as they are shown. A page or column break is no character: where text follows
// it in the same paragraph the paragraph is split there; at either end of a paragraph it leaves no line of
// its own, as a .doc saved from the same document keeps it in the paragraph's properties.
class ParagraphText {
public:
    void startParagraph()
    {
        if (paragraphSeen)
            text += u"\r\n";
        paragraphSeen = true;
        hasText = false;
        splitPending = false;
    }
    void breakPage() { splitPending = hasText; }
    void append(QStringView characters)
    {
        if (characters.isEmpty())
            return;
        if (splitPending)
            text += u"\r\n";
        splitPending = false;
        hasText = true;
        text += characters;
    }
    QString text;

private:
    bool paragraphSeen = false;
    bool hasText = false;
    bool splitPending = false;
};

// Paragraphs, runs and the few elements that stand for characters. Only the main text: what a shape's
// alternate content repeats for older readers (mc:Fallback) and the text of text boxes are passed over.
std::optional<QString> bodyText(QByteArrayView xml)
{
    QXmlStreamReader reader(QByteArray::fromRawData(xml.data(), xml.size()));
    ParagraphText paragraphs;
    int deleted = 0;
    int tabStops = 0; // inside <w:tabs>, where <w:tab> is a tab stop, not a character
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = reader.name();
            if (name == u"Fallback" || name == u"txbxContent") {
                reader.skipCurrentElement();
                continue;
            }
            if (name == u"p")
                paragraphs.startParagraph();
            else if (name == u"del")
                ++deleted;
            else if (name == u"tabs")
                ++tabStops;
            else if (name == u"t" && deleted == 0)
                paragraphs.append(reader.readElementText());
            else if (name == u"tab" && deleted == 0 && tabStops == 0)
                paragraphs.append(u"\t");
            else if (name == u"br" && deleted == 0 && isPageOrColumnBreak(reader))
                paragraphs.breakPage();
            else if ((name == u"br" || name == u"cr") && deleted == 0)
                paragraphs.append(u"\r\n");
            else if (name == u"noBreakHyphen")
                paragraphs.append(u"-");
        } else if (token == QXmlStreamReader::EndElement) {
            if (reader.name() == u"del")
                --deleted;
            else if (reader.name() == u"tabs")
                --tabStops;
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return paragraphs.text;
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
    return readDocxBody(*xml);
}

DocumentResult readDocxBody(QByteArrayView xml)
{
    if (!attributesWithinBound(xml))
        return DocumentResult::failure(Status::Damaged, u"Word 文档已损坏（正文中一个元素的属性过多）"_qs);
    const auto text = bodyText(xml);
    if (!text)
        return DocumentResult::failure(Status::Damaged, u"Word 文档已损坏（正文 XML 无效）"_qs);
    return DocumentResult::ok(StyledText::plain(*text));
}

} // namespace veltrik
