#pragma once

#include <QList>
#include <QString>

class QColor;
class QWidget;

// How readable a window's text is as it is drawn: for every visible label with text, the contrast
// ratio (1 to 21, as the accessibility guidelines count it) between the colour of its strongest
// text pixel and the colour behind the text. Body text wants 4.5, large text 3; near-white on light
// grey, the mark of a colour inherited from another window's style, comes out near 1.
struct TextContrast
{
    QString text;
    double ratio = 21.0;
    bool large = false; // 18 points, or 14 bold: the lower mark applies

    bool readable() const { return ratio >= (large ? 3.0 : 4.5); }

    static double between(const QColor &a, const QColor &b);
    // With a picture folder set (Shots::folder()), the drawn window is also saved there as
    // "<name>.png".
    static QList<TextContrast> ofLabels(QWidget *window, const QString &name = {});
    // The label furthest below its mark (or nearest to it), or a perfect one when there is no text.
    static TextContrast worst(QWidget *window, const QString &name = {});
};
