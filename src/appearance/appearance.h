#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QString>

class QLabel;
class QWidget;

namespace veltrik {

// The program's Chinese font. Where it is not installed, the CJK serif and sans fonts of the system
// stand in for it, so that Chinese text never shows as boxes.
inline const QString kSongTi = QStringLiteral("宋体");

void installFontFallbacks();
QFont songTiFont(double points);

// Marked text, plain text, and the similarity figures.
inline const QColor kMarkRed(255, 0, 0);
inline const QColor kPlainBlack(0, 0, 0);
inline const QColor kFigureBlue(0, 0, 255);

// The icons of the two windows, drawn rather than shipped: a red seal with 查 (check) for the main
// window, a blue one with 比 (compare) for the comparator.
QIcon mainWindowIcon();
QIcon comparatorIcon();
// The main window's seal, square, at any size: the installed icon files of the program are drawn by it.
QImage mainWindowIconImage(int size);

// The colour of a label's text.
void setTextColor(QWidget *widget, const QColor &color);

// Makes a label at least tall enough for `lines` lines of its caption in the font it really gets (a
// stand-in for 宋体 has taller lines than the designed height allows); position and width stay.
void fitHeightToLines(QLabel *label, int lines);

} // namespace veltrik
