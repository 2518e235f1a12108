#pragma once

#include <QString>

namespace veltrik {

// What the analysis leaves out of the pieces. Every option is off by default, and with every option off
// the analysis is exactly the plain one. A plain value, so that a check can keep it as it is.
struct AnalysisOptions {
    bool excludeReferences = false;
    bool excludeQuotes = false;
    bool excludeTableOfContents = false;

    bool anyOn() const { return excludeReferences || excludeQuotes || excludeTableOfContents; }
    friend bool operator==(const AnalysisOptions &, const AnalysisOptions &) = default;
};

// Characters left out, by reason. Line breaks, spaces, U+3000 and tabs are not counted.
struct ExcludedCharacters {
    qsizetype references = 0;
    qsizetype quotes = 0;
    qsizetype tableOfContents = 0;

    qsizetype total() const { return references + quotes + tableOfContents; }
    friend bool operator==(const ExcludedCharacters &, const ExcludedCharacters &) = default;
};

struct ExclusionResult {
    // The editor text without what was left out; whole paragraphs go with their line breaks.
    QString keptText;
    ExcludedCharacters excluded;
};

// Leaves out, as the options ask (a character matched by several keeps the first reason in this order):
// - the references section: from a heading such as 参考文献, References or 引用文献 (numbered or not) to
//   the next heading of the same or a higher level (a chapter, or an unnumbered 致谢, 附录 …), or the end;
// - the table of contents: lines ending in dot leaders and a page number, with the 目录 heading above
//   them;
// - quoted passages: text between “ ” or 「 」 (the marks included) that a 引用 or a 如……所说 earlier in
//   its sentence marks as a quote, or that stands as a paragraph of its own. A quote left open at the end
//   of its paragraph is no quote and stays.
ExclusionResult applyExclusions(const QString &editorText, const AnalysisOptions &options);

// "已排除参考文献 N 字，引文 N 字，目录 N 字，共 N 字不参与对比。", naming only the options that are on.
QString exclusionSentence(const AnalysisOptions &options, const ExcludedCharacters &excluded);

} // namespace veltrik
