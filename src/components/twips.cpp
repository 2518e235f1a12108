#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace veltrik {
namespace {

constexpr double kTwipsPerInch = 1440.0;

} // namespace

int twipsToPixels(double twips, double dotsPerInch)
{
    return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

double pixelsToTwips(int pixels, double dotsPerInch)
{
    return pixels * kTwipsPerInch / dotsPerInch;
}

double logicalDpi(const QWidget *widget)
{
    return widget->logicalDpiX();
}

void setTwipsLeft(QWidget *widget, double twips)
{
    widget->move(twipsToPixels(twips, logicalDpi(widget)), widget->y());
}

void setTwipsTop(QWidget *widget, double twips)
{
    widget->move(widget->x(), twipsToPixels(twips, logicalDpi(widget)));
}

void setTwipsWidth(QWidget *widget, double twips)
{
    if (twips >= 0)
        widget->resize(twipsToPixels(twips, logicalDpi(widget)), widget->height());
}

void setTwipsHeight(QWidget *widget, double twips)
{
    if (twips >= 0)
        widget->resize(widget->width(), twipsToPixels(twips, logicalDpi(widget)));
}

TwipsSize outerSizeInTwips(const QWidget *window)
{
    const double dpi = logicalDpi(window);
    const QSize outer = window->frameGeometry().size();
    return {pixelsToTwips(outer.width(), dpi), pixelsToTwips(outer.height(), dpi)};
}

void placeCentred(QWidget *window, double clientWidth, double clientHeight, int extraPixels)
{
    const double dpi = logicalDpi(window);
    window->resize(twipsToPixels(clientWidth, dpi), twipsToPixels(clientHeight, dpi) + extraPixels);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

void setTwipsGeometry(QWidget *widget, double left, double top, double width, double height)
{
    setTwipsLeft(widget, left);
    setTwipsTop(widget, top);
    setTwipsWidth(widget, width);
    setTwipsHeight(widget, height);
}

} // namespace veltrik
