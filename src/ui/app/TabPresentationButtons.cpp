#include "TabPresentationButtons.h"

#include "TabController.h"

#include "core/presentation/QuestionSlideFormat.h"
#include "platform/PPTEditorMSO.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/PresentationSave.h"

#include <QPushButton>

namespace {
QString tr(const char *text)
{
    return TabController::tr(text);
}
} // namespace

TabPresentationButtons::TabPresentationButtons(TabController *window) : w(window) {}

bool TabPresentationButtons::preparePresentationStart(TabController::StartRequest &request)
{
    bool changed = false;
    QString why;
    const std::optional<int> id = QuestionSlideFormat::applyExamIdRule(*w->pptUI, &changed, &why);
    if (!id) {
        PollixAlert::show(w, QStringLiteral("Pollix"), tr("The exam ID could not be recorded."), {tr("OK")}, why);
        return false;
    }
    request.testID = *id;
    // The new ID is a change of the deck, which the teacher is asked to keep.
    if (changed)
        w->m_bIsPPTChanged = true;
    if (w->m_curActivityMode != 1 && w->m_curActivityMode != 2) {
        w->pptUI->changePPTToSamll();
        w->pptUI->setPPT(1);
    } else if (w->pptUI->isModified()) {
        // A Paper Quiz or Homework closes the deck as it starts: what the file lacks is saved now,
        // over this window, before the run's window takes the screen. A save given up or failed
        // leaves the deck open with its changes, and the run goes on with the deck's exam ID.
        w->lowerToNormalLevel();
        PresentationSave::tell(w, w->pptUI->savePPT(&why), why);
        w->m_bIsPPTChanged = w->pptUI->isModified();
    }
    // The deck that runs may not be the one Load chose (New or Open came after), and a deck saved
    // just now has the file the teacher named in the save panel: the run and its session carry
    // the name the running deck has once its start is through.
    request.strPath = w->pptUI->deckName();
    return true;
}

bool TabPresentationButtons::askToSavePPT()
{
    w->lowerToNormalLevel();
    // A save that failed, Escape or the close box leave the mark, so that the next Open, New or
    // Close asks again.
    return EditHold::askSave(w, QStringLiteral("Pollix"), QStringLiteral("Contents have been changed,do you want to save?"),
                             {QStringLiteral("Yes"), QStringLiteral("No")}, [this] { return savePresentation(); })
           == EditHold::Answer::Leave;
}

bool TabPresentationButtons::savePresentation()
{
    if (!w->pptUI || !PresentationSave::saveWithExamId(w, *w->pptUI))
        return false;
    w->m_bIsPPTChanged = false;
    return true;
}

void TabPresentationButtons::doPPTOpen()
{
    if (w->m_bIsPPTChanged) {
        if (askToSavePPT())
            w->m_bIsPPTChanged = false;
        w->raiseToStatusLevel();
        return;
    }
    w->pptUI->quitPPT();
    w->setPPTButtonState(0);
    w->lowerToNormalLevel();
    if (openPPT())
        w->setPPTButtonState(1);
    w->raiseToStatusLevel();
}

bool TabPresentationButtons::openPPT()
{
    const QString path = FileDialogs::getOpenFileName(w, tr("Open Presentation"), FileDialogs::Kind::QuestionFiles,
                                                      QStringLiteral("Presentations (*.ppt *.pptx)"));
    if (path.isEmpty())
        return false;
    QString why;
    if (!w->pptUI->openPPT(path, &why)) {
        PollixAlert::show(w, QStringLiteral("Pollix"), tr("The presentation could not be opened."), {tr("OK")}, why);
        return false;
    }
    w->m_isLoadPPT = true;
    return true;
}

void TabPresentationButtons::doPPTNew()
{
    w->raiseToStatusLevel();
    if (w->pptUI->IsPPTRuningForOpen() && w->pptUI->getCountOfSlide() == 0)
        return;
    if (w->m_bIsPPTChanged) {
        if (askToSavePPT())
            w->m_bIsPPTChanged = false;
        w->raiseToStatusLevel();
        return;
    }
    w->pptUI->newPPT(QString());
    w->setPPTButtonState(0);
}

void TabPresentationButtons::doPPTAdd()
{
    w->lowerToNormalLevel();
    if (!w->pptUI->IsPPTRuningForOpen()) {
        w->pptUI->quitPPT();
        w->pptUI->startPPT();
        // The fresh presentation's own first slide is no question.
        w->pptUI->deleteSlideIsWithPos(true, 0);
        w->setPPTButtonState(0);
    }
    if (!TabController::hooks().showTemplatePicker)
        return;
    TabController::hooks().showTemplatePicker(w);
    w->setPPTButtonState(-1);
    w->btnPPTNew->setEnabled(false);
    w->btnPPTOpen->setEnabled(false);
}

// The picker closed: the buttons follow the presentation as it now is.
void TabPresentationButtons::AddOver()
{
    w->setPPTButtonState(0);
    w->setControlEnabled(w->btnPPTNew, true);
    w->setControlEnabled(w->btnPPTOpen, true);
    w->raiseToStatusLevel();
}

void TabPresentationButtons::doPPTDel()
{
    if (!w->pptUI)
        return;
    w->lowerToNormalLevel();
    const int answer = PollixAlert::show(w, QStringLiteral("Pollix"),
                                         QStringLiteral("The current slide will be deleted.Are you sure you want to do this?"),
                                         {QStringLiteral("Yes"), QStringLiteral("No")}, selectedSlideText(),
                                         PollixAlert::Default::LeavesAsIs);
    if (answer != PollixAlert::AlertFirstButtonReturn)
        return;
    if (w->pptUI->deleteSlideIsWithPos(false, -1)) {
        w->m_bIsPPTChanged = true;
        w->setPPTButtonState(0);
        w->raiseToStatusLevel();
    } else {
        PollixAlert::show(w, QStringLiteral("Pollix"), QStringLiteral("Please select a slide that you wish to delete."),
                          {QStringLiteral("Yes")});
    }
}

QString TabPresentationButtons::selectedSlideText() const
{
    // The slide is not on screen here: its number and question say which one the teacher chose.
    const int selected = w->pptUI->getIndexOfSelectPPT();
    const int count = w->pptUI->getCountOfSlide();
    if (selected < 1 || selected > count)
        return QString();
    QString title = w->pptUI->readTextBoxByName(QStringLiteral("Qu_Title"), selected - 1).simplified();
    if (title.isEmpty())
        return tr("Slide %1 of %2 (no question title)").arg(selected).arg(count);
    constexpr int kLongest = 120;
    if (title.size() > kLongest)
        title = title.left(kLongest - 3) + QStringLiteral("...");
    return tr("Slide %1 of %2: \"%3\"").arg(selected).arg(count).arg(title);
}

void TabPresentationButtons::doPPTSave()
{
    w->lowerToNormalLevel();
    savePresentation();
    w->raiseToStatusLevel();
}

void TabPresentationButtons::doPPTClose()
{
    if (w->m_bIsPPTChanged) {
        if (askToSavePPT())
            w->m_bIsPPTChanged = false;
        w->raiseToStatusLevel();
        return;
    }
    w->pptUI->closePresentations();
    w->btnStart->setEnabled(false);
    w->setPPTButtonState(0);
}

void TabPresentationButtons::doPPTSetup()
{
    if (w->pptUI->getCountOfSlide() < 1 || !TabController::hooks().runSlideQuestionEditor) {
        w->setPPTButtonState(0);
        return;
    }
    w->lowerToNormalLevel();
    TabController::hooks().runSlideQuestionEditor(w);
}
