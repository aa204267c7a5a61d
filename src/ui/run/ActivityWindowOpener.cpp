#include "ActivityWindowOpener.h"

#include "PlayMusic.h"
#include "QuizStateWindowController.h"
#include "RushInfoShowController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "platform/PPTEditorMSO.h"
#include "ui/app/TabController.h"

#include <QGuiApplication>
#include <QScreen>

void ActivityWindowOpener::install()
{
    RushInfoShow::setFactory([] { return std::make_unique<RushInfoShowController>(); });
    // Free-style runs: the activity window writes their questions itself.
    TabController::hooks().startsFreeStyle = true;
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
            // The slide-show run windows are not here. A deck Start put on show is shown until
            // the teacher ends the show; then the main window is back in charge.
            PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
            if (tab && r.kind == TabController::StartRequest::Presentation && ppt->isShowRunning()) {
                auto connection = std::make_shared<QMetaObject::Connection>();
                *connection = QObject::connect(ppt, &PPTEditorMSO::showPositionChanged, tab, [tab, connection](int index) {
                    if (index != 0)
                        return;
                    QObject::disconnect(*connection);
                    tab->show();
                });
                return;
            }
            if (tab)
                tab->show();
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
