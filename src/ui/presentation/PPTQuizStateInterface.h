#pragma once

#include "core/engine/RunControls.h"

#include <QList>
#include <QRect>

class PPTQuizStateWindowController;
class QPushButton;

// The bar of the run over a slide show, built into the window's outlets: two lines of figures at
// the left and the run's buttons to the right, from one table; and its arrangement on a screen of
// a given width.
class PPTQuizStateInterface
{
public:
    struct BarButton
    {
        const char *name;
        const char *text;
        int icon; // QStyle::StandardPixmap
        QPushButton *PPTQuizStateWindowController::*outlet;
        RunControls::Control control; // 0: not one of the run's controls
        void (PPTQuizStateWindowController::*action)();
    };
    static const QList<BarButton> &barButtons();

    // The bar's height as the run opens, and again each time it comes back after hiding: one
    // height, so that the bar stands where it stood.
    static constexpr int kBarHeight = 77;
    enum BarArrangement { Roomy, Compact, TwoRows };

    // The screen the show, the strip and the bar share.
    static QRect screenRect();

    static void build(PPTQuizStateWindowController *w);
    // The bar as wide as the screen and as tall as its buttons need, at the screen's foot (at least
    // `height` points tall).
    static void placeBar(PPTQuizStateWindowController *w, int height);
    // The roomiest arrangement of the bar that fits `width`: one row with pictures; one row,
    // buttons without the pictures beside their words and closer together; the figures on a row
    // of their own above the buttons.
    static void fitBarToWidth(PPTQuizStateWindowController *w, int width);
};
