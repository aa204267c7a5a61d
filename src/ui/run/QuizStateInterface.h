#pragma once

#include "core/engine/RunControls.h"
#include "core/keypad/TeacherKeyMap.h"

#include <QList>
#include <QStyle>

class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;
class QuizStateWindowController;
class StudentLoginView;

// The activity window's widgets, built band by band into the window's outlets: the status line,
// the panes (thumbnail strip, page, student grid) and the run bar, whose buttons come from one
// table. The window's look is set on its content only, so the alerts and dialogs it opens keep
// their own colours.
class QuizStateInterface
{
public:
    // One button of the run bar: its outlet, the control it is in the run's rules, the action it
    // runs and the teacher key that presses it.
    struct RunButton
    {
        const char *name;
        const char *text;
        QStyle::StandardPixmap icon;
        QPushButton *QuizStateWindowController::*outlet;
        RunControls::Control control;
        void (QuizStateWindowController::*action)(); // null: not built yet, never enabled
        TeacherKeyMap::Action key;
        int group; // 0 stepping, 1 time, 2 windows, 3 leaving
        // When the button gives up its caption on a narrow screen: 0 never (Start and Stop, the
        // time buttons), else in rising order, first those whose icon says most.
        int captionRank;
    };
    static const QList<RunButton> &runButtons();

    // Every button of the run bar shows its icon at this size.
    static constexpr QSize kBarIconSize{24, 24};
    static constexpr QSize kPageSize{800, 600};

    // A figure of a run window's status band (either run window), named for the tests.
    static QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text = QString(), bool bold = false);
    // The look of the notice a run window shows while its receiver is lost (either run window).
    static QString receiverLostStyle();

    // Builds the whole interface into w; returns the student grid.
    static StudentLoginView *build(QuizStateWindowController *w);

    // Makes the run bar fit a screen this wide, giving up as little as it can, in steps: tighter
    // buttons and gaps, then captions of buttons whose icon says enough (the caption becomes
    // the tool tip), one rank at a time. Start and Stop keep theirs, so Pause stays readable. Runs
    // before the window is shown: nothing moves afterwards. Returns the step taken, 0 for the bar
    // as built.
    static int fitButtonBand(QuizStateWindowController *w, int screenWidth);
    static constexpr int kLastFitStep = 8;

private:
    static QBoxLayout *buildStatusBand(QuizStateWindowController *w, QWidget *content);
    static QBoxLayout *buildPaneBand(QuizStateWindowController *w, QWidget *content, StudentLoginView *grid);
    static QBoxLayout *buildButtonBand(QuizStateWindowController *w, QWidget *content);
    static void fixStartWidth(QuizStateWindowController *w);
};
