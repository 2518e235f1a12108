#pragma once

#include <QString>

namespace veltrik::testing {

// An article whose pieces are 38 equal characters each, a different character for every piece (the last
// piece 10 characters long), so that each piece's query can be told apart.
inline QString distinctPiece(int piece, int pieces)
{
    return QString(u"甲乙丙丁戊己庚辛壬癸子丑寅卯"_qs[piece]).repeated(piece + 1 < pieces ? 38 : 10);
}

inline QString articleOfDistinctPieces(int pieces)
{
    QString text;
    for (int piece = 0; piece < pieces; ++piece)
        text += distinctPiece(piece, pieces);
    return text;
}

} // namespace veltrik::testing
