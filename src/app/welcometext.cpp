#include "welcometext.h"

#include "appearance/appearance.h"

#include <QTextCursor>
#include <QTextDocument>

namespace veltrik {
namespace {

const QString kParagraphs[] = {
    QStringLiteral("    欢迎使用Qelmar编写的Veltrik软件，请在这里输入或粘贴你要查找的论文语句内容，先点击\"分析\"；"
                   "再点击\"对比\"（按照内容的数量自动分析语句数量，每次点击可以依次网络进行搜索）即可！"),
    QStringLiteral(
        "   由于是基于百度搜索制作而成，因而搜索的速度和质量依据网络速度而定，搜索的结果仅供参考，与作者无关！"
        "如果你发现了问题或者有好的建议，欢迎告诉作者，联系电话：010-62580000，"
        "如果采纳，会尽快进行修复或者调整。"),
    QStringLiteral("   你可以直接在本框内编辑文章后复制到WORD内，有人发现了本软件的其他用法，"
                   "如批量搜索电脑考试题目的答案等……哈哈,期待你的发现！"),
    QString(),
};

} // namespace

void writeWelcomeText(QTextDocument &document)
{
    document.clear();
    QTextCharFormat format;
    format.setFontFamilies(QStringList{kSongTi});
    format.setFontPointSize(10);
    QTextCursor cursor(&document);
    bool first = true;
    for (const QString &paragraph : kParagraphs) {
        if (!first)
            cursor.insertBlock();
        cursor.setCharFormat(format);
        cursor.insertText(paragraph, format);
        first = false;
    }
}

} // namespace veltrik
