#include "PPTQuizStateWindowController.h"

#include "PPTBaffle.h"
#include "PPTStudentLoginView.h"

#include "core/base/CommonFunc.h"
#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/QuizComputeMethod.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizModeFactory.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RunQuestionRecord.h"
#include "core/keypad/TovDevice.h"
#include "core/presentation/MouseFunction.h"
#include "core/presentation/QuestionSlideFormat.h"
#include "core/presentation/SlideShowRunRules.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PPTEditorMSO.h"
#include "platform/SlideShowWindow.h"
#include "platform/WindowStacking.h"
#include "ui/app/Show.h"
#include "ui/app/TabController.h"
#include "ui/controls/DialogHooks.h"
#include "ui/run/ForceLoginController.h"
#include "ui/run/PlayMusic.h"
#include "ui/run/QuizStateInterface.h"
#include "ui/run/RunCountDown.h"
#include "ui/run/RunFrameRouter.h"
#include "ui/run/RunReceiver.h"
#include "ui/run/RunChildWindow.h"
#include "ui/run/RunResultWindows.h"
#include "ui/run/RunSounds.h"
#include "ui/run/RunStudentGrid.h"
#include "ui/run/RunTimer.h"
#include "ui/run/SaveToDataController.h"
#include "ui/run/StudentLoginView.h"

#include <QChildEvent>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <algorithm>

using Control = RunControls::Control;
using Phase = RunControls::Phase;
using KeyAction = TeacherKeyMap::Action;

namespace {
constexpr int kBarHeight = 77;
constexpr int kNormalBarHeight = 75;
constexpr QSize kBarIconSize{22, 22};
constexpr int kBarSpacing = 4;

enum BarArrangement { Roomy, Compact, TwoRows };

QString barStyle(bool compact)
{
    return QStringLiteral("#PPTQuizStateContent { background: #1f2a36; }"
                          "#PPTQuizStateContent QLabel { color: #e8edf2; }"
                          "#PPTQuizStateContent QPushButton { min-height: 30px; padding: 2px %1px; }")
        .arg(compact ? 3 : 6);
}

QRect screenRect()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1280, 1024);
}

bool setOnKeypads(int activity)
{
    return activity == Activity::PaperQuiz || activity == Activity::HomeWork;
}
} // namespace

PPTQuizStateWindowController::Hooks &PPTQuizStateWindowController::hooks()
{
    static Hooks h;
    return h;
}

const QList<PPTQuizStateWindowController::BarButton> &PPTQuizStateWindowController::barButtons()
{
    using W = PPTQuizStateWindowController;
    static const QList<BarButton> buttons{
        {"btnPrevious", "Previous", QStyle::SP_MediaSeekBackward, &W::btnPrevious, Control::Previous, &W::OnPrevious},
        {"btnStart", "Start", QStyle::SP_MediaPlay, &W::btnStart, Control::Start, &W::OnStart},
        {"btnStop", "Stop", QStyle::SP_MediaStop, &W::btnStop, Control::Stop, &W::OnStop},
        {"btnNext", "Next", QStyle::SP_MediaSeekForward, &W::btnNext, Control::Next, &W::OnNext},
        // This bar names its time buttons the other way round: "down" gives more time.
        {"btnTimeUp", "-5", QStyle::SP_ArrowDown, &W::btnTimeUp, Control::TimeDown, &W::OnTimeUp},
        {"btnTimeDown", "+5", QStyle::SP_ArrowUp, &W::btnTimeDown, Control::TimeUp, &W::OnTimeDown},
        {"btnResult", "Result", QStyle::SP_FileDialogContentsView, &W::btnResult, Control::Result, &W::OnResult},
        {"btnReport", "Report", QStyle::SP_FileDialogDetailedView, &W::btnReport, Control::Report, &W::OnReport},
        {"btnSendQuestions", "Send", QStyle::SP_ArrowRight, &W::btnSendQuestions, Control::SendQuestions, &W::OnSendQuestions},
        // The bar is one screen wide: the three least used show their picture only.
        {"btnSpeed", "Read aloud", QStyle::SP_MediaVolume, &W::btnSpeed, Control::Read, &W::OnSpeech},
        {"btnUpHide", "Student strip: smaller or larger", QStyle::SP_TitleBarShadeButton, &W::btnUpHide, Control(0), &W::OnHideUp},
        {"btnDownHide", "Hide this bar", QStyle::SP_TitleBarMinButton, &W::btnDownHide, Control(0), &W::OnHideDown},
        {"btnExit", "Exit", QStyle::SP_DialogCloseButton, &W::btnExit, Control::Exit, &W::OnExit},
    };
    return buttons;
}

// ---- creation ----

