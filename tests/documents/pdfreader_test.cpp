#include "documents/loader.h"
#include "documents/pdfreader.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

using Status = DocumentResult::Status;

const QByteArray kPdfBytes = QByteArrayLiteral("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n");

PdfPageTexts twoPages(QByteArrayView)
{
    return {Status::Ok,
            QString(),
            {u"论文第一页写满了整整一行\r\n还没有说完就到了页末的"_qs, u"第二页。\r\n新的一段。"_qs}};
}

PdfPageTexts pagesWithoutText(QByteArrayView)
{
    return {Status::Ok, QString(), {QString(), u"\uE000 \r\n"_qs}};
}

PdfPageTexts locked(QByteArrayView)
{
    return {Status::Encrypted, u"有密码"_qs, {}};
}

// The reader is a setting of the whole program; every test leaves none behind.
class ReadPdf : public ::testing::Test {
protected:
    void TearDown() override { setPdfPageTextReader(nullptr); }
};

TEST_F(ReadPdf, IsRecognisedByItsContentNotItsName)
{
    EXPECT_TRUE(looksLikePdf(kPdfBytes));
    EXPECT_FALSE(looksLikePdf(QByteArrayView("PDF-1.7")));
    EXPECT_FALSE(looksLikePdf(QByteArrayView(" %PDF-1.7")));
    EXPECT_FALSE(looksLikePdf(QByteArrayView()));
}

TEST_F(ReadPdf, WithoutAReaderAPdfGetsAMessageNotItsBytesAsText)
{
    const DocumentResult result = loadDocumentBytes(kPdfBytes, false);
    EXPECT_EQ(result.status, Status::Unsupported);
    EXPECT_EQ(result.message, u"这里不能读取 PDF 文件"_qs);
}

TEST_F(ReadPdf, PagesBecomeParagraphsWithTheEditorsLineBreaks)
{
    setPdfPageTextReader(&twoPages);
    for (const bool wordWay : {false, true}) {
        const DocumentResult result = loadDocumentBytes(kPdfBytes, wordWay);
        ASSERT_TRUE(result) << result.message.toStdString();
        EXPECT_EQ(result.content.text, u"论文第一页写满了整整一行还没有说完就到了页末的第二页。\r\n新的一段。"_qs);
    }
}

TEST_F(ReadPdf, APdfWithoutTextSaysSo)
{
    setPdfPageTextReader(&pagesWithoutText);
    const DocumentResult result = loadDocumentBytes(kPdfBytes, false);
    EXPECT_EQ(result.status, Status::Unsupported);
    EXPECT_EQ(result.message, u"这个 PDF 文件没有文字层（可能是扫描件），无法取出文字"_qs);
}

TEST_F(ReadPdf, TheReadersReasonReachesTheUser)
{
    setPdfPageTextReader(&locked);
    const DocumentResult result = loadDocumentBytes(kPdfBytes, false);
    EXPECT_EQ(result.status, Status::Encrypted);
    EXPECT_EQ(result.message, u"有密码"_qs);
}

} // namespace
} // namespace veltrik
