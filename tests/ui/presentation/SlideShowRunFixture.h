#pragma once

#include "../run/RunWindowFixture.h"

#include "core/engine/ActivityRules.h"
#include "core/engine/RushInfoShow.h"
#include "core/presentation/QuestionSlideFormat.h"
#include "platform/AtomicFile.h"
#include "platform/PPTEditorMSO.h"
#include "platform/SlideShowWindow.h"
#include "platform/XTestEventSink.h"
#include "SimActivity.h"
#include "support/DialogAnswers.h"
#include "support/ModalDriver.h"
#include "support/Shots.h"
#include "support/SlideDecks.h"
#include "support/RealAlerts.h"
#include "support/WindowOnScreen.h"
#include "support/XvfbRun.h"
#include "ui/controls/PollixAlert.h"
#include "ui/presentation/Show.h"
#include "ui/presentation/PPTBaffle.h"
#include "ui/presentation/PPTQuizStateWindowController.h"
#include "ui/presentation/SlideShowFather.h"
#include "ui/run/PPTStudentLoginView.h"
#include "ui/run/ForceLoginController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QDir>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>
#include <QCloseEvent>

#include <memory>
#include <optional>
#include <utility>

// The run over a slide show (or over the activity window) on a simulated Dravel receiver, seconds
// on the manual clock; the helpers and the fixture its tests share.
using keypadsim::Model;
using keypadsim::SimActivity;
using keypadsim::SimReceiver;
using SlideDecks::ShapeSpec;

inline QList<ShapeSpec> questionSlide(const QString &title, const QString &type, const QString &answer, int seconds)
{
    return {{"Qu_Title", title},      {"OptionA", "one"}, {"OptionB", "two"},       {"OptionC", "three"},
            {"OptionD", "four"},      {"mode", type},     {"answer", answer},       {"time", QString::number(seconds)},
            {"activity_mode", "Testing ---> Normal Quiz"}, {"mark", "10"}};
}

// Slides as an office program converts them: 10 x 7.5 inches, dark to their edges.
inline bool writeSlidePages(const QString &path, int pages)
{
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QSizeF(254, 190.5), QPageSize::Millimeter));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&pdf);
    if (!painter.isActive())
        return false;
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            pdf.newPage();
        painter.fillRect(QRect(QPoint(0, 0), QSize(pdf.width(), pdf.height())), QColor(20, 60, 140));
    }
    return painter.end();
}

inline QString sid(int i)
{
    return QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
}

// The window a run hands the screen back to, keeping what the run tells it.
class OpeningWindow : public QWidget, public SlideShowFather
{
public:
    void setPPTButtonState(int state) override { states << state; }
    QList<int> states;
};

