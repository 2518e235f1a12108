#include "appearance.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

namespace veltrik {

void installFontFallbacks()
{
    QFont::insertSubstitutions(kSongTi,
                               QStringList{QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                                           QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                                           QStringLiteral("AR PL UMing CN")});
}

QFont songTiFont(double points)
{
    QFont font(kSongTi);
    font.setPointSizeF(points);
    return font;
}

namespace {

QImage sealImage(const QColor &color, const QString &character, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0, 0, size, size), size / 5.0, size / 5.0);
    QFont font = songTiFont(1);
    font.setPixelSize(size * 3 / 4);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, character);
    return image;
}

QIcon sealIcon(const QColor &color, const QString &character)
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(QPixmap::fromImage(sealImage(color, character, size)));
    return icon;
}

const QString kMainWindowSeal = QStringLiteral("查");

} // namespace

QIcon mainWindowIcon()
{
    return sealIcon(kMarkRed, kMainWindowSeal);
}

QImage mainWindowIconImage(int size)
{
    return sealImage(kMarkRed, kMainWindowSeal, size);
}

QIcon comparatorIcon()
{
    return sealIcon(QColor(0, 90, 200), QStringLiteral("比"));
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

// Measured as the label lays its text out, lines and all: with a negative leading the line spacing the
// font gives is less than what a line takes.
void fitHeightToLines(QLabel *label, int lines)
{
    const QString sample = QStringList(lines, QStringLiteral("国")).join(u'\n');
    const QRect text = QFontMetrics(label->font()).boundingRect(QRect(0, 0, label->width(), 0), 0, sample);
    const QMargins margins = label->contentsMargins();
    const int needed = text.height() + margins.top() + margins.bottom() + 2 * label->margin();
    if (label->height() < needed)
        label->resize(label->width(), needed);
}

} // namespace veltrik