PPTQuizStateWindowController::PPTQuizStateWindowController(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("PPTQuizState"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Pollix"));
    setMouseTracking(true);
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    pptUI = PPTEditorMSO::shareManager();
    qcmObject = std::make_unique<QuizComputeMethod>();
    qqObject = QuizQuestions::shareManager();
    qpdObject = QuizParticipantData::shareManager();
    qdObject = QuizData::shareManager();

    buildInterface();
    pptStudentLoginView = new PPTStudentLoginView(this);
    pptStudentLoginView->installEventFilter(this);
    showHideWindow = new Show(this);
    showHideWindow->installEventFilter(this);
    RunSession::Window window;
    window.widget = this;
    window.sink = this;
    window.txtQuizTime = txtQuizTime;
    window.grid = pptStudentLoginView->studentLoginView;
    window.gridArea = pptStudentLoginView->LoginSV;
    window.txtLoginAndAnswered = txtLoginAndAnswered;
    window.txtReceiverState = txtReceiverState;
    // A bar the teacher hid comes back to say that the receiver is lost.
    window.receiverLost = [this](bool lost) {
        if (lost && m_loaded && showHideWindow->isVisible()) {
            showHideWindow->hide();
            setWindowToNormal();
        }
    };
    window.press = [this](KeyAction action) { press(action); };
    window.keyAction = [this](const DataOfFrame &frame) {
        return TeacherKeyMap::slideShowRunAction(frame, m_run->nMode, m_run->nDeviceType);
    };
    window.timeUp = [this] { OnStop(); };
    window.shouldClose = [this] { return windowShouldClose(); };
    window.viewMove = [this](bool on) { pptStudentLoginView->setViewMove(on); };
    // In the middle of the screen, not over the bar at its foot.
    window.prepareAlert = [this](PollixAlert *alert) { alert->installEventFilter(this); };
    window.countDownLeadIn = [this] {
        return SlideShowRunRules::leadIn(m_run->nMode, m_run->nDeviceType, qpdObject->getSumOfLoginStudents());
    };
    window.saveDialog = [this](const QuizStateWindowController::SaveRequest &r) {
        if (hooks().runSaveDialog)
            hooks().runSaveDialog(this, r);
        return bool(hooks().runSaveDialog);
    };
    window.afterRun = [this] {
        pptStudentLoginView->hide();
        if (pptBaffle)
            pptBaffle->hide();
        showHideWindow->hide();
        if (SlideShowWindow *show = pptUI->showWindow())
            show->setReservedMargins({});
    };
    window.toFather = [this](QWidget *father) {
        // The deck was closed with the show: the presentation buttons follow.
        if (auto *tab = qobject_cast<TabController *>(father); tab && !m_bIsAnsSheet)
            tab->setPPTButtonState(0);
    };
    m_run = new RunSession(std::move(window));
    observeNotifications();
}

PPTQuizStateWindowController::~PPTQuizStateWindowController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    disconnect(pptUI, nullptr, this, nullptr);
    if (appDelegate && appDelegate->objectToReceiveCommData() == this)
        appDelegate->setObjectToReceiveCommData(m_run->father);
    if (playMusicControl)
        playMusicControl->closeSelf();
    m_run->modeObject.reset();
    // A show that outlives the run has the whole screen again.
    if (SlideShowWindow *show = pptUI->showWindow())
        show->setReservedMargins({});
}

void PPTQuizStateWindowController::buildInterface()
{
    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("PPTQuizStateContent"));
    content->setAttribute(Qt::WA_StyledBackground);
    m_barContent = content;
    content->setStyleSheet(barStyle(false));
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    // The bar's size is the screen's width, whatever the buttons ask: fitBarToWidth arranges
    // them within it.
    outer->setSizeConstraint(QLayout::SetNoConstraint);
    outer->addWidget(content);

    txtMultipleModeString = QuizStateInterface::makeLabel(content, QStringLiteral("txtMultipleModeString"));
    QFont big = txtMultipleModeString->font();
    big.setPointSize(14);
    big.setBold(true);
    txtMultipleModeString->setFont(big);
    txtQuNoTitle = QuizStateInterface::makeLabel(content, QStringLiteral("txtQuNoTitle"), tr("Question No.:"));
    txtQuNo = QuizStateInterface::makeLabel(content, QStringLiteral("txtQuNo"), {}, true);
    txtPageAndTotalPageTitle = QuizStateInterface::makeLabel(content, QStringLiteral("txtPageAndTotalPageTitle"), tr("Slide:"));
    txtPageAndTotalPage = QuizStateInterface::makeLabel(content, QStringLiteral("txtPageAndTotalPage"), {}, true);
    txtLoginAndAnsweredTitle = QuizStateInterface::makeLabel(content, QStringLiteral("txtLoginAndAnsweredTitle"), tr("Answered:"));
    txtLoginAndAnswered = QuizStateInterface::makeLabel(content, QStringLiteral("txtLoginAndAnswered"), QStringLiteral("0 / 0"), true);
    txtHandRaiseTitle = QuizStateInterface::makeLabel(content, QStringLiteral("txtHandRaiseTitle"), tr("Hand Raise:"));
    txtHandRaise = QuizStateInterface::makeLabel(content, QStringLiteral("txtHandRaise"), QStringLiteral("0"), true);
    txtDone = QuizStateInterface::makeLabel(content, QStringLiteral("txtDone"));
    txtDone->setStyleSheet(QStringLiteral("color: #7fd36b; font-weight: bold;"));
    // "All Done" and "Done" take the same room: nothing beside them moves.
    txtDone->setFixedWidth(txtDone->fontMetrics().horizontalAdvance(tr("All Done")) + 24);
    // The bar is one line of figures high: the notice is short, its tool tip says the rest.
    txtReceiverState = QuizStateInterface::makeLabel(content, QStringLiteral("txtReceiverState"), tr("Receiver disconnected"), true);
    txtReceiverState->setStyleSheet(QuizStateInterface::receiverLostStyle());
    txtReceiverState->setToolTip(RunSession::receiverLostNotice());
    txtReceiverState->hide();
    txtQuizTime = QuizStateInterface::makeLabel(content, QStringLiteral("txtQuizTime"), QStringLiteral("0"));
    txtQuizTime->setAlignment(Qt::AlignCenter);
    txtQuizTime->setMinimumWidth(100);
    txtQuizTime->setTextInteractionFlags(Qt::NoTextInteraction);

    // Two lines of figures at the left, the run's buttons to the right.
    auto *figures = new QVBoxLayout;
    m_figuresLayout = figures;
    figures->setSpacing(0);
    auto *line1 = new QHBoxLayout;
    line1->addWidget(txtMultipleModeString);
    line1->addSpacing(12);
    line1->addWidget(txtDone);
    line1->addWidget(txtReceiverState);
    line1->addStretch(1);
    figures->addLayout(line1);
    for (const auto &pairs : {QList<std::pair<QLabel *, QLabel *>>{{txtQuNoTitle, txtQuNo}, {txtPageAndTotalPageTitle, txtPageAndTotalPage}},
                              QList<std::pair<QLabel *, QLabel *>>{{txtLoginAndAnsweredTitle, txtLoginAndAnswered},
                                                                   {txtHandRaiseTitle, txtHandRaise}}}) {
        auto *line = new QHBoxLayout;
        for (const auto &[title, value] : pairs) {
            line->addWidget(title);
            line->addSpacing(4);
            line->addWidget(value);
            line->addSpacing(12);
        }
        line->addStretch(1);
        figures->addLayout(line);
    }

    auto *bar = new QHBoxLayout(content);
    m_barLayout = bar;
    // A margin on the left: a click the keypad mouse makes in the screen's corner hits nothing.
    bar->setContentsMargins(16, 4, 8, 4);
    bar->setSpacing(kBarSpacing);
    bar->addLayout(figures, 1);
    auto *buttons = new QHBoxLayout;
    m_buttonsLayout = buttons;
    buttons->setSpacing(kBarSpacing);
    // Takes the room left of the buttons only when they have a row of their own.
    m_buttonsLead = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    buttons->addSpacerItem(m_buttonsLead);
    bar->addLayout(buttons);
    for (const BarButton &row : barButtons()) {
        const bool pictureOnly = row.outlet == &PPTQuizStateWindowController::btnSpeed
                                 || row.outlet == &PPTQuizStateWindowController::btnUpHide
                                 || row.outlet == &PPTQuizStateWindowController::btnDownHide;
        auto *b = new QPushButton(style()->standardIcon(QStyle::StandardPixmap(row.icon)), pictureOnly ? QString() : tr(row.text),
                                  content);
        if (pictureOnly)
            b->setToolTip(tr(row.text));
        b->setObjectName(QLatin1String(row.name));
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(kBarIconSize);
        this->*row.outlet = b;
        if (row.outlet == &PPTQuizStateWindowController::btnTimeUp)
            buttons->addWidget(txtQuizTime);
        if (row.outlet == &PPTQuizStateWindowController::btnExit)
            buttons->addSpacing(16);
        buttons->addWidget(b);
        // A click and a teacher key take the same path: the action checks its button first.
        connect(b, &QPushButton::clicked, this, [this, action = row.action] { (this->*action)(); });
    }
    btnStart->setCheckable(true);
    RunSession::setStartShowsPause(btnStart, false);
    fitBarToWidth(QWIDGETSIZE_MAX);
    btnUpHide->setProperty("imageName", QStringLiteral("max_normal.png"));
}