class SlideShowRun : public RunWindowFixture
{
protected:
    // A place on the screen, for a failure message.
    static std::string where(const QRect &r)
    {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
    }
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        ppt = PPTEditorMSO::shareManager();
        PPTQuizStateWindowController::hooks() = {};
        PPTQuizStateWindowController::hooks().runSaveDialog = [this](PPTQuizStateWindowController *,
                                                                      const QuizStateWindowController::SaveRequest &r) {
            saved << r.strFileName;
            savedMode = r.curActivityMode;
        };
    }
    void TearDown() override
    {
        // What a half on X11 put aside goes back first, as when the test's own scope ended.
        if (m_alertsPutAside)
            DialogHooks::setAlertResponder(*std::exchange(m_alertsPutAside, std::nullopt));
        m_input.reset();
        if (run)
            delete run.data();
        PPTQuizStateWindowController::hooks() = {};
        ppt->quitPPT();
        qunsetenv("POLLIX_SOFFICE");
        RunWindowFixture::TearDown();
    }

    // The main window's part: the deck open and on show from its first slide, then the run.
    void openRun(int mode, const QString &path)
    {
        TabController::StartRequest r;
        r.kind = path.endsWith('p') ? TabController::StartRequest::AnswerSheet : TabController::StartRequest::Presentation;
        r.strPath = path;
        r.nDeviceType = 3;
        r.nMode = mode;
        r.testID = 42;
        run = ActivityWindowOpener::openSlideShowRun(nullptr, r);
    }
    // A normal quiz over a deck of two questions, on show from its first slide; nullptr when a
    // step fails.
    SlideShowWindow *openTwoQuestionRun(const QString &deckName)
    {
        const QString deck = twoQuestionDeck(deckName);
        if (deck.isEmpty() || !ppt->openPPT(deck) || !ppt->setPPT(1))
            return nullptr;
        openRun(0, deck);
        return run ? ppt->showWindow() : nullptr;
    }
    // The two-question run over a deck of that name, on show from its first slide, its class of
    // `students` logged in from the keypads of a simulated Dravel receiver; the receiver, nullptr
    // when a step fails.
    SimReceiver *twoQuestionRunLoggedIn(const QString &deckName, int students = 2)
    {
        SimReceiver *sim = dravel(students);
        if (!sim || !openTwoQuestionRun(deckName))
            return nullptr;
        logIn(sim, students);
        return sim;
    }
    // A deck of two single-answer questions (B, then C) of the given seconds in the home folder;
    // its path, empty when it could not be written.
    QString twoQuestionDeck(const QString &deckName, int seconds = 10)
    {
        const QString deck = home() + deckName;
        const bool written = SlideDecks::writeDeck(
            {questionSlide("First", "Single Answer", "B", seconds), questionSlide("Second", "Single Answer", "C", seconds)}, deck);
        return written ? deck : QString();
    }
    SimReceiver *dravel(int students)
    {
        SimReceiver *sim = plugIn(Model::Dravel);
        if (!sim || !waitFor([&] { return app()->getBHaveDevice(); }))
            return nullptr;
        makeClass(students);
        return sim;
    }
    void logIn(SimReceiver *sim, int students)
    {
        EXPECT_TRUE(waitFor([&] { return !sim->framesFromProgram().isEmpty(); }));
        for (int i = 1; i <= students; ++i)
            sim->login(0x0100 + i, sid(i));
        EXPECT_TRUE(waitFor([&] {
            return run->studentStrip()->nLoginStudentSum() == students && keypadsLoggedIn(sim, 0x0101, students);
        }));
    }
    // What the teacher's screen shows of a run on a real X display besides the fixture's answers:
    // nothing (Answered), the run's alerts (RealAlerts), or its alerts and its other windows, the
    // save dialog among them (Real).
    enum class Windows { Answered, RealAlerts, Real };
    // The opening of a half on a real X display: real keys and clicks through input(), a simulated
    // Dravel receiver with a class of `students` (returned; nullptr when a step fails), no office
    // program converting a deck (a show stands without pages, or with the test's own), and the
    // run's windows as `windows` says until the test ends.
    SimReceiver *onX11(int students, Windows windows = Windows::Answered)
    {
        m_input = std::make_unique<XTestEventSink>();
        SimReceiver *sim = dravel(students);
        if (windows != Windows::Answered) {
            m_alertsPutAside = DialogHooks::alertResponder();
            DialogHooks::setAlertResponder({});
        }
        if (windows == Windows::Real)
            DialogHooks::setModalResponder({});
        qputenv("POLLIX_SOFFICE", QByteArray("/nonexistent/soffice"));
        return m_input->isAvailable() ? sim : nullptr;
    }
    XTestEventSink &input() { return *m_input; }
    // On a real X display (opened as onX11 opens): the two-question run with n students in, its
    // show without pages from an office program and its bar exposed; nullptr when a step fails.
    SlideShowWindow *openRunOnX11(int students)
    {
        SimReceiver *sim = onX11(students);
        SlideShowWindow *show = sim ? openTwoQuestionRun("Lesson.pptx") : nullptr;
        if (!show || !QTest::qWaitForWindowExposed(run.data(), kEventWaitMs))
            return nullptr;
        logIn(sim, students);
        return show;
    }
    // A real click where the teacher sees the control, until what it does has happened. The
    // window manager moves a window some time after Qt asks, so on a busy machine a click may come
    // while the bar is still on its way; a control off the screen (or behind another window) never
    // takes one.
    bool clickUntil(XTestEventSink &pointer, QWidget *w, const std::function<bool()> &done, int waitMs = 2000)
    {
        for (int attempt = 0; attempt < 10; ++attempt) {
            const QPoint at = w->mapToGlobal(w->rect().center());
            pointer.moveTo(at);
            pointer.button(InputEventSink::Button::Left, true, at);
            pointer.button(InputEventSink::Button::Left, false, at);
            if (waitFor(done, waitMs))
                return true;
        }
        return false;
    }
    // The run's alerts come up for real while the returned guard lives: the fixture's answers
    // are put aside meanwhile.
    [[nodiscard]] static auto realAlerts()
    {
        DialogHooks::AlertResponder putAside = DialogHooks::alertResponder();
        DialogHooks::setAlertResponder({});
        return qScopeGuard([putAside] { DialogHooks::setAlertResponder(putAside); });
    }
    QPushButton *bar(const char *name) const { return run->findChild<QPushButton *>(QLatin1String(name)); }
    QString field(const char *name) const { return run->findChild<QLabel *>(QLatin1String(name))->text(); }

    PPTEditorMSO *ppt = nullptr;
    QPointer<PPTQuizStateWindowController> run;
    DialogAnswers answers;
    QStringList saved;
    int savedMode = -1;

private:
    std::unique_ptr<XTestEventSink> m_input;
    std::optional<DialogHooks::AlertResponder> m_alertsPutAside;
};
