#pragma once

#include <QString>
#include <QStringList>

namespace veltrik {

// The text layer of a PDF comes back page by page, broken at every line end of the page, with spaces
// between Chinese characters and with the running heads and page numbers in it. This turns it into
// paragraphs ready for the analysis:
//
// - the lines of one paragraph are joined: nothing between Chinese characters, one space between Latin
//   words, and a word hyphenated at the line end is joined again;
// - a single space between two Chinese characters is removed;
// - private-use characters (glyphs without a real character) and control characters are dropped;
// - a line that repeats at the top or bottom of most pages, or of the page before or after (running heads,
//   page numbers with their digits changing), is left out;
// - a short line ends its paragraph; a heading, list item or footnote starts one;
// - every page ends a paragraph, except that a sentence that runs on to the next page stays one.
//
// Paragraphs are separated by "\n".
QString rebuildPdfParagraphs(const QStringList &pages);

} // namespace veltrik
