#include "fonts.h"

#include <QFont>
#include <QStringList>

namespace veltrik {

void installFontFallbacks()
{
    QFont::insertSubstitutions(kSongTi, QStringList{QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                                         QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                                         QStringLiteral("AR PL UMing CN")});
}

} // namespace veltrik
