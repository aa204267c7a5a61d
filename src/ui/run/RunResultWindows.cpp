#include "RunResultWindows.h"

#include "GroupReportController.h"
#include "HandRaiseMarkingController.h"
#include "QuickGroupingResultController.h"
#include "QuizReportController.h"
#include "QuizReportHistogramController.h"
#include "QuizResultController.h"
#include "RollCallResultsController.h"

#include "core/engine/ActivityRules.h"

void RunResultWindows::openResult(QWidget *window, RunFrameSink *run, int activity, int questionNo, bool forTeacherControl)
{
    const auto runIt = [run, forTeacherControl](RunChildWindow &w) {
        w.setRun(run);
        w.setBIsRunForTeacherControl(forTeacherControl);
        w.runModal();
    };
    switch (ActivityRules::rule(activity).result) {
    case ActivityRule::ResultWindow::QuizResult: {
        QuizResultController w(window);
        w.setNQuestionNo(questionNo);
        w.setNQuizMode(activity);
        runIt(w);
        break;
    }
    case ActivityRule::ResultWindow::QuizResultQuestionOnly: {
        QuizResultController w(window);
        w.setNQuestionNo(questionNo);
        runIt(w);
        break;
    }
    case ActivityRule::ResultWindow::Histogram: {
        QuizReportHistogramController w(window);
        w.setNQuestionNo(questionNo);
        w.setBCorrectAnswer(false);
        w.setNActionMode(activity);
        runIt(w);
        break;
    }
    case ActivityRule::ResultWindow::RollCallResult: {
        RollCallResultsController w(window);
        runIt(w);
        break;
    }
    case ActivityRule::ResultWindow::QuickGroupingResult: {
        QuickGroupingResultController w(window);
        runIt(w);
        break;
    }
    }
}

void RunResultWindows::openReport(QWidget *window, RunFrameSink *run, int participation, int activity, int questionNo,
                                  bool forTeacherControl)
{
    if (participation == 0) {
        QuizReportController w(window);
        w.setNQuestionNo(questionNo);
        w.setActMode(activity);
        w.setRun(run);
        w.setBIsRunForTeacherControl(forTeacherControl);
        w.runModal();
    } else if (participation == 1) {
        GroupReportController w(window);
        w.setNQuestionNo(questionNo);
        w.setNMode(activity);
        w.setRun(run);
        w.setBIsRunForTeacherControl(forTeacherControl);
        w.runModal();
    }
}

int RunResultWindows::runHandRaiseMarking(QWidget *window, RunFrameSink *run)
{
    HandRaiseMarkingController w(window);
    w.setRun(run);
    w.runModal();
    return w.nPoint();
}