void PPTQuizStateWindowController::observeNotifications()
{
    NotificationCenter *nc = NotificationCenter::defaultCenter();
    const auto on = [this, nc](QLatin1String name, const std::function<void(const Notification &)> &handler) {
        nc->addObserver(this, name, handler);
    };
    on(Notify::DeviceChanged, [this](const Notification &) { handleDeviceChanged(); });
    on(Notify::StudentAnswer, [this](const Notification &n) { studentAnswerNotification(n); });
    on(Notify::StudentRush, [this](const Notification &n) { studentRushNotification(n); });
    on(Notify::StudentElimination, [this](const Notification &n) { m_run->students->studentEliminationNotification(n); });
    on(Notify::StudentNextPrevious, [this](const Notification &n) { m_run->students->studentPaperQuizPgupPgdn(n); });
    on(Notify::StudentQuickGrouping, [this](const Notification &n) { m_run->students->studentQuickGroupingNotification(n); });
    on(Notify::HandRaiseDeviceNo, [this](const Notification &n) {
        if (n.object == pptStudentLoginView->studentLoginView)
            handRaiseSelectedToAnswer(n);
    });
    on(Notify::StudentForceLogin, [this](const Notification &n) { forceLogin(n); });
    on(Notify::StudentLogin, [this](const Notification &n) { studentLogin(n); });
    on(Notify::StudentHaveQuestion, [this](const Notification &n) {
        txtHandRaise->setText(QString::number(n.userInfo.value(Notify::Key::Count).toInt()));
    });
    on(Notify::SendQuestionOverSetFocus, [this](const Notification &) {
        activateWindow();
        raise();
    });
    on(Notify::SendQuestionReady, [this](const Notification &) {
        if (hooks().runSendQuestions)
            m_run->runChildWindow([this] { hooks().runSendQuestions(this, true, false); });
    });
    on(Notify::LoginViewToNormal, [this](const Notification &) { setLoginViewToNoraml(); });
    on(Notify::StudentLogout, [this](const Notification &n) { m_run->students->setStudentLogout(n); });
    on(Notify::ShowHideWindow, [this](const Notification &) { setWindowToNormal(); });
    on(Notify::GetReadContent, [this](const Notification &n) { getContent(n); });
    // The teacher may step the show with its own keys: between questions the bar follows it.
    connect(pptUI, &PPTEditorMSO::showPositionChanged, this, [this](int index) {
        if (!overShow() || m_run->bStartFlag || m_run->closing || !m_loaded || m_followingShow || index < 1 || index > questionCount()
            || index - 1 == m_nCurrentQuestionNo)
            return;
        const bool forward = index - 1 > m_nCurrentQuestionNo;
        m_nCurrentQuestionNo = index - 1;
        afterStep(forward);
    });
}

void PPTQuizStateWindowController::setStrPath(const QString &path)
{
    m_run->strPath = path;
    m_bIsAnsSheet = path.endsWith(QLatin1Char('p'));
    qqObject->setStrTestTitle(path);
}

void PPTQuizStateWindowController::setTestID(int id)
{
    qqObject->setNTestID(id);
}

void PPTQuizStateWindowController::showWindow()
{
    if (!m_loaded) {
        windowDidLoad();
        m_loaded = true;
    }
    show();
    keepAboveShow();
}

const QList<StudentEntity> &PPTQuizStateWindowController::arrStuLoginContentTime() const
{
    return m_run->students->arrStuLoginContentTime();
}

// ---- set-up ----

