#pragma once

#include "result.h"

#include <QByteArrayView>

namespace veltrik {

// Reads RTF as Word, WordPad and LibreOffice write it: the body text with its character formatting (font,
// size, colour, bold, italic, underline) and paragraph formatting (alignment, first-line, left and right
// indents, spacing before and after). Font and colour tables are read; style sheets, document
// information, pictures, objects (but their results), field instructions (but their results), headers,
// footers, footnotes and every {\*\...} destination are skipped. Text in \'hh bytes is decoded with the
// code page of its font's character set or the document's \ansicpg, so that pairs of bytes form one
// double-byte character; \uN characters skip their \ucN fallback. An escape that stands for no character
// (\'z, \u99999) gives none.
//
// Damaged input never crashes or hangs: text after an unbalanced closing brace is dropped, a file that
// ends inside groups keeps the text read so far, binary data (\bin) longer than the rest of the file keeps
// the text before it with a notice that the file is damaged, and groups nested deeper than any real
// document are refused as damage. Tested by rtfreader_test.cpp; fuzzed by fuzz/rtf_fuzzer.cpp.
DocumentResult readRtf(QByteArrayView bytes);

// True when the bytes begin as RTF does ("{\rtf").
bool looksLikeRtf(QByteArrayView bytes);

} // namespace veltrik
