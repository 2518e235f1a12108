#pragma once

class QWidget;

namespace veltrik {

// Positions and sizes are kept in twips (1/1440 inch); on screen they become pixels at the screen's
// logical DPI (15 twips a pixel at 96 dpi).
int twipsToPixels(double twips, double dotsPerInch);
double pixelsToTwips(int pixels, double dotsPerInch);
double logicalDpi(const QWidget *widget);

// Layout assignments in twips. A size below zero is skipped (the control keeps its size); positions are
// applied as they come, also below zero.
void setTwipsLeft(QWidget *widget, double twips);
void setTwipsTop(QWidget *widget, double twips);
void setTwipsWidth(QWidget *widget, double twips);
void setTwipsHeight(QWidget *widget, double twips);
void setTwipsGeometry(QWidget *widget, double left, double top, double width, double height);

// A window's outer size (frame, title bar and menu bar included), in twips: what the layouts work from.
struct TwipsSize {
    double width;
    double height;
};
TwipsSize outerSizeInTwips(const QWidget *window);

// Sizes a window to its client area in twips (plus `extraPixels` of height, a menu bar) and centres it on
// the primary screen.
void placeCentred(QWidget *window, double clientWidth, double clientHeight, int extraPixels = 0);

} // namespace veltrik
