#pragma once

#include "result.h"

#include <QByteArrayView>

namespace veltrik {

// The body text of a Word 97-2003 document (the binary .doc format), as Word hands it out: paragraphs
// ended by CR, no formatting. The text is assembled from the piece table (8-bit and 16-bit pieces); the
// text of tables and the results of fields are kept, field instructions and object anchors are dropped,
// table cell marks become tabs. Word 6/95 and encrypted documents are refused with a message.
// Tested by wordreader_test.cpp; fuzzed by fuzz/word_fuzzer.cpp.
DocumentResult readWordDocument(QByteArrayView bytes);

} // namespace veltrik
