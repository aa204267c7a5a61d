#pragma once

#include <QString>

class QAction;
class QComboBox;
class QTextCharFormat;
class QToolBar;
class QToolButton;
class QWidget;
class Questions;

// The page-editing controls that the question editor's toolbar and the free-style toolbar of a
// run share, each acting on a page canvas: the tool pop-up (select, text frame, pen), the pen
// size, the align-and-size menu, and text formats from the font and colour panels.
class PageTools
{
public:
    // A toolbar action (its button named name + "Button") and a tool button, icon over text.
    static QAction *addAction(QToolBar *bar, const char *name, const QString &text, const char *icon);
    static QToolButton *addToolButton(QToolBar *bar, const char *name, const QString &text, const char *icon);
    // A control with its caption below it, as toolbars show them.
    static QWidget *labelled(const QString &text, QWidget *control, QWidget *parent);
    // Entries 0 select, 1 text frame, 2 pen.
    static QComboBox *makeToolPopup(QWidget *parent);
    static QComboBox *makePenSizePopup(QWidget *parent);
    // A tool button whose menu aligns and sizes the selected boxes of the canvas's page.
    static QToolButton *makeAlignAndSizeButton(QToolBar *bar, Questions *canvas);

    // The tool entry's mode on every page, with its cursor over the canvas.
    static void selectTool(Questions *canvas, int entry);
    static void selectPenSize(Questions *canvas, int entry);
    // Merges a text format into the box being edited, or else into every selected box, whole.
    static void applyTextFormat(Questions *canvas, const QTextCharFormat &format);
};