void PPTQuizStateWindowController::windowDidLoad()
{
    m_run->greetReceiver();
    const RunControls::Controls shown = RunControls::shown(m_run->nMode, m_run->nDeviceType);
    for (const BarButton &row : barButtons())
        if (row.control)
            (this->*row.outlet)->setVisible(shown.testFlag(row.control));
    // Arvel and Brevel keypads page a paper quiz or homework themselves: no figures of questions.
    if (setOnKeypads(m_run->nMode) && (m_run->nDeviceType == DeviceType::Arvel || m_run->nDeviceType == DeviceType::Brevel)) {
        for (QWidget *w : {static_cast<QWidget *>(txtLoginAndAnsweredTitle), static_cast<QWidget *>(txtLoginAndAnswered),
                           static_cast<QWidget *>(txtDone), static_cast<QWidget *>(txtQuNoTitle), static_cast<QWidget *>(txtQuNo),
                           static_cast<QWidget *>(txtPageAndTotalPage), static_cast<QWidget *>(txtPageAndTotalPageTitle)})
            w->hide();
    }
    // A paper quiz keeps its strip large: the strip key has nothing to change.
    if (m_run->nMode == Activity::PaperQuiz)
        btnUpHide->setEnabled(false);

    placeBar(kBarHeight);

    if (!m_bIsAnsSheet) {
        pptBaffle = new PPTBaffle(this);
        if (m_run->nDeviceType == DeviceType::Dravel && setOnKeypads(m_run->nMode))
            pptBaffle->setMessageID(QString::number(qqObject->nTestID()), qqObject->strTestTitle());
        if (m_run->nMode != Activity::HandRaise) {
            pptBaffle->show();
            pptBaffle->lower();
        }
    }
    pptStudentLoginView->setNMode(m_run->nMode);
    pptStudentLoginView->show();

    loadQuestionsInfo();
    setModeObject();
    const bool showsPages = ActivityRules::rule(m_run->nMode).showsPages;
    for (QWidget *w : {static_cast<QWidget *>(txtQuNoTitle), static_cast<QWidget *>(txtQuNo)})
        w->setVisible(w->isVisibleTo(this) && showsPages);
    for (QWidget *w : {static_cast<QWidget *>(txtPageAndTotalPageTitle), static_cast<QWidget *>(txtPageAndTotalPage)})
        w->setVisible(w->isVisibleTo(this) && showsPages);
    m_run->updateView_ModeDescription(txtMultipleModeString);
    updateMultipleModeLabel();
    updateView_QuNo();
    updateView_PageAndTotalPage();

    const bool handRaiseCount = m_run->countsHandRaises();
    txtHandRaiseTitle->setVisible(handRaiseCount);
    txtHandRaise->setVisible(handRaiseCount);
    txtHandRaise->setText(QStringLiteral("0"));
    m_run->sounds->cue(RunSounds::Enter);
    m_run->phase = Phase::Opened;
    applyControls();
    // Now with the figures and buttons this activity shows.
    placeBar(kBarHeight);
    if (overShow())
        followShow();
}

void PPTQuizStateWindowController::loadQuestionsInfo()
{
    QList<QuizQuestionsElement> questions;
    if (m_bIsAnsSheet) {
        QString why;
        const std::shared_ptr<ExamPaperInfo> sheet = ExamPaperInfo::unarchiveObjectWithFile(m_run->strPath, &why);
        if (sheet) {
            qqObject->setNTestID(sheet->nExamPaperID());
            questions = RunQuestionRecord::fromPages(sheet->arrayQuestionsInfo(), m_run->nMode);
        } else {
            PollixLog(QStringLiteral("answer sheet not read: %1: %2").arg(m_run->strPath, why));
        }
        if (const int limit = SlideShowRunRules::questionLimit(m_run->nMode, m_run->nDeviceType); limit > 0 && questions.size() > limit)
            questions.resize(limit);
    } else {
        questions = SlideShowRunRules::runQuestions(QuestionSlideFormat::copyQuesInfoSlideToArray(*pptUI), m_run->nMode, m_run->nDeviceType);
    }
    qqObject->setArrayQuestions(questions);
}

void PPTQuizStateWindowController::setModeObject()
{
    const int mode = m_run->nMode;
    m_run->modeObject = QuizModeFactory::create(mode, m_run->nDeviceType, true);
    const bool styled = mode != Activity::Survey && !(mode >= Activity::FreeNormalQuiz && mode <= Activity::QuickGrouping);
    if (styled && (m_run->modeObject || mode != Activity::PaperQuiz))
        pptStudentLoginView->setLoginViewStyle(int(ActivityRules::grid(mode, m_run->nDeviceType)));
    if (mode == Activity::PaperQuiz || mode == Activity::HomeWork) {
        pptStudentLoginView->setLoginViewTitle(mode == Activity::PaperQuiz ? tr("Paper Quiz") : tr("Homework"));
        qqObject->removeTeachingPlan();
    } else if (mode == Activity::Attendance) {
        pptStudentLoginView->setLoginViewTitle(tr("Attendance"));
    }
    m_run->students->setPaperQuizGrid(ActivityRules::grid(mode, m_run->nDeviceType) == ActivityRule::Grid::PaperQuiz);
    m_run->students->addLoggedInBefore();
    if (setOnKeypads(mode))
        setLoginViewToNoraml();
    updateQuizTime();
    m_run->countQuestions();
    m_run->setParticipation();
}

void PPTQuizStateWindowController::SendWakeUpMessage(int wakeMode)
{
    m_run->SendWakeUpMessage(wakeMode);
}

// ---- controls ----

bool PPTQuizStateWindowController::overShow() const
{
    // A paper quiz or homework runs on the keypads: the main window closes its deck at the start.
    return !m_bIsAnsSheet && !setOnKeypads(m_run->nMode);
}

int PPTQuizStateWindowController::questionCount() const
{
    return qqObject->count();
}

bool PPTQuizStateWindowController::questionRun(int q) const
{
    return qcmObject->getQuestionIsTest(q);
}

RunControls::Situation PPTQuizStateWindowController::situation() const
{
    RunControls::Situation s = m_run->situation();
    s.questionRun = questionRun(questionNo());
    s.questionNo = questionNo();
    s.questionCount = questionCount();
    s.actionMode = qqObject->actionMode(questionNo());
    return s;
}

void PPTQuizStateWindowController::applyControls()
{
    const RunControls::Controls live = RunControls::enabled(situation());
    for (const BarButton &row : barButtons()) {
        if (!row.control)
            continue;
        bool on = live.testFlag(row.control);
        if (row.control == Control::SendQuestions)
            on = on && bool(hooks().runSendQuestions);
        (this->*row.outlet)->setEnabled(on);
    }
}

