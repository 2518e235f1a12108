#pragma once

#include "analysis/checkresults.h"
#include "analysis/segmentation.h"
#include "articles.h"

namespace veltrik::benchmarks {

// A check of a thesis-like article with `pieces` pieces, every piece compared: figures of every level, ten
// result items each, drawn from a few hundred sites so that many come up repeatedly.
inline CheckResults comparedCheck(int pieces)
{
    CheckResults check;
    check.articleName = QStringLiteral("论文.docx");
    // The cleaning drops spaces and line breaks: a little more text than the pieces need, its end unchecked.
    check.article = thesisArticle(qsizetype(pieces) * (kPieceLength + 4));
    check.pieces = analyseArticle(check.article).pieces.mid(0, pieces);
    for (int piece = 0; piece < check.pieces.size(); ++piece) {
        PieceResult result{PieceState::Compared, double(piece * 7 % 90), {}};
        for (int item = 0; item < 10; ++item) {
            const int site = (piece * 10 + item) * 37 % 300;
            result.items.append({QStringLiteral("网站 %1 的页面标题 <b>").arg(site),
                                 QStringLiteral("https://site%1.test/page?a=1&b=2").arg(site)});
        }
        check.similaritySum += result.similarity;
        check.results.append(result);
    }
    check.resultCount = int(check.pieces.size()) + 1;
    return check;
}

} // namespace veltrik::benchmarks
