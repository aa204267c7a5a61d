#pragma once

#include "SlideShowRunFixture.h"

// What stands in front over a run, and what it leaves the teacher to read and to click, looked at
// under a real window manager with real keys and clicks (RunStandingTest.cpp, RunRoomTest.cpp).
class RunStanding : public SlideShowRun
{
protected:
    // An X11 half under a window manager on each screen schools project on.
    static void onSchoolScreens(const QString &filter)
    {
        for (const QSize screen : {QSize(1024, 768), QSize(1366, 768)})
            EXPECT_EQ(XvfbRun::run(filter, {screen, true}), 0) << screen.width() << "x" << screen.height();
    }
    // The class under the longest name the run's head and the list of students not in the class
    // show in one line.
    static void nameTheClassLong()
    {
        QuizParticipantData::shareManager()->setClassName(QStringLiteral("Year 7 Biology and Environmental Science, Group B"));
    }
    // One real click in the middle of a control, as the teacher's; true once its window has had
    // the release.
    static bool clickOnce(XTestEventSink &pointer, QWidget *control);
    // A Normal Quiz or Homework run over the deck (a quiz's on show from its first slide; the
    // homework's slides closed, as its start leaves them) or on the activity window with the
    // question file; null when it did not open.
    QWidget *openQuizOrHomework(bool overDeck, int mode, const QString &deck, const QString &file)
    {
        if (!overDeck)
            return open(mode, 3, file) ? window.data() : nullptr;
        const bool onShow = mode == Activity::NormalQuiz;
        if (!openOverDeck(mode, deck, onShow))
            return nullptr;
        if (!onShow)
            ppt->quitPPT();
        return run.data();
    }
    // The deck open (on show from its first slide where `onShow`) and the run over it; false when
    // a step failed.
    bool openOverDeck(int mode, const QString &deck, bool onShow)
    {
        if (!ppt->openPPT(deck) || (onShow && !ppt->setPPT(1)))
            return false;
        openRun(mode, deck);
        return !run.isNull();
    }
    // A receiver that can be pulled out and put back, the class of three made: behind a link
    // named in POLLIX_SERIAL_PORTS, so that it is found again when plugged back, the link started
    // afresh with its objects. Null when it could not be set up.
    SimReceiver *pluggableReceiver()
    {
        SimReceiver::Options o;
        o.linkPath = home() + QStringLiteral("ttyReceiver");
        SimReceiver *sim = makeReceiver(Model::Dravel, o);
        if (!sim || !restartLinkNaming({sim->portPath()}) || !app()->getBHaveDevice())
            return nullptr;
        ppt = PPTEditorMSO::shareManager();
        makeClass(3);
        return sim;
    }
};

// Counts the events of one type that reach one object.
class EventCounter : public QObject
{
public:
    EventCounter(QObject *watched, QEvent::Type type, int *count) : m_type(type), m_count(count) { watched->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++*m_count;
        return false;
    }

private:
    QEvent::Type m_type;
    int *m_count;
};

inline bool RunStanding::clickOnce(XTestEventSink &pointer, QWidget *control)
{
    int released = 0;
    EventCounter onWindow(control->window()->windowHandle(), QEvent::MouseButtonRelease, &released);
    const QPoint at = control->mapToGlobal(control->rect().center());
    pointer.moveTo(at);
    pointer.button(InputEventSink::Button::Left, true, at);
    pointer.button(InputEventSink::Button::Left, false, at);
    return waitFor([&] { return released > 0; });
}
