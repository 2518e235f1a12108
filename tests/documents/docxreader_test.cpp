#include "documents/docxreader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

namespace veltrik {
namespace {

// A .docx holding only word/document.xml with the given body.
QByteArray docxWithBody(const QByteArray &body)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(u"t.docx"_qs).toLocal8Bit();
    int error = 0;
    zip_t *archive = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    const QByteArray xml = "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/"
                           "wordprocessingml/2006/main\"><w:body>" +
                           body + "</w:body></w:document>";
    zip_source_t *source = zip_source_buffer(archive, xml.constData(), zip_uint64_t(xml.size()), 0);
    zip_file_add(archive, "word/document.xml", source, ZIP_FL_OVERWRITE);
    zip_close(archive);
    QFile file(QString::fromLocal8Bit(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

struct BodyCase {
    const char *name;
    QByteArray body;
    QString text;
};

class DocxBodies : public ::testing::TestWithParam<BodyCase> {};

TEST_P(DocxBodies, GiveTheirText)
{
    const DocumentResult result = readDocx(docxWithBody(GetParam().body));
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_EQ(result.content.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, DocxBodies,
    ::testing::Values(
        BodyCase{"paragraphs", "<w:p><w:r><w:t>甲</w:t></w:r></w:p><w:p><w:r><w:t>乙</w:t></w:r></w:p>",
                 u"甲\r\n乙"_qs},
        BodyCase{"tab_and_break", "<w:p><w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t></w:r></w:p>",
                 u"a\tb\r\nc"_qs},
        BodyCase{
            "tab_stops_are_not_tabs",
            "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr><w:r><w:t>x</w:t></w:r></w:p>",
            u"x"_qs},
        BodyCase{"deleted_text_and_field_codes_left_out",
                 "<w:p><w:del><w:r><w:delText>old</w:delText></w:r></w:del><w:r><w:instrText>PAGE</w:instrText></w:r>"
                 "<w:r><w:t xml:space=\"preserve\"> new </w:t></w:r></w:p>",
                 u" new "_qs},
        BodyCase{"table_cells",
                 "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>1</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>2</w:t>"
                 "</w:r></w:p></w:tc></w:tr></w:tbl>",
                 u"1\r\n2"_qs},
        BodyCase{
            "shapes_read_once_from_their_choice",
            "<w:p><w:r><w:t>正文</w:t></w:r><w:r><mc:AlternateContent xmlns:mc=\"mc\"><mc:Choice Requires=\"wps\">"
            "<w:drawing><w:t>图</w:t></w:drawing></mc:Choice><mc:Fallback><w:pict><w:t>图</w:t></w:pict></mc:Fallback>"
            "</mc:AlternateContent></w:r><w:r><w:t>续</w:t></w:r></w:p>",
            u"正文图续"_qs},
        BodyCase{
            "page_break_inside_a_paragraph_splits_it",
            "<w:p><w:r><w:t>甲</w:t><w:br w:type=\"page\"/><w:t>乙</w:t><w:br w:type=\"column\"/><w:t>丙</w:t></w:r></w:p>",
            u"甲\r\n乙\r\n丙"_qs},
        BodyCase{
            "page_break_at_a_paragraph_end_adds_no_line",
            "<w:p><w:r><w:t>甲</w:t><w:br w:type=\"page\"/></w:r></w:p><w:p><w:r><w:br w:type=\"page\"/><w:t>乙</w:t>"
            "</w:r></w:p><w:p><w:r><w:br w:type=\"page\"/></w:r></w:p><w:p><w:r><w:t>丙</w:t></w:r></w:p>",
            u"甲\r\n乙\r\n\r\n丙"_qs},
        BodyCase{
            "old_text_boxes_left_out",
            "<w:p><w:r><w:pict><v:shape xmlns:v=\"v\"><v:textbox><w:txbxContent><w:p><w:r><w:t>框</w:t></w:r></w:p>"
            "</w:txbxContent></v:textbox></v:shape></w:pict><w:t>正文</w:t></w:r></w:p>",
            u"正文"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DocxReader, BrokenXmlIsDamage)
{
    EXPECT_EQ(readDocx(docxWithBody("<w:p><w:r><w:t>x</w:p>")).status, DocumentResult::Status::Damaged);
}

TEST(DocxReader, AZipWithoutTheBodyIsNotAWordDocument)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(u"t.zip"_qs).toLocal8Bit();
    int error = 0;
    zip_t *archive = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    zip_file_add(archive, "readme.txt", zip_source_buffer(archive, "hi", 2, 0), 0);
    zip_close(archive);
    QFile file(QString::fromLocal8Bit(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(readDocx(file.readAll()).status, DocumentResult::Status::NotThisFormat);
}

// An element with far more attributes than Word writes is refused before it is parsed; the namespaces of
// a real document's root are read.
TEST(DocxReader, AttributesPerElementAreBounded)
{
    QByteArray manyAttributes = "<w:document xmlns:w=\"w\"><w:body><w:p";
    for (int i = 0; i < 100000; ++i)
        manyAttributes += " a" + QByteArray::number(i) + "=\"\"";
    manyAttributes += "/></w:body></w:document>";
    const DocumentResult refused = readDocxBody(manyAttributes);
    EXPECT_EQ(refused.status, DocumentResult::Status::Damaged);
    EXPECT_EQ(refused.message, u"Word 文档已损坏（正文中一个元素的属性过多）"_qs);

    QByteArray wordRoot = "<w:document";
    for (int i = 0; i < 40; ++i)
        wordRoot += " xmlns:n" + QByteArray::number(i) + "=\"urn:n" + QByteArray::number(i) + "\"";
    wordRoot += " xmlns:w=\"w\"><!-- a=b a=b a=b --><w:body><w:p><w:r><w:t>a=b</w:t></w:r></w:p></w:body></w:document>";
    const DocumentResult read = readDocxBody(wordRoot);
    ASSERT_TRUE(read) << read.message.toStdString();
    EXPECT_EQ(read.content.text, u"a=b"_qs);
}

TEST(DocxReader, EveryTruncationFailsCleanly)
{
    const QByteArray docx = docxWithBody("<w:p><w:r><w:t>内容</w:t></w:r></w:p>");
    for (qsizetype length = 0; length < docx.size(); length += 13)
        EXPECT_FALSE(readDocx(docx.left(length))) << length;
}

} // namespace
} // namespace veltrik
