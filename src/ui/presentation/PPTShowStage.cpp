#include "PPTShowStage.h"

#include "PPTBaffle.h"
#include "PPTQuizStateInterface.h"
#include "PPTQuizStateWindowController.h"
#include "Show.h"

#include "core/presentation/SlideShowRunRules.h"
#include "platform/PPTEditorMSO.h"
#include "platform/SlideShowWindow.h"
#include "ui/controls/ScreenFit.h"
#include "ui/controls/WindowOwner.h"
#include "ui/run/ForceLoginController.h"
#include "ui/run/PlayMusic.h"
#include "ui/run/PPTStudentLoginView.h"

#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {
// Between windows that the run stands side by side.
constexpr int kGap = 4;

// A shown window's frame as the window system has it: the widget's own account may lag behind.
QRect frameOf(const QWidget *w)
{
    return w->windowHandle() ? w->windowHandle()->frameGeometry() : w->frameGeometry();
}
} // namespace

PPTShowStage::PPTShowStage(PPTQuizStateWindowController *window) : win(window) {}

void PPTShowStage::followShow()
{
    // Asking the show for its slide would run a show the teacher ended, on its first slide.
    if (win->overShow() && win->pptUI->isShowRunning()) {
        const int shown = win->pptUI->getIndexOfShowPPT();
        if (shown >= 1 && shown <= win->questionCount())
            win->m_nCurrentQuestionNo = shown - 1;
    }
    keepAboveShow();
}

void PPTShowStage::bringShowBack()
{
    if (win->overShow() && win->pptUI->hasPresentation() && !win->pptUI->isShowRunning()) {
        // On the current question, not on the first slide where the show starts anew: the run
        // must not follow it there.
        win->m_followingShow = true;
        win->pptUI->setPPT(1);
        for (int i = 0; i < win->m_nCurrentQuestionNo; ++i)
            win->pptUI->setPPT(3);
        win->m_followingShow = false;
    }
    showToFront();
}

void PPTShowStage::showToFront()
{
    // A show the teacher ended stays ended: the bar keeps the keys (the window system gave them
    // to it, or gives them back as a window over the run goes).
    if (win->overShow() && win->pptUI->isShowRunning())
        win->pptUI->setPPT(-1);
    keepAboveShow();
}

void PPTShowStage::keepAboveShow()
{
    // The students-not-in-the-class window stands with them: the teacher logs those keypads in
    // from it while the run goes on.
    QWidget *notInClass = win->m_run ? win->m_run->forceLoginCtrl.data() : nullptr;
    WindowOwner::standRun({win, win->pptStudentLoginView, notInClass}, win->pptUI->showWindow(), win->pptBaffle);
    fitShowToFreeArea();
}

void PPTShowStage::fitShowToFreeArea()
{
    // (Windows are resized while this one is still being made.)
    if (!win->m_run || win->m_run->closing)
        return;
    SlideShowWindow *show = win->overShow() ? win->pptUI->showWindow() : nullptr;
    if (!show && !win->pptBaffle)
        return;
    const QRect screen = show && show->isVisible() ? show->geometry() : PPTQuizStateInterface::screenRect();
    QMargins keep;
    if (win->pptStudentLoginView->isVisible())
        keep.setTop(win->pptStudentLoginView->frameGeometry().bottom() + 1 - screen.top());
    if (win->isVisible())
        keep.setBottom(screen.bottom() + 1 - win->frameGeometry().top());
    // Where the teacher has dragged it away from the edge, it stands where the teacher wants it.
    // Its frame as the window system has it now: the widget's own account may lag behind.
    if (ForceLoginController *w = win->m_run->forceLoginCtrl; w && w->isVisible()) {
        const QRect frame = frameOf(w);
        if (frame.right() >= screen.right() - 2)
            keep.setRight(screen.right() + 1 - frame.left());
    }
    // The button that brings the bar back stands near the bottom right corner: the page keeps
    // left of it, which a slide narrower than the screen's shape barely notices. (Its place as
    // the window system reports it may read as the screen's corner for a while.)
    if (win->showHideWindow->isVisible())
        keep.setRight(
            std::max(keep.right(), screen.right() + 1 - Show::place(PPTQuizStateInterface::screenRect()).left()));
    if (show)
        show->setReservedMargins(keep);
    // The backdrop's line (the deck's title) keeps clear of them too: it shows while the show is
    // off, and throughout a paper quiz or homework.
    if (win->pptBaffle)
        win->pptBaffle->setFreeArea(keep);
}