void PPTQuizStateWindowController::press(KeyAction action)
{
    switch (action) {
    case KeyAction::Previous: btnPrevious->click(); break;
    case KeyAction::Next: btnNext->click(); break;
    case KeyAction::Start: btnStart->click(); break;
    case KeyAction::Exit: btnExit->click(); break;
    case KeyAction::StripSize: cycleStripSize(); break;
    case KeyAction::Stop:
    case KeyAction::Result:
    case KeyAction::Report:
    case KeyAction::SendQuestions: {
        QPushButton *b = action == KeyAction::Stop     ? btnStop
                         : action == KeyAction::Result ? btnResult
                         : action == KeyAction::Report ? btnReport
                                                       : btnSendQuestions;
        // A key on a disabled button does nothing at all.
        if (!b->isEnabled())
            return;
        bIsRunForTeacherControl = true;
        b->click();
        bIsRunForTeacherControl = false;
        break;
    }
    default: break;
    }
}

// ---- the show ----

void PPTQuizStateWindowController::followShow()
{
    if (!overShow())
        return;
    if (!pptUI->isShowRunning() && pptUI->hasPresentation()) {
        // The show was ended meanwhile: it comes back on the current question, not the first.
        m_followingShow = true;
        pptUI->setPPT(1);
        for (int i = 0; i < m_nCurrentQuestionNo; ++i)
            pptUI->setPPT(3);
        m_followingShow = false;
    }
    const int shown = pptUI->getIndexOfShowPPT();
    if (shown >= 1 && shown <= questionCount())
        m_nCurrentQuestionNo = shown - 1;
    keepAboveShow();
}

void PPTQuizStateWindowController::showToFront()
{
    if (overShow() && pptUI->hasPresentation())
        pptUI->setPPT(-1);
    keepAboveShow();
}

void PPTQuizStateWindowController::keepAboveShow()
{
    // Without a window manager the stay-on-top hint does nothing: the strip and the bar are put
    // back on top of the show each time it comes to the front. A window manager puts the focused
    // full-screen show above every stay-on-top window, yet keeps its transients above it: the bar
    // and the strip become the show's.
    if (SlideShowWindow *show = pptUI->showWindow(); show && show->isVisible()) {
        for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(pptStudentLoginView)})
            if (w->isVisible())
                WindowStacking::setTransientFor(w->windowHandle(), show);
    }
    if (pptStudentLoginView->isVisible())
        pptStudentLoginView->raise();
    if (isVisible())
        raise();
    fitShowToFreeArea();
}

void PPTQuizStateWindowController::fitShowToFreeArea()
{
    // (Windows are resized while this one is still being made.)
    SlideShowWindow *show = m_run ? pptUI->showWindow() : nullptr;
    if (!show || !overShow() || m_run->closing)
        return;
    const QRect screen = show->isVisible() ? show->geometry() : screenRect();
    QMargins keep;
    if (pptStudentLoginView->isVisible())
        keep.setTop(pptStudentLoginView->frameGeometry().bottom() + 1 - screen.top());
    if (isVisible())
        keep.setBottom(screen.bottom() + 1 - frameGeometry().top());
    // Where the teacher has dragged it away from the edge, it stands where the teacher wants it.
    if (ForceLoginController *w = m_run->forceLoginCtrl; w && w->isVisible() && w->frameGeometry().right() >= screen.right() - 2)
        keep.setRight(screen.right() + 1 - w->frameGeometry().left());
    // The button that brings the bar back stands near the bottom right corner: the page keeps
    // left of it, which a slide narrower than the screen's shape barely notices. (Its place as
    // the window system reports it may read as the screen's corner for a while.)
    if (showHideWindow->isVisible())
        keep.setRight(std::max(keep.right(), screen.right() + 1 - Show::place(screenRect()).left()));
    show->setReservedMargins(keep);
}

void PPTQuizStateWindowController::placeForceLoginWindow(QWidget *window)
{
    // Beside the slide, never over it: the show gives up the room it takes.
    const QRect screen = screenRect();
    const int top = pptStudentLoginView->isVisible() ? pptStudentLoginView->geometry().bottom() + 1 : screen.top();
    const int bottom = isVisible() ? geometry().top() : screen.bottom() + 1;
    // The frame's share (none until the window manager has framed it): a window's position
    // includes its frame, its size does not.
    const QSize frame = window->frameGeometry().size() - window->size();
    const int height = std::clamp(bottom - top - frame.height(), 1, 360);
    const int width = std::min(window->width(), 360);
    window->resize(width, height);
    window->move(screen.right() + 1 - width - frame.width(), top);
}

bool PPTQuizStateWindowController::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildPolished:
        // The students-not-in-the-class window is made on the first keypad that is not in the
        // class, with this window as its parent; it is polished (whole) just before it shows.
        if (auto *w = qobject_cast<ForceLoginController *>(static_cast<QChildEvent *>(event)->child()))
            w->installEventFilter(this);
        break;
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::Hide: {
        const bool handled = QWidget::event(event);
        fitShowToFreeArea();
        return handled;
    }
    case QEvent::LayoutRequest: {
        // A figure grew (more students, more slides): the bar takes a narrower arrangement
        // rather than run off the screen.
        const bool handled = QWidget::event(event);
        if (m_loaded && height() > 1 && m_barArrangement != TwoRows && layout()->totalMinimumSize().width() > width())
            placeBar(height());
        return handled;
    }
    default: break;
    }
    return QWidget::event(event);
}

// ---- start, pause, stop ----



void PPTQuizStateWindowController::OnStart()
{
    if (!btnStart->isEnabled())
        return;
    if (m_run->refusedWhileReceiverLost(RunSession::Refused::Start, btnStart)) {
        applyControls();
        showToFront();
        return;
    }
    const ActivityRule &r = ActivityRules::rule(m_run->nMode);
    const bool slides = overShow() && r.showsPages;
    // A fresh start takes the slide on show; a resume goes on with the question that runs.
    if (!m_run->bStartFlag && slides)
        followShow();
    else
        showToFront();
    if (!m_run->bStartFlag && r.checksQuestionAtStart) {
        const int q = questionNo();
        if (q > questionCount() || !RunControls::canStartQuestion(m_run->nMode, m_run->nDeviceType, qqObject->questionType(q), qqObject->answer(q))) {
            m_run->showStartRefusal(btnStart);
            showToFront();
            return;
        }
    }
    m_run->pressStart(btnStart, [this] {
        start();
        updateView_QuNo();
    });
    applyControls();
}

