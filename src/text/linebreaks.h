#pragma once

#include <QString>

namespace veltrik {

// Line breaks as the editor hands them out: every CR LF, lone CR and lone LF becomes CR LF.
QString withEditorLineBreaks(const QString &text);

} // namespace veltrik
