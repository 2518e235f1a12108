#pragma once

#include "text/styledtext.h"

#include <QByteArray>

namespace veltrik {

// Writes one RTF document that Word, WordPad and LibreOffice read back with the same text, colours, fonts,
// sizes and paragraph formats: a font table (宋体 with character set 134), a colour table, each run in a
// group of its own, every non-ASCII character as \uN followed by its code page 936 bytes (or "?" where it
// has none). Paragraph breaks (CR LF) become \par; a paragraph whose format differs from the one before
// it starts with \pard and its properties. Linear in the text, the fonts and the colours. What readRtf
// reads back from it equals the input.
QByteArray writeRtf(const StyledText &document);

} // namespace veltrik
