#include "appearance.h"

#include <QPalette>
#include <QStringList>
#include <QWidget>

namespace veltrik {

void installFontFallbacks()
{
    QFont::insertSubstitutions(kSongTi, QStringList{QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                                                    QStringLiteral("Noto Sans CJK SC"),
                                                    QStringLiteral("WenQuanYi Zen Hei"),
                                                    QStringLiteral("AR PL UMing CN")});
}

QFont songTiFont(double points)
{
    QFont font(kSongTi);
    font.setPointSizeF(points);
    return font;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

} // namespace veltrik
