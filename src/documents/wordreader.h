#pragma once

#include "result.h"

#include <QByteArrayView>

namespace veltrik {

// The body text of a Word 97-2003 document (the binary .doc format), as Word hands it out: paragraphs
// ended by CR, no formatting. The main text only (never footnotes, headers or text boxes), at most as long
// as the document declares, assembled from the piece table (8-bit and 16-bit pieces); the text of tables
// and the results of fields are kept, field instructions and object anchors are dropped, every table
// cell ends a paragraph and row end marks are left out. Word 6/95, encrypted documents and encrypted .docx
// packages are refused with a message.
// Tested by wordreader_test.cpp; fuzzed by fuzz/word_fuzzer.cpp.
DocumentResult readWordDocument(QByteArrayView bytes);

} // namespace veltrik
