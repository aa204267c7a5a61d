#include "ActivityWindowOpener.h"

#include "TabController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "ui/presentation/PPTQuizStateWindowController.h"
#include "ui/run/PlayMusic.h"
#include "ui/run/QuizStateWindowController.h"
#include "ui/run/RushInfoShowController.h"

#include <QGuiApplication>
#include <QScreen>

void ActivityWindowOpener::install()
{
    RushInfoShow::setFactory([] { return std::make_unique<RushInfoShowController>(); });
    // Free-style runs: the activity window writes their questions itself.
    TabController::hooks().startsFreeStyle = true;
    // Runs over a presentation or an answer sheet: the run bar over the slide show.
    TabController::hooks().startsPresentations = true;
    // One read-aloud window per activity window, made on first use, near the screen's right edge.
    QuizStateWindowController::hooks().openReadAloud = [](QuizStateWindowController *w) {
        auto *reader = w->findChild<PlayMusic *>();
        if (!reader) {
            reader = new PlayMusic(w);
            const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                                  : QRect(0, 0, 1280, 1024);
            reader->setWindowOriginPoint(QPoint(screen.right() + 1 - 240, screen.bottom() + 1 - 100 - reader->height()));
        }
        reader->show();
        reader->raise();
    };
    TabController::hooks().startActivity = [](TabController *tab, const TabController::StartRequest &r) {
        if (r.kind != TabController::StartRequest::Activity) {
            openSlideShowRun(tab, r);
            return;
        }
        const int id = r.testID.value_or(0);
        open(tab, r.nDeviceType, r.nMode, r.nParticiptionMode, r.bIsFreeStyle, r.nIsGroup, r.strPath,
             r.testID ? &id : nullptr);
    };
}

QuizStateWindowController *ActivityWindowOpener::open(TabController *father, int nDeviceType, int nMode,
                                                      int nParticiptionMode, bool bIsFreeStyle, int nIsGroup,
                                                      const QString &strPath, const int *testID)
{
    auto *w = new QuizStateWindowController;
    // A free-style run has no question file, whatever the main window loaded before: its
    // session must not be named after one.
    w->setStrPath(bIsFreeStyle ? QString() : strPath);
    if (testID)
        w->setTestID(*testID);
    w->setNDeviceType(nDeviceType);
    w->setNMode(nMode);
    w->setNParticiptionMode(nParticiptionMode);
    w->setBIsFreeStyle(bIsFreeStyle);
    w->setNIsGroup(nIsGroup);
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        app->setObjectToReceiveCommData(w);
    w->setFather(father);
    w->showWindow();
    w->SendWakeUpMessage(0);
    return w;
}

PPTQuizStateWindowController *ActivityWindowOpener::openSlideShowRun(TabController *father, const TabController::StartRequest &r)
{
    auto *w = new PPTQuizStateWindowController;
    w->setTestID(r.testID.value_or(0));
    w->setStrPath(r.strPath);
    w->setNDeviceType(r.nDeviceType);
    w->setNMode(r.nMode);
    w->setNParticiptionMode(r.nParticiptionMode);
    w->setBIsFreeStyle(r.bIsFreeStyle);
    w->setNIsGroup(r.nIsGroup);
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        app->setObjectToReceiveCommData(w);
    w->setFather(father);
    w->showWindow();
    w->SendWakeUpMessage(0);
    return w;
}
