#include "components/richeditor.h"
#include "documents/loader.h"
#include "support/form1fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::Form1Fixture;

const QString kReal = QStringLiteral(VELTRIK_TEST_DATA "/real/");

// The main window's open command on PDF files, as the program starts it (the PDF reader enabled).
class PdfOpenTest : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;
    QTemporaryDir dir;

    void open(const char *fixtureName, const QString &name)
    {
        const QString path = dir.filePath(name);
        ASSERT_TRUE(QFile::copy(kReal + QString::fromLatin1(fixtureName), path));
        fixture.desktop.nextChosenFile = path;
        form.dakai_Click();
    }
};

TEST_F(PdfOpenTest, APdfOpensAsParagraphsWhateverItsName)
{
    const QString expected = loadDocument(kReal + u"pdf-thesis-running-heads.pdf"_qs, false).content.text;
    ASSERT_TRUE(expected.startsWith(u"1 绪论\r\n1.1 欢迎！\r\n"_qs));
    for (const QString &name : {u"论文.pdf"_qs, u"论文.PDF"_qs, u"论文"_qs, u"论文.doc"_qs}) {
        form.RichTextBox1->setText(QString());
        open("pdf-thesis-running-heads.pdf", name);
        EXPECT_EQ(form.RichTextBox1->text(), expected) << name.toStdString();
    }
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());
}

struct UnreadableCase {
    const char *name;
    const char *fixture;
    const char16_t *fileName;
    const char16_t *box;
};

class UnreadablePdf : public PdfOpenTest, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadablePdf, GetsAMessageAndTheTextStays)
{
    form.RichTextBox1->setText(u"我的论文"_qs);
    open(GetParam().fixture, QString::fromUtf16(GetParam().fileName));
    EXPECT_EQ(form.RichTextBox1->text(), u"我的论文"_qs);
    EXPECT_EQ(fixture.desktop.boxes, QStringList{QString::fromUtf16(GetParam().box)});
}

INSTANTIATE_TEST_SUITE_P(
    Real, UnreadablePdf,
    ::testing::Values(
        UnreadableCase{"Scan", "pdf-scan-without-text.pdf", u"扫描.pdf",
                       u"critical|Veltrik|无法打开文件“扫描.pdf”：这个 PDF 文件没有文字层（可能是扫描件），无法取出文字"},
        UnreadableCase{"Encrypted", "pdf-encrypted.pdf", u"加密.pdf",
                       u"critical|Veltrik|无法打开文件“加密.pdf”：这个 PDF 文件有密码保护，请先取消密码再打开"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace veltrik