void PPTQuizStateWindowController::start()
{
    pptStudentLoginView->setViewMove(true);
    m_run->nAnswerTime = 0;
    if (m_run->modeObject) {
        m_run->modeObject->setNAnsweredNum(0);
        m_run->modeObject->clearArrAnswerStu();
    }
    const ActivityRule &r = ActivityRules::rule(m_run->nMode);
    if (m_run->nMode == Activity::Attendance || m_run->nMode == Activity::QuickGrouping) {
        // The roll is taken as question 1.
        m_nCurrentQuestionNo = 0;
    } else if (r.locksLoginsAtStart) {
        m_run->students->lockLogins();
        if (m_run->modeObject)
            m_run->modeObject->setAlreadStartInElimination(true);
    }
    m_run->announceQuestion(questionNo());
    m_run->startStep(questionNo());
    m_run->markStarted();
}

void PPTQuizStateWindowController::startQuizTimeCountDown()
{
    m_run->startQuizTimeCountDown();
}

void PPTQuizStateWindowController::OnStop()
{
    if (!btnStop->isEnabled())
        return;
    // The question that runs is the one stopped, whatever slide the teacher went to meanwhile.
    const bool fromKeypad = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    m_run->pressStop(btnStart, [this] { stop(); });
    applyControls();
    if (fromKeypad || !overShow())
        keepAboveShow();
    else
        showToFront();
}

void PPTQuizStateWindowController::stopAsTeacherKey()
{
    // A stop the run itself makes (a rush answered, a raised hand picked) keeps the show where it
    // is, as the teacher keypad's Stop does.
    bIsRunForTeacherControl = true;
    OnStop();
    bIsRunForTeacherControl = false;
}

void PPTQuizStateWindowController::stop()
{
    pptStudentLoginView->setViewMove(false);
    if (m_run->modeObject)
        m_run->modeObject->modeStop();
    if (!m_run->questionStopped(btnStart, questionNo()))
        return;
    updateQuizTime();
    if (m_run->rule().navigates)
        updateDoneField(true);
}

void PPTQuizStateWindowController::OnTimeUp()
{
    m_run->countDown->OnTimeDown();
    showToFront();
}

void PPTQuizStateWindowController::OnTimeDown()
{
    m_run->countDown->OnTimeUp();
    showToFront();
}

// ---- stepping ----

void PPTQuizStateWindowController::OnNext()
{
    if (!btnNext->isEnabled())
        return;
    if (m_run->refusedWhileReceiverLost(RunSession::Refused::Next, btnStart)) {
        showToFront();
        return;
    }
    if (overShow()) {
        // The show moves; the bar follows it (showPositionChanged).
        pptUI->setPPT(3);
        keepAboveShow();
        applyControls();
        return;
    }
    if (m_nCurrentQuestionNo + 1 < questionCount()) {
        ++m_nCurrentQuestionNo;
        afterStep(true);
    }
}

void PPTQuizStateWindowController::OnPrevious()
{
    if (!btnPrevious->isEnabled())
        return;
    if (overShow()) {
        pptUI->setPPT(4);
        keepAboveShow();
        applyControls();
        return;
    }
    if (m_nCurrentQuestionNo > 0) {
        --m_nCurrentQuestionNo;
        afterStep(false);
    }
}

void PPTQuizStateWindowController::afterStep(bool forward)
{
    stopReading();
    const int n = questionNo();
    if (m_run->modeObject)
        m_run->modeObject->setNAnsweredNum(0);
    m_run->students->showAnswered(0);
    const int actionMode = qqObject->actionMode(n);
    if (m_run->nMode == Activity::MultipleMode) {
        if (actionMode == ActionMode::Elimination)
            pptStudentLoginView->setStudentEliminated();
        else
            pptStudentLoginView->setStudentsNormalInMultipleMode();
    } else if (!forward) {
        pptStudentLoginView->setStudentEliminated();
    } else {
        m_run->gridAfterNext(n);
    }
    updateMultipleModeLabel();
    updateQuizTime();
    updateView_QuNo();
    updateView_PageAndTotalPage();
    updateDoneField(false);
    applyControls();
    keepAboveShow();
}

// ---- fields ----

void PPTQuizStateWindowController::updateQuizTime()
{
    m_run->countDown->showQuestionTime(m_run->nMode, questionNo(), questionCount());
}

void PPTQuizStateWindowController::updateView_QuNo()
{
    if (m_nCurrentQuestionNo < 0)
        return;
    int count = 0;
    for (int i = 1; i <= questionNo() && i <= questionCount(); ++i)
        if (qqObject->questionType(i) != QuestionType::TeachingPlan)
            ++count;
    if (count > 0 && qqObject->questionType(questionNo()) != QuestionType::TeachingPlan) {
        txtQuNo->setText(QString::number(count));
        if (m_run->modeObject)
            m_run->modeObject->setNQuestionNoExceptTeachingPlane(count);
    } else {
        txtQuNo->setText(QString());
    }
}

void PPTQuizStateWindowController::updateView_PageAndTotalPage()
{
    txtPageAndTotalPage->setText(ActivityRules::rule(m_run->nMode).showsPages
                                     ? QStringLiteral("%1/%2").arg(questionNo()).arg(questionCount())
                                     : QString());
}

void PPTQuizStateWindowController::updateMultipleModeLabel()
{
    m_run->updateMultipleModeLabel(txtMultipleModeString, qqObject->actionMode(questionNo()));
}

void PPTQuizStateWindowController::updateDoneField(bool run)
{
    m_run->updateDoneField(txtDone, run || questionRun(questionNo()));
}

// ---- the strip and the bar ----

void PPTQuizStateWindowController::cycleStripSize()
{
    const int before = m_nLoginViewState;
    m_nLoginViewState = SlideShowRunRules::nextStripState(m_nLoginViewState, [this](int size) {
        switch (size) {
        case SlideShowRunRules::Small: return pptStudentLoginView->setWindowToSmall();
        case SlideShowRunRules::Large: return pptStudentLoginView->setWindowToLarge();
        default: return pptStudentLoginView->setWindowToNormal();
        }
    });
    if (m_nLoginViewState != before)
        btnUpHide->setProperty("imageName", m_nLoginViewState == SlideShowRunRules::Small ? QStringLiteral("mini_normal.png")
                                                                                          : QStringLiteral("max_normal.png"));
    keepAboveShow();
}

