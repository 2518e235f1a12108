#pragma once

class QTextDocument;

namespace veltrik {

// Fills `document` with the editor's opening text: three paragraphs in 宋体 10 pt and an empty last one.
void writeWelcomeText(QTextDocument &document);

} // namespace veltrik
