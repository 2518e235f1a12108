#pragma once

#include <QString>

namespace veltrik::benchmarks {

// A thesis-like article: Chinese sentences with full-width punctuation, some ASCII, paragraphs.
inline QString thesisArticle(qsizetype characters)
{
    const QString paragraph = QStringLiteral(
        "本文以高校学生的学术写作为研究对象，采用问卷调查与访谈相结合的方法（N=326），"
        "分析了论文写作中引用不规范的主要原因。结果表明：学生对“合理引用”的认识不足！"
        "此外，部分学生使用了 Word 的自动引用功能……但并未核对原文。 \r\n");
    QString text;
    text.reserve(characters + paragraph.size());
    while (text.size() < characters)
        text += paragraph;
    text.truncate(characters);
    return text;
}

} // namespace veltrik::benchmarks
