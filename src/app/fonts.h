#pragma once

#include <QString>

namespace veltrik {

// The program's Chinese font. Where it is not installed, the CJK serif and sans fonts of the system
// stand in for it, so that Chinese text never shows as boxes.
inline const QString kSongTi = QStringLiteral("宋体");

void installFontFallbacks();

} // namespace veltrik
