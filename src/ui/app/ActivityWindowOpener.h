#pragma once

#include "ui/app/TabController.h"

class PPTQuizStateWindowController;
class QuizStateWindowController;
class QString;

// How the main window opens the activity window: installed once at start-up into the main
// window's startActivity hook.
class ActivityWindowOpener
{
public:
    // Also lets the rush activity objects make the rush winner box.
    static void install();
    // Opens the activity window for the main window's current choices (the hook's body).
    static QuizStateWindowController *open(TabController *father, int nDeviceType, int nMode, int nParticiptionMode,
                                           bool bIsFreeStyle, int nIsGroup, const QString &strPath, const int *testID);
    // Opens the run over the slide show (or the answer sheet) the main window prepared.
    static PPTQuizStateWindowController *openSlideShowRun(TabController *father, const TabController::StartRequest &request);
};
