#pragma once

#include <QColor>
#include <QFont>

// The fonts and colours every report page uses. Sizes are in page units (the 794 x 1123 page), so
// a page draws alike on the screen at any zoom, in a PDF and in an image.
class ReportStyle
{
public:
    ReportStyle() = delete;

    // "Arial" (Liberation Sans where Arial is missing: the same metrics) of size page units,
    // unhinted, so that what is measured is what is drawn on every device.
    static QFont arial(int size);
    // The same, bold.
    static QFont arialBold(int size);
    // The same, bold and italic together.
    static QFont arialBoldItalic(int size);
    static QFont boldSystemFont(int size);
    // The font of a chart's axis numbers.
    static QFont symbol(int size);

    // Title bars.
    static QColor orange();
    // Headings and question-text cells.
    static QColor yellow();
    // Data cells and the head's box.
    static QColor paleBlue();
    static QColor lightBlue();
    // Rows of wrong answers and eliminated students.
    static QColor grey();
    // Cell frames and the head's frame.
    static QColor frameBlue();
    // The report's name above the head.
    static QColor titleOrange();
    // Correct answers and the outline of a chosen row.
    static QColor red();
};
