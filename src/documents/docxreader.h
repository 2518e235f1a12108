#pragma once

#include "result.h"

#include <QByteArrayView>

namespace veltrik {

// The text of a Word 2007+ document (.docx): word/document.xml out of the ZIP package, paragraphs as
// CR LF, tabs, breaks as paragraph ends; deleted text, field instructions, text boxes and the fallback
// copies of shapes left out. An entry that would inflate past 512 MB is refused. Tested by
// docxreader_test.cpp; fuzzed by fuzz/docx_fuzzer.cpp and fuzz/docxbody_fuzzer.cpp.
DocumentResult readDocx(QByteArrayView bytes);

// The same text from the document body's XML (word/document.xml) itself.
DocumentResult readDocxBody(QByteArrayView xml);

// True when the bytes begin as a ZIP archive does.
bool looksLikeZip(QByteArrayView bytes);

} // namespace veltrik
