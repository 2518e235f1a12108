#pragma once

#include <QString>

namespace veltrik::benchmarks {

// One sentence of a thesis-like article, different for every n.
inline QString thesisSentence(int n)
{
    static const QString forms[] = {
        QStringLiteral("第%1组学生在学术写作中对“合理引用”的认识不足，"),
        QStringLiteral("问卷调查（N=%1）表明引用不规范的主要原因在于缺少指导。"),
        QStringLiteral("此外，有%1名学生使用了 Word 的自动引用功能……"),
        QStringLiteral("访谈中第%1位教师认为规范训练十分必要！\r\n"),
    };
    return forms[n % 4].arg(n);
}

// A thesis-like article: Chinese sentences with full-width punctuation, some ASCII, paragraphs.
inline QString thesisArticle(qsizetype characters)
{
    QString text;
    text.reserve(characters + 64);
    for (int n = 0; text.size() < characters; ++n)
        text += thesisSentence(n);
    text.truncate(characters);
    return text;
}

// A reference article of the same size: three sentences in four are taken from thesisArticle, the
// fourth is its own.
inline QString referenceArticle(qsizetype characters)
{
    QString text;
    text.reserve(characters + 64);
    for (int n = 0; text.size() < characters; ++n)
        text += n % 4 != 0 ? thesisSentence(n) : QStringLiteral("参考文献第%1条的作者另有结论。").arg(n);
    text.truncate(characters);
    return text;
}

} // namespace veltrik::benchmarks