void PPTQuizStateWindowController::OnHideUp()
{
    if (!btnUpHide->isEnabled())
        return;
    if (m_nLoginViewState == SlideShowRunRules::Small) {
        pptStudentLoginView->setWindowToNormal();
        m_nLoginViewState = SlideShowRunRules::Normal;
        btnUpHide->setProperty("imageName", QStringLiteral("max_normal.png"));
    } else {
        pptStudentLoginView->setWindowToSmall();
        m_nLoginViewState = SlideShowRunRules::Small;
        btnUpHide->setProperty("imageName", QStringLiteral("mini_normal.png"));
    }
    showToFront();
}

void PPTQuizStateWindowController::setLoginViewToNoraml()
{
    if (setOnKeypads(m_run->nMode)) {
        if (pptStudentLoginView->setWindowToLarge())
            m_nLoginViewState = SlideShowRunRules::Large;
        else if (pptStudentLoginView->setWindowToNormal())
            m_nLoginViewState = SlideShowRunRules::Normal;
    } else if (m_nLoginViewState == SlideShowRunRules::Normal) {
        pptStudentLoginView->setWindowToNormal();
    } else if (m_nLoginViewState == SlideShowRunRules::Large && !pptStudentLoginView->setWindowToLarge()) {
        pptStudentLoginView->setWindowToNormal();
        m_nLoginViewState = SlideShowRunRules::Normal;
    }
    if (m_loaded)
        showToFront();
}

void PPTQuizStateWindowController::setStripForLogins()
{
    // A login shows the strip at the size the teacher chose, large for a paper quiz or homework.
    if (setOnKeypads(m_run->nMode) || m_nLoginViewState != SlideShowRunRules::Small)
        setLoginViewToNoraml();
}

void PPTQuizStateWindowController::setWindowToSmall()
{
    const QRect screen = screenRect();
    setGeometry(0, screen.height() - 1, screen.width(), 1);
    showHideWindow->show();
    showHideWindow->raise();
}

void PPTQuizStateWindowController::OnHideDown()
{
    setWindowToSmall();
    showToFront();
    showHideWindow->raise();
}

void PPTQuizStateWindowController::setWindowToNormal()
{
    placeBar(kNormalBarHeight);
    keepAboveShow();
}

void PPTQuizStateWindowController::placeBar(int height)
{
    const QRect screen = screenRect();
    fitBarToWidth(screen.width());
    height = std::max(height, layout()->totalMinimumSize().height());
    setGeometry(screen.left(), screen.bottom() + 1 - height, screen.width(), height);
}

