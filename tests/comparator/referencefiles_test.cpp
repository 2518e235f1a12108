#include "comparator/referencefiles.h"

#include "documents/loader.h"
#include "support/writtenfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

const QString kData = QStringLiteral(VELTRIK_TEST_DATA);

class ReferenceFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = testing::writtenFile(m_folder.path(), name, bytes);
        EXPECT_FALSE(path.isEmpty()) << name.toStdString();
        return path;
    }

    QString copy(const QString &dataFile, const QString &name)
    {
        QFile source(kData + u"/"_qs + dataFile);
        EXPECT_TRUE(source.open(QIODevice::ReadOnly));
        return write(name, source.readAll());
    }

    QTemporaryDir m_folder;
};

TEST_F(ReferenceFiles, AFolderGivesEveryFileInItAndItsSubfoldersOnce)
{
    const QString b = write(u"refs/b.txt"_qs, "b");
    const QString a = write(u"refs/sub/a.txt"_qs, "a");
    const QString c = write(u"c.txt"_qs, "c");
    EXPECT_EQ(referenceFilesIn({c, m_folder.filePath(u"refs"_qs), a}), (QStringList{c, b, a}));
}

TEST_F(ReferenceFiles, UnreadableFilesAreListedWithTheirReasonAndTheRestGoesOn)
{
    const QString article = u"本文研究学术写作中的引用规范，我们去公园玩。结果表明……规范训练十分必要！"_qs;
    const QString text = copy(u"text-utf8.txt"_qs, u"refs/a-text.txt"_qs);
    const QString damaged = copy(u"truncated-sample.docx"_qs, u"refs/b-damaged.docx"_qs);
    const QString word = copy(u"sample.docx"_qs, u"refs/sub/c-sample.docx"_qs);
    const QString missing = m_folder.filePath(u"gone.txt"_qs);
    const ReferenceFilesResult result =
        compareWithFiles(article, referenceFilesIn({m_folder.filePath(u"refs"_qs)}) + QStringList{missing});

    ASSERT_EQ(result.compared.size(), 2);
    EXPECT_EQ(result.compared[0].path, text);
    EXPECT_EQ(result.compared[1].path, word);
    EXPECT_EQ(result.compared[1].name(), u"c-sample.docx"_qs);
    for (const ComparedReference &reference : result.compared) {
        EXPECT_EQ(reference.text, loadDocument(reference.path, false).content.text);
        EXPECT_EQ(reference.comparison.run.marks, compareWithReference(article, reference.text).run.marks);
        EXPECT_GT(reference.comparison.run.sentences, 0) << reference.path.toStdString();
    }
    ASSERT_EQ(result.unreadable.size(), 2);
    EXPECT_EQ(result.unreadable[0].path, damaged);
    EXPECT_EQ(result.unreadable[0].reason, loadDocument(damaged, false).message);
    EXPECT_FALSE(result.unreadable[0].reason.isEmpty());
    EXPECT_EQ(result.unreadable[1].path, missing);
    EXPECT_FALSE(result.unreadable[1].reason.isEmpty());
}

TEST_F(ReferenceFiles, CancelledBeforeTheFirstFileReadsNothing)
{
    const std::atomic_bool cancelled = true;
    const ReferenceFilesResult result =
        compareWithFiles(u"我们去公园玩。"_qs, {write(u"a.txt"_qs, "我们去公园玩。")}, &cancelled);
    EXPECT_TRUE(result.compared.isEmpty());
    EXPECT_TRUE(result.unreadable.isEmpty());
}

ComparedReference compared(const QString &article, const QString &text)
{
    return {u"/refs/x.txt"_qs, text, compareWithReference(article, text)};
}

TEST(SeveralReferences, TheMarksAreTheUnionAndTheFiguresTheSums)
{
    const QString article = u"我们去公园玩。今天天气很好，明天下雨不出门。"_qs;
    const QList<ComparedReference> references = {
        compared(article, u"我们去公园玩。今天天气很好，"_qs),
        compared(article, u"今天天气很好，明天下雨不出门。"_qs),
        compared(article, u"毫无关系的句子。"_qs),
    };
    EXPECT_EQ(references[0].comparison.run.marks, (QList<TextSpan>{{0, 14}}));
    EXPECT_EQ(references[1].comparison.run.marks, (QList<TextSpan>{{7, 15}}));
    EXPECT_EQ(unionOfMarks(references), (QList<TextSpan>{{0, 22}}));
    // 14 + 15 characters in 2 + 2 sentences; of 14 + 15 + 8 reference characters.
    EXPECT_EQ(referencesResultText(article.size(), references), u"你的文章一共 22 字，重复 0 段， 4 句， 29 字\r\n"
                                                                u"        重复部分占你的文章的： 132 %\r\n"
                                                                u"        与参考文章的相似度为： 78 %"_qs);
    EXPECT_EQ(shareOfArticle(article.size(), references[0].comparison), u"64"_qs);
    EXPECT_EQ(shareOfArticle(article.size(), references[2].comparison), u"0"_qs);
}

TEST(SeveralReferences, NoReferencesGiveZeroFigures)
{
    EXPECT_TRUE(unionOfMarks({}).isEmpty());
    EXPECT_EQ(referencesResultText(10, {}), u"你的文章一共 10 字，重复 0 段， 0 句， 0 字\r\n"
                                            u"        重复部分占你的文章的： 0 %\r\n"
                                            u"        与参考文章的相似度为： 0 %"_qs);
}

} // namespace
} // namespace veltrik
