#pragma once

#include <QMargins>
#include <QRect>

class PPTQuizStateWindowController;
class QEvent;
class QObject;
class QWidget;

// What the run over a slide show keeps on the screen around the show: the show in front with the
// student strip at its head and the bar at its foot above it, the strip's sizes, the bar hidden
// down to a button and back, the students-not-in-the-class window at the right edge and the
// run's alerts in the middle; the show draws its page in the room they leave.
class PPTShowStage
{
public:
    explicit PPTShowStage(PPTQuizStateWindowController *window);

    // The slide on show becomes the current question (kept when no slide is on show).
    void followShow();
    // Start, Next and Previous: the show in front with the keys, a show the teacher ended back on
    // the current question.
    void bringShowBack();
    // Every other action of the run: the show in front with the keys while it is on; one the
    // teacher ended stays ended, the keys on the bar. The strip and the bar above it.
    void showToFront();
    void keepAboveShow();
    // The show draws its page whole in what the strip, the bar and the students-not-in-the-class
    // window leave free of the screen; called whenever one of them changes.
    void fitShowToFreeArea();
    // The students-not-in-the-class window stands at the right edge between the strip and the
    // bar, its frame (with these margins) on the screen.
    QRect forceLoginPlace(const QWidget *window, const QMargins &frame) const;

    // The read-aloud window near the screen's right edge, its whole frame just above the bar and
    // clear of the button that brings a hidden bar back and of the students not in the class.
    void placeReadAloud(QWidget *panel) const;

    // The strip: normal when small, else small; one press of the teacher's strip key. The bar:
    // down to a line with a button to bring it back.
    void cycleStripSize();
    void OnHideUp();
    void OnHideDown();
    void setWindowToSmall();
    void setWindowToNormal();

    // The window's event filter: the strip, the bar's button, the students-not-in-the-class
    // window and the run's alerts as they show, move and change size.
    void filterEvent(QObject *watched, QEvent *event);

private:
    PPTQuizStateWindowController *win;
};
