#pragma once

#include "TabController.h"

class TabController;

// The presentation buttons of the main window's Brightpoll tab: open, new, add from a template,
// delete the current slide, save, close and the question editor over the slides, and the steps a
// run over the open presentation takes at Start. A changed presentation is offered for saving
// before anything closes it; a failed save keeps the mark, so that the next way out asks again.
class TabPresentationButtons
{
public:
    explicit TabPresentationButtons(TabController *window);

    void doPPTOpen();
    void doPPTNew();
    void doPPTAdd();
    void doPPTDel();
    void doPPTSave();
    void doPPTClose();
    void doPPTSetup();
    bool openPPT();
    // The template picker closed.
    void AddOver();
    // Asks to save the changed presentation; false when the changes are still unsaved: a save was
    // asked for and failed, or the teacher went back (Escape, the close box).
    bool askToSavePPT();
    // Saves the open presentation with the exam ID rule, alerting on failure.
    bool savePresentation();
    // The Start steps of a presentation: the run takes the open deck, its name and its exam ID;
    // a Paper Quiz or Homework, which closes the deck, has it saved first. False (after an alert)
    // when it cannot start.
    bool preparePresentationStart(TabController::StartRequest &request);

private:
    // The selected slide as Delete's question names it: its number and question title.
    QString selectedSlideText() const;

    TabController *w;
};