QRect PPTShowStage::forceLoginPlace(const QWidget *window, const QMargins &frame) const
{
    // Beside the slide, never over it: the show gives up the room it takes.
    const QRect screen = PPTQuizStateInterface::screenRect();
    const int top = win->pptStudentLoginView->isVisible() ? win->pptStudentLoginView->geometry().bottom() + 1 : screen.top();
    int bottom = win->isVisible() ? win->geometry().top() : screen.bottom() + 1;
    const int width = std::min(window->width(), 360);
    const int left = screen.right() + 1 - frame.right() - width - frame.left();
    // Above the read-aloud window where that stands in the same column.
    if (const QWidget *reading = win->playMusicControl.data(); reading && reading->isVisible()) {
        const QRect at = frameOf(reading);
        if (at.right() >= left && at.top() > top)
            bottom = std::min(bottom, at.top() - kGap);
    }
    const int height = std::clamp(bottom - top - frame.top() - frame.bottom(), 1, 360);
    return QRect(left + frame.left(), top + frame.top(), width, height);
}

void PPTShowStage::placeReadAloud(QWidget *panel) const
{
    const QRect screen = PPTQuizStateInterface::screenRect();
    // Its whole frame (title bar and borders count) just above the bar, left of the button that
    // brings a hidden bar back: that button stands there whether the bar is up or down, and
    // under the panel it would take no click once the teacher hides the bar. Left of the
    // students not in the class too, where they stand in its way.
    const QSize frame = panel->size().grownBy(ScreenFit::frameMargins(panel));
    const int bottom = std::min(screen.bottom() + 1 - 80, win->geometry().top()) - kGap;
    QRect at(QPoint(std::min(screen.right() + 1 - 240, Show::place(screen).left() - kGap - frame.width()), bottom - frame.height()), frame);
    if (const QWidget *list = win->m_run->forceLoginCtrl; list && list->isVisible()) {
        const QRect listAt = frameOf(list);
        if (listAt.adjusted(-kGap, -kGap, kGap, kGap).intersects(at))
            at.moveRight(listAt.left() - kGap - 1);
    }
    ScreenFit::setFrameGeometry(panel, at);
}

void PPTShowStage::cycleStripSize()
{
    const int before = win->m_nLoginViewState;
    win->m_nLoginViewState = SlideShowRunRules::nextStripState(win->m_nLoginViewState, [this](int size) {
        switch (size) {
        case SlideShowRunRules::Small: return win->pptStudentLoginView->setWindowToSmall();
        case SlideShowRunRules::Large: return win->pptStudentLoginView->setWindowToLarge();
        default: return win->pptStudentLoginView->setWindowToNormal();
        }
    });
    if (win->m_nLoginViewState != before)
        win->btnUpHide->setProperty("imageName", win->m_nLoginViewState == SlideShowRunRules::Small
                                                     ? QStringLiteral("mini_normal.png")
                                                     : QStringLiteral("max_normal.png"));
    keepAboveShow();
}

void PPTShowStage::OnHideUp()
{
    if (!win->btnUpHide->isEnabled())
        return;
    if (win->m_nLoginViewState == SlideShowRunRules::Small) {
        win->pptStudentLoginView->setWindowToNormal();
        win->m_nLoginViewState = SlideShowRunRules::Normal;
        win->btnUpHide->setProperty("imageName", QStringLiteral("max_normal.png"));
    } else {
        win->pptStudentLoginView->setWindowToSmall();
        win->m_nLoginViewState = SlideShowRunRules::Small;
        win->btnUpHide->setProperty("imageName", QStringLiteral("mini_normal.png"));
    }
    showToFront();
}

void PPTShowStage::setWindowToSmall()
{
    const QRect screen = PPTQuizStateInterface::screenRect();
    win->setGeometry(0, screen.height() - 1, screen.width(), 1);
    win->showHideWindow->show();
    win->showHideWindow->raise();
}

void PPTShowStage::OnHideDown()
{
    setWindowToSmall();
    showToFront();
    win->showHideWindow->raise();
}

void PPTShowStage::setWindowToNormal()
{
    PPTQuizStateInterface::placeBar(win, PPTQuizStateInterface::kBarHeight);
    keepAboveShow();
}

void PPTShowStage::filterEvent(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool geometry = type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show || type == QEvent::Hide;
    if ((watched == win->pptStudentLoginView || watched == win->showHideWindow) && geometry) {
        fitShowToFreeArea();
    } else if (qobject_cast<ForceLoginController *>(watched)) {
        if (type == QEvent::Show)
            keepAboveShow();
        if (geometry)
            QTimer::singleShot(0, win, [this] { fitShowToFreeArea(); });
    }
    if (event->type() == QEvent::Show && watched == win->m_run->alert.data()) {
        const QRect screen = PPTQuizStateInterface::screenRect();
        win->m_run->alert->move(screen.center() - QPoint(win->m_run->alert->width() / 2, win->m_run->alert->height() / 2));
    }
}