void PPTQuizStateWindowController::fitBarToWidth(int width)
{
    for (int arrangement = Roomy;; ++arrangement) {
        // The words stay on every button, so each one still says what it does.
        const bool compact = arrangement != Roomy;
        m_barArrangement = arrangement;
        m_barContent->setStyleSheet(barStyle(compact));
        for (const BarButton &row : barButtons()) {
            QPushButton *b = this->*row.outlet;
            b->setIconSize(compact && !b->text().isEmpty() ? QSize(0, 0) : kBarIconSize);
        }
        // Start becomes Pause and back: as wide as the wider, so nothing beside it moves.
        const QString startText = btnStart->text();
        int startWidth = 0;
        btnStart->setMinimumWidth(0);
        btnStart->setMaximumWidth(QWIDGETSIZE_MAX);
        for (const QString &text : {tr("Pause"), tr("Start")}) {
            btnStart->setText(text);
            btnStart->ensurePolished();
            startWidth = std::max(startWidth, btnStart->sizeHint().width());
        }
        btnStart->setText(startText);
        btnStart->setFixedWidth(startWidth);
        m_barLayout->setSpacing(compact ? 2 : kBarSpacing);
        m_buttonsLayout->setSpacing(compact ? 2 : kBarSpacing);
        const bool twoRows = arrangement == TwoRows;
        m_barLayout->setDirection(twoRows ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
        m_figuresLayout->setDirection(twoRows ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
        m_buttonsLead->changeSize(0, 0, twoRows ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Minimum);
        layout()->invalidate();
        layout()->activate();
        if (arrangement == TwoRows || layout()->totalMinimumSize().width() <= width)
            return;
    }
}

bool PPTQuizStateWindowController::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool geometry = type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show || type == QEvent::Hide;
    if ((watched == pptStudentLoginView || watched == showHideWindow) && geometry) {
        fitShowToFreeArea();
    } else if (auto *forceLogin = qobject_cast<ForceLoginController *>(watched)) {
        if (type == QEvent::Show) {
            placeForceLoginWindow(forceLogin);
            m_forceLoginToPlace = forceLogin;
        } else if (type == QEvent::Paint && m_forceLoginToPlace == forceLogin) {
            // Painted, it is on the screen with the window manager's frame, whose size is known
            // only now: placed again with it, the title bar stays off the strip.
            m_forceLoginToPlace = nullptr;
            QTimer::singleShot(0, this, [this, w = QPointer<ForceLoginController>(forceLogin)] {
                if (w && w->isVisible() && w->frameGeometry() != w->geometry())
                    placeForceLoginWindow(w);
            });
        }
        if (geometry)
            QTimer::singleShot(0, this, [this] { fitShowToFreeArea(); });
    }
    if (event->type() == QEvent::Show && watched == m_run->alert.data()) {
        const QRect screen = screenRect();
        m_run->alert->move(screen.center() - QPoint(m_run->alert->width() / 2, m_run->alert->height() / 2));
    }
    return QWidget::eventFilter(watched, event);
}

void PPTQuizStateWindowController::mousePressEvent(QMouseEvent *event)
{
    showToFront();
    QWidget::mousePressEvent(event);
}

// ---- results, reports, sending, reading ----


void PPTQuizStateWindowController::OnResult()
{
    if (!btnResult->isEnabled())
        return;
    const bool teacher = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    pptStudentLoginView->setWindowToSmall();
    m_run->runChildWindow([&] { RunResultWindows::openResult(this, this, m_run->nMode, questionNo(), teacher); });
    setLoginViewToNoraml();
    if (teacher)
        RunChildWindow::clickBottomLeftLater(this); // the keypad's pointer starts again from the bar's corner
}

void PPTQuizStateWindowController::OnReport()
{
    if (!btnReport->isEnabled())
        return;
    if (m_run->nParticiptionMode != 0 && m_run->nParticiptionMode != 1)
        return;
    const bool teacher = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    pptStudentLoginView->setWindowToSmall();
    m_run->runChildWindow([&] { RunResultWindows::openReport(this, this, m_run->nParticiptionMode, m_run->nMode, questionNo(), teacher); });
    setLoginViewToNoraml();
    if (teacher)
        RunChildWindow::clickBottomLeftLater(this); // the keypad's pointer starts again from the bar's corner
}

void PPTQuizStateWindowController::OnSendQuestions()
{
    if (!btnSendQuestions->isEnabled() || !hooks().runSendQuestions)
        return;
    const bool teacher = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    m_run->runChildWindow([&] { hooks().runSendQuestions(this, false, teacher); });
    if (btnStart->isChecked() && m_run->modeObject)
        m_run->modeObject->sendPCState(3);
    showToFront();
}

QString PPTQuizStateWindowController::setMessageToPlayMusic() const
{
    if (m_nCurrentQuestionNo < 0 || m_nCurrentQuestionNo >= questionCount())
        return QStringLiteral(" ");
    return RunQuestionRecord::readAloudText(qqObject->element(questionNo()));
}

void PPTQuizStateWindowController::OnSpeech()
{
    if (!btnSpeed->isEnabled())
        return;
    if (!playMusicControl)
        playMusicControl = new PlayMusic(this);
    if (!m_run->bStartFlag)
        followShow();
    const QRect screen = screenRect();
    // Just above the bar, however tall the screen's width made it.
    const int above = std::min(screen.height() - 80, geometry().top() - 3);
    playMusicControl->setWindowOriginPoint(QPoint(screen.width() - 240, above - playMusicControl->height()));
    playMusicControl->setStrContent(setMessageToPlayMusic());
    playMusicControl->show();
    showToFront();
    playMusicControl->raise();
}

void PPTQuizStateWindowController::getContent(const Notification &n)
{
    // The read-aloud window asks for its text before it speaks.
    if (n.object && n.object == playMusicControl.data())
        playMusicControl->setStrContent(setMessageToPlayMusic());
}

void PPTQuizStateWindowController::stopReading()
{
    if (playMusicControl)
        playMusicControl->onStop();
}

// ---- run events ----

void PPTQuizStateWindowController::studentLogin(const Notification &n)
{
    if (m_run->students->loginsLocked())
        return;
    m_run->students->studentLogin(n);
    setStripForLogins();
}

void PPTQuizStateWindowController::forceLogin(const Notification &n)
{
    m_run->forceLogin(n);
}

void PPTQuizStateWindowController::studentAnswerNotification(const Notification &n)
{
    m_run->students->studentAnswerNotification(n);
}

void PPTQuizStateWindowController::studentRushNotification(const Notification &n)
{
    if (!m_run->studentRushNotification(n, questionNo(), [this] { stopAsTeacherKey(); })) {
        btnStart->setChecked(true);
        applyControls();
    }
}

void PPTQuizStateWindowController::handRaiseSelectedToAnswer(const Notification &n)
{
    m_run->handRaiseSelectedToAnswer(n, questionNo(), [this] { stopAsTeacherKey(); });
}

void PPTQuizStateWindowController::handleDeviceChanged()
{
    m_run->handleDeviceChanged();
}

// ---- keypad input ----

void PPTQuizStateWindowController::handleMachMessage()
{
    m_run->frames->handleDataReceive();
}

void PPTQuizStateWindowController::handleLongFrame(const DataOfFrame &frame)
{
    m_run->frames->handleLongFrame(frame);
}

void PPTQuizStateWindowController::handleStudentFrame(const DataOfFrame &frame)
{
    m_run->frames->handleStudentFrame(frame);
}

// ---- exit and the end of the run ----

void PPTQuizStateWindowController::OnExit()
{
    if (!btnExit->isEnabled() || m_run->closing)
        return;
    if (m_nLoginViewState == SlideShowRunRules::Large)
        pptStudentLoginView->setWindowToNormal();
    if (!m_run->confirmExit()) {
        setLoginViewToNoraml();
        showToFront();
        return;
    }
    m_run->closing = true;
    quitShow();
    if (setOnKeypads(m_run->nMode))
        pptStudentLoginView->setWindowToSmall();
    m_run->leave();
}

void PPTQuizStateWindowController::quitShow()
{
    if (m_bIsAnsSheet || !pptUI->hasPresentation())
        return;
    // The deck may hold an exam ID drawn at the start: a deck with a file keeps it, so that its
    // next run is filed under the same test.
    if (pptUI->isModified() && !pptUI->fileName().isEmpty()) {
        QString why;
        if (!pptUI->quitPPTAndSave(&why))
            PollixAlert::show(this, QStringLiteral("Pollix"), tr("The presentation could not be saved."), {tr("OK")}, why);
    }
    pptUI->quitPPT();
    // Nothing of the deck is open any more: the main window has nothing left to save.
    NotificationCenter::defaultCenter()->postNotification(Notify::GetSaveState, {{Notify::Key::SaveState, 0}}, this);
}

void PPTQuizStateWindowController::closeSelf()
{
    m_run->closeSelf();
}

void PPTQuizStateWindowController::closeEvent(QCloseEvent *event)
{
    m_run->closeEvent(event);
}

void PPTQuizStateWindowController::keyPressEvent(QKeyEvent *event)
{
    // Escape must not end a run behind the teacher's back; Exit asks first.
    if (!RunSession::escapeExits(event, [this] { OnExit(); }))
        QWidget::keyPressEvent(event);
}

bool PPTQuizStateWindowController::windowShouldClose()
{
    return m_run->windowShouldClose();
}
