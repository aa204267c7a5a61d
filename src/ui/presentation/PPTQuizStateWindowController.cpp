#include "PPTQuizStateWindowController.h"

#include "PPTBaffle.h"
#include "PPTStudentLoginView.h"

#include "core/app/CommonFunc.h"
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
#include "ui/app/Show.h"
#include "ui/app/TabController.h"
#include "ui/controls/DialogHooks.h"
#include "ui/run/ForceLoginController.h"
#include "ui/run/PlayMusic.h"
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

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

using Control = RunControls::Control;
using Phase = RunControls::Phase;
using KeyAction = TeacherKeyMap::Action;

namespace {
const QString kOkF1 = QStringLiteral("  \"F1\" OK  ");
const QString kCancelF2 = QStringLiteral("\"F2\" Cancel");
constexpr int kBarHeight = 77;
constexpr int kNormalBarHeight = 75;
constexpr QSize kBarIconSize{22, 22};

QRect screenRect()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1280, 1024);
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text = {}, bool bold = false)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
    }
    return label;
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
    if (appDelegate)
        m_nDeviceType = appDelegate->currentDeviceType();
    pptUI = PPTEditorMSO::shareManager();
    qcmObject = std::make_unique<QuizComputeMethod>();
    qqObject = QuizQuestions::shareManager();
    qpdObject = QuizParticipantData::shareManager();
    qdObject = QuizData::shareManager();
    qqObject->setStrTestTitle(QString());
    qqObject->setNTestID(0);

    buildInterface();
    pptStudentLoginView = new PPTStudentLoginView(this);
    showHideWindow = new Show(this);
    m_countDown = new RunCountDown(txtQuizTime, this);
    m_countDown->onTick = [this] {
        ++m_nAnswerTime;
        if (m_modeObject)
            m_modeObject->setQuizStateScreenTimer(m_nAnswerTime);
        ++m_nTimeElapsed;
    };
    m_countDown->onTimeUp = [this] { OnStop(); };
    m_sounds = new RunSounds(this);
    m_students = new RunStudentGrid(pptStudentLoginView->studentLoginView, pptStudentLoginView->LoginSV, txtLoginAndAnswered, this);
    m_students->modeObject = [this] { return m_modeObject.get(); };
    m_receiver = new RunReceiver([this] { return m_modeObject.get(); }, this);
    m_frames = std::make_unique<RunFrameRouter>(RunFrameRouter::Window{
        [this] { return m_modeObject.get(); },
        [this] { return m_alert.data(); },
        [this] { return m_childDepth > 0; },
        [this](KeyAction action) { press(action); },
        [this](const DataOfFrame &frame) { return TeacherKeyMap::slideShowRunAction(frame, m_nMode, m_nDeviceType); }});
    observeNotifications();
    strTimeStart = GetDateTimeNow();
}

PPTQuizStateWindowController::~PPTQuizStateWindowController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    disconnect(pptUI, nullptr, this, nullptr);
    if (appDelegate && appDelegate->objectToReceiveCommData() == this)
        appDelegate->setObjectToReceiveCommData(m_father);
    if (playMusicControl)
        playMusicControl->closeSelf();
    m_modeObject.reset();
}

void PPTQuizStateWindowController::buildInterface()
{
    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("PPTQuizStateContent"));
    content->setAttribute(Qt::WA_StyledBackground);
    content->setStyleSheet(QStringLiteral("#PPTQuizStateContent { background: #1f2a36; }"
                                          "#PPTQuizStateContent QLabel { color: #e8edf2; }"
                                          "#PPTQuizStateContent QPushButton { min-height: 30px; padding: 2px 6px; }"));
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(content);

    txtMultipleModeString = makeLabel(content, QStringLiteral("txtMultipleModeString"));
    QFont big = txtMultipleModeString->font();
    big.setPointSize(14);
    big.setBold(true);
    txtMultipleModeString->setFont(big);
    txtQuNoTitle = makeLabel(content, QStringLiteral("txtQuNoTitle"), tr("Question No.:"));
    txtQuNo = makeLabel(content, QStringLiteral("txtQuNo"), {}, true);
    txtPageAndTotalPageTitle = makeLabel(content, QStringLiteral("txtPageAndTotalPageTitle"), tr("Slide:"));
    txtPageAndTotalPage = makeLabel(content, QStringLiteral("txtPageAndTotalPage"), {}, true);
    txtLoginAndAnsweredTitle = makeLabel(content, QStringLiteral("txtLoginAndAnsweredTitle"), tr("Answered:"));
    txtLoginAndAnswered = makeLabel(content, QStringLiteral("txtLoginAndAnswered"), QStringLiteral("0 / 0"), true);
    txtHandRaiseTitle = makeLabel(content, QStringLiteral("txtHandRaiseTitle"), tr("Hand Raise:"));
    txtHandRaise = makeLabel(content, QStringLiteral("txtHandRaise"), QStringLiteral("0"), true);
    txtDone = makeLabel(content, QStringLiteral("txtDone"));
    txtDone->setStyleSheet(QStringLiteral("color: #7fd36b; font-weight: bold;"));
    // "All Done" and "Done" take the same room: nothing beside them moves.
    txtDone->setFixedWidth(txtDone->fontMetrics().horizontalAdvance(tr("All Done")) + 24);
    txtQuizTime = makeLabel(content, QStringLiteral("txtQuizTime"), QStringLiteral("0"));
    txtQuizTime->setAlignment(Qt::AlignCenter);
    txtQuizTime->setMinimumWidth(100);
    txtQuizTime->setTextInteractionFlags(Qt::NoTextInteraction);

    // Two lines of figures at the left, the run's buttons to the right.
    auto *figures = new QVBoxLayout;
    figures->setSpacing(0);
    auto *line1 = new QHBoxLayout;
    line1->addWidget(txtMultipleModeString);
    line1->addSpacing(12);
    line1->addWidget(txtDone);
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
    // A margin on the left: a click the keypad mouse makes in the screen's corner hits nothing.
    bar->setContentsMargins(16, 4, 8, 4);
    bar->setSpacing(4);
    bar->addLayout(figures, 1);
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
            bar->addWidget(txtQuizTime);
        if (row.outlet == &PPTQuizStateWindowController::btnExit)
            bar->addSpacing(16);
        bar->addWidget(b);
        // A click and a teacher key take the same path: the action checks its button first.
        connect(b, &QPushButton::clicked, this, [this, action = row.action] { (this->*action)(); });
    }
    btnStart->setCheckable(true);
    int width = 0;
    for (const QString &text : {tr("Pause"), tr("Start")}) {
        btnStart->setText(text);
        width = qMax(width, btnStart->sizeHint().width());
    }
    btnStart->setFixedWidth(width);
    setStartShowsPause(false);
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
    on(Notify::StudentElimination, [this](const Notification &n) { m_students->studentEliminationNotification(n); });
    on(Notify::StudentNextPrevious, [this](const Notification &n) { m_students->studentPaperQuizPgupPgdn(n); });
    on(Notify::StudentQuickGrouping, [this](const Notification &n) { m_students->studentQuickGroupingNotification(n); });
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
            runChildWindow([this] { hooks().runSendQuestions(this, true, false); });
    });
    on(Notify::LoginViewToNormal, [this](const Notification &) { setLoginViewToNoraml(); });
    on(Notify::StudentLogout, [this](const Notification &n) { m_students->setStudentLogout(n); });
    on(Notify::ShowHideWindow, [this](const Notification &) { setWindowToNormal(); });
    on(Notify::GetReadContent, [this](const Notification &n) { getContent(n); });
    // The teacher may step the show with its own keys: between questions the bar follows it.
    connect(pptUI, &PPTEditorMSO::showPositionChanged, this, [this](int index) {
        if (!overShow() || m_bStartFlag || m_closing || !m_loaded || m_followingShow || index < 1 || index > questionCount()
            || index - 1 == m_nCurrentQuestionNo)
            return;
        const bool forward = index - 1 > m_nCurrentQuestionNo;
        m_nCurrentQuestionNo = index - 1;
        afterStep(forward);
    });
}

void PPTQuizStateWindowController::setStrPath(const QString &path)
{
    m_strPath = path;
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
    return m_students->arrStuLoginContentTime();
}

// ---- set-up ----

void PPTQuizStateWindowController::windowDidLoad()
{
    if (m_nDeviceType == DeviceType::Arvel && appDelegate) {
        // An Arvel receiver wants one null byte before the run's frames.
        if (auto device = appDelegate->currentDevice()) {
            const uint8_t nul = 0;
            device->sendData(&nul, 1);
        }
    }
    const RunControls::Controls shown = RunControls::shown(m_nMode, m_nDeviceType);
    for (const BarButton &row : barButtons())
        if (row.control)
            (this->*row.outlet)->setVisible(shown.testFlag(row.control));
    // Arvel and Brevel keypads page a paper quiz or homework themselves: no figures of questions.
    if (setOnKeypads(m_nMode) && (m_nDeviceType == DeviceType::Arvel || m_nDeviceType == DeviceType::Brevel)) {
        for (QWidget *w : {static_cast<QWidget *>(txtLoginAndAnsweredTitle), static_cast<QWidget *>(txtLoginAndAnswered),
                           static_cast<QWidget *>(txtDone), static_cast<QWidget *>(txtQuNoTitle), static_cast<QWidget *>(txtQuNo),
                           static_cast<QWidget *>(txtPageAndTotalPage), static_cast<QWidget *>(txtPageAndTotalPageTitle)})
            w->hide();
    }
    // A paper quiz keeps its strip large: the strip key has nothing to change.
    if (m_nMode == Activity::PaperQuiz)
        btnUpHide->setEnabled(false);

    const QRect screen = screenRect();
    setGeometry(0, screen.height() - kBarHeight, screen.width(), kBarHeight);

    if (!m_bIsAnsSheet) {
        pptBaffle = new PPTBaffle(this);
        if (m_nDeviceType == DeviceType::Dravel && setOnKeypads(m_nMode))
            pptBaffle->setMessageID(QString::number(qqObject->nTestID()), qqObject->strTestTitle());
        if (m_nMode != Activity::HandRaise) {
            pptBaffle->show();
            pptBaffle->lower();
        }
    }
    pptStudentLoginView->setNMode(m_nMode);
    pptStudentLoginView->show();

    loadQuestionsInfo();
    setModeObject();
    const bool showsPages = ActivityRules::rule(m_nMode).showsPages;
    for (QWidget *w : {static_cast<QWidget *>(txtQuNoTitle), static_cast<QWidget *>(txtQuNo)})
        w->setVisible(w->isVisibleTo(this) && showsPages);
    for (QWidget *w : {static_cast<QWidget *>(txtPageAndTotalPageTitle), static_cast<QWidget *>(txtPageAndTotalPage)})
        w->setVisible(w->isVisibleTo(this) && showsPages);
    txtMultipleModeString->setStyleSheet(QStringLiteral("color: %1;").arg(QColor::fromRgbF(0.376f, 0.49f, 0.996f).name()));
    txtMultipleModeString->setText(ActivityRules::name(m_nMode));
    updateMultipleModeLabel();
    updateView_QuNo();
    updateView_PageAndTotalPage();

    m_receiver->setIdleAtOpening(m_nDeviceType);
    const bool handRaiseCount = m_nDeviceType == DeviceType::Corvel || m_nDeviceType == DeviceType::Dravel;
    txtHandRaiseTitle->setVisible(handRaiseCount);
    txtHandRaise->setVisible(handRaiseCount);
    txtHandRaise->setText(QStringLiteral("0"));
    if (handRaiseCount)
        qpdObject->setNullInLoginStudent();
    m_sounds->cue(RunSounds::Enter);
    m_phase = Phase::Opened;
    applyControls();
    if (overShow())
        followShow();
}

void PPTQuizStateWindowController::loadQuestionsInfo()
{
    QList<QuizQuestionsElement> questions;
    if (m_bIsAnsSheet) {
        QString why;
        const std::shared_ptr<ExamPaperInfo> sheet = ExamPaperInfo::unarchiveObjectWithFile(m_strPath, &why);
        if (sheet) {
            qqObject->setNTestID(sheet->nExamPaperID());
            questions = RunQuestionRecord::fromPages(sheet->arrayQuestionsInfo(), m_nMode);
        } else {
            PollixLog(QStringLiteral("answer sheet not read: %1: %2").arg(m_strPath, why));
        }
        if (const int limit = SlideShowRunRules::questionLimit(m_nMode, m_nDeviceType); limit > 0 && questions.size() > limit)
            questions.resize(limit);
    } else {
        questions = SlideShowRunRules::runQuestions(QuestionSlideFormat::copyQuesInfoSlideToArray(*pptUI), m_nMode, m_nDeviceType);
    }
    qqObject->setArrayQuestions(questions);
}

void PPTQuizStateWindowController::setModeObject()
{
    const int mode = m_nMode;
    m_modeObject = QuizModeFactory::create(mode, m_nDeviceType, true);
    const bool styled = mode != Activity::Survey && !(mode >= Activity::FreeNormalQuiz && mode <= Activity::QuickGrouping);
    if (styled && (m_modeObject || mode != Activity::PaperQuiz))
        pptStudentLoginView->setLoginViewStyle(int(ActivityRules::grid(mode, m_nDeviceType)));
    if (mode == Activity::PaperQuiz || mode == Activity::HomeWork) {
        pptStudentLoginView->setLoginViewTitle(mode == Activity::PaperQuiz ? tr("Paper Quiz") : tr("Homework"));
        qqObject->removeTeachingPlan();
    } else if (mode == Activity::Attendance) {
        pptStudentLoginView->setLoginViewTitle(tr("Attendance"));
    }
    m_students->setPaperQuizGrid(ActivityRules::grid(mode, m_nDeviceType) == ActivityRule::Grid::PaperQuiz);
    m_students->addLoggedInBefore();
    if (setOnKeypads(mode))
        setLoginViewToNoraml();
    updateQuizTime();
    m_nExcludeTeachingPlan = 0;
    for (int i = 1; i <= questionCount(); ++i)
        if (qqObject->questionType(i) != QuestionType::TeachingPlan)
            ++m_nExcludeTeachingPlan;
    if (m_modeObject)
        m_modeObject->setParticipationMode(ActivityRules::isFreeStyle(mode) ? 2 : m_nParticiptionMode);
}

void PPTQuizStateWindowController::SendWakeUpMessage(int wakeMode)
{
    m_receiver->SendWakeUpMessage(wakeMode, ActivityRules::isFreeStyle(m_nMode) ? m_nMode : -1);
}

// ---- controls ----

bool PPTQuizStateWindowController::overShow() const
{
    // A paper quiz or homework runs on the keypads: the main window closes its deck at the start.
    return !m_bIsAnsSheet && !setOnKeypads(m_nMode);
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
    RunControls::Situation s;
    s.activity = m_nMode;
    s.deviceType = m_nDeviceType;
    s.phase = m_phase;
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
    // back on top of the show each time it comes to the front.
    if (pptStudentLoginView->isVisible())
        pptStudentLoginView->raise();
    if (isVisible())
        raise();
}

// ---- start, pause, stop ----

int PPTQuizStateWindowController::runAlert(const QString &text, const QStringList &buttons)
{
    m_frames->releaseFrameInHand();
    // The window stays the frame listener: the teacher keypad's F1 and F2 press the alert's buttons.
    PollixAlert alert(QStringLiteral("Warning"), QStringLiteral("Warning"), buttons, text, this);
    // In the middle of the screen, not over the bar at its foot.
    alert.installEventFilter(this);
    m_alert = &alert;
    const int result = alert.runModal();
    m_alert = nullptr;
    return result;
}

void PPTQuizStateWindowController::setStartShowsPause(bool pause)
{
    btnStart->setText(pause ? tr("Pause") : tr("Start"));
    btnStart->setIcon(style()->standardIcon(pause ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    btnStart->setProperty("imageName", pause ? QStringLiteral("pause_normal.png") : QStringLiteral("start_normal.png"));
}

void PPTQuizStateWindowController::OnStart()
{
    if (!btnStart->isEnabled())
        return;
    const ActivityRule &r = ActivityRules::rule(m_nMode);
    const bool slides = overShow() && r.showsPages;
    // A fresh start takes the slide on show; a resume goes on with the question that runs.
    if (!m_bStartFlag && slides)
        followShow();
    else
        showToFront();
    if (!m_bStartFlag && r.checksQuestionAtStart) {
        const int q = questionNo();
        if (q > questionCount() || !RunControls::canStartQuestion(m_nMode, m_nDeviceType, qqObject->questionType(q), qqObject->answer(q))) {
            runAlert(QStringLiteral("Currently in the teaching plan mode, cannot start testing"), {kOkF1});
            btnStart->setChecked(false);
            showToFront();
            return;
        }
    }
    if (btnStart->isChecked()) {
        m_sounds->cue(RunSounds::Start);
        if (m_bStartFlag) {
            // Homework counts nothing down: its field reads "Receiving...".
            if (r.time == ActivityRule::Time::Assigning)
                m_countDown->showReceiving();
            else
                startQuizTimeCountDown();
        } else {
            start();
            updateView_QuNo();
        }
        setStartShowsPause(true);
    } else {
        m_countDown->pause();
        setStartShowsPause(false);
    }
    applyControls();
}

void PPTQuizStateWindowController::start()
{
    pptStudentLoginView->setViewMove(true);
    m_nAnswerTime = 0;
    if (m_modeObject) {
        m_modeObject->setNAnsweredNum(0);
        m_modeObject->clearArrAnswerStu();
    }
    const ActivityRule &r = ActivityRules::rule(m_nMode);
    if (m_nMode == Activity::Attendance || m_nMode == Activity::QuickGrouping) {
        // The roll is taken as question 1.
        m_nCurrentQuestionNo = 0;
    } else if (r.locksLoginsAtStart) {
        m_students->lockLogins();
        if (m_modeObject)
            m_modeObject->setAlreadStartInElimination(true);
    }
    if (m_modeObject) {
        m_modeObject->modeStart(questionNo());
        if (m_nDeviceType == DeviceType::Brevel) {
            SendWakeUpMessage(1);
        } else if (DeviceType::isLargeFamily(m_nDeviceType)) {
            if (r.questionPcStateAlways || !m_modeObject->getSendQueState())
                m_modeObject->sendPCState(3);
            else
                SendWakeUpMessage(1);
        } else {
            m_modeObject->openReceiveArvel();
        }
    }
    const int actionMode = qqObject->actionMode(questionNo());
    m_phase = Phase::Running;
    switch (ActivityRules::startStep(m_nMode, actionMode)) {
    case ActivityRule::Start::Rush:
        // No count-down until a student wins the rush.
        m_phase = Phase::AwaitingRush;
        m_countDown->showWaiting();
        pptStudentLoginView->setStudentsNormal();
        break;
    case ActivityRule::Start::Elimination:
        startQuizTimeCountDown();
        break;
    case ActivityRule::Start::PaperQuiz:
        pptStudentLoginView->setStudentsNormal();
        startQuizTimeCountDown();
        if (ActivityRules::grid(m_nMode, m_nDeviceType) == ActivityRule::Grid::PaperQuiz)
            for (int d : qpdObject->loginDeviceNos())
                pptStudentLoginView->setStudentPaperQuiz(d, 1, 0);
        if (m_modeObject)
            m_modeObject->clearArrAnswerStu();
        break;
    case ActivityRule::Start::HomeWork:
        pptStudentLoginView->setStudentsNormal();
        m_countDown->showReceiving();
        if (m_modeObject)
            m_modeObject->clearArrAnswerStu();
        break;
    case ActivityRule::Start::RollCall:
    case ActivityRule::Start::CountDown:
        pptStudentLoginView->setStudentsNormal();
        startQuizTimeCountDown();
        break;
    case ActivityRule::Start::ByActionMode:
    case ActivityRule::Start::Nothing:
        break;
    }
    if (ActivityRules::clearsEliminatedAtStart(m_nMode, actionMode))
        qdObject->setArrayEliminationStudentsDeviceNo({});
    m_students->showAnsweredCount();
    m_bStartFlag = true;
    if (m_modeObject)
        m_modeObject->setQuizStateScreenTimer(0);
}

void PPTQuizStateWindowController::startQuizTimeCountDown()
{
    m_countDown->adjustQuizTimeCountDown(SlideShowRunRules::leadIn(m_nMode, m_nDeviceType, qpdObject->getSumOfLoginStudents()));
}

void PPTQuizStateWindowController::OnStop()
{
    if (!btnStop->isEnabled())
        return;
    // The question that runs is the one stopped, whatever slide the teacher went to meanwhile.
    const bool fromKeypad = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    m_sounds->cue(RunSounds::Stop);
    stop();
    if (ActivityRules::grid(m_nMode, m_nDeviceType) == ActivityRule::Grid::PaperQuiz)
        pptStudentLoginView->clearStudentsAnswerCount();
    setStartShowsPause(false);
    applyControls();
    if (fromKeypad || !overShow())
        keepAboveShow();
    else
        showToFront();
}

void PPTQuizStateWindowController::stop()
{
    pptStudentLoginView->setViewMove(false);
    if (m_modeObject)
        m_modeObject->modeStop();
    m_receiver->stopAnswering(m_nDeviceType);
    m_bStartFlag = false;
    m_phase = Phase::Stopped;
    btnStart->setChecked(false);
    const ActivityRule &r = ActivityRules::rule(m_nMode);
    if (r.stop == ActivityRule::Stop::Survey) {
        m_countDown->stop();
        return;
    }
    if (r.stop == ActivityRule::Stop::Question) {
        m_students->markFirstRushNotTaken(questionNo());
    }
    m_countDown->stop();
    updateQuizTime();
    if (r.navigates)
        updateDoneField(true);
}

void PPTQuizStateWindowController::OnTimeUp()
{
    m_countDown->OnTimeDown();
    showToFront();
}

void PPTQuizStateWindowController::OnTimeDown()
{
    m_countDown->OnTimeUp();
    showToFront();
}

// ---- stepping ----

void PPTQuizStateWindowController::OnNext()
{
    if (!btnNext->isEnabled())
        return;
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
    if (m_modeObject)
        m_modeObject->setNAnsweredNum(0);
    m_students->showAnswered(0);
    const int actionMode = qqObject->actionMode(n);
    if (m_nMode == Activity::MultipleMode) {
        if (actionMode == ActionMode::Elimination)
            pptStudentLoginView->setStudentEliminated();
        else
            pptStudentLoginView->setStudentsNormalInMultipleMode();
    } else if (!forward) {
        pptStudentLoginView->setStudentEliminated();
    } else {
        switch (ActivityRules::gridAfterNext(m_nMode, actionMode)) {
        case ActivityRule::NextGrid::RightOnThisQuestion: m_students->restoreRightAnswers(n); break;
        case ActivityRule::NextGrid::RightOnPreviousQuestion: m_students->restoreRightAnswers(n - 1); break;
        case ActivityRule::NextGrid::AllNormal: pptStudentLoginView->setStudentsNormal(); break;
        }
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
    m_countDown->showQuestionTime(m_nMode, questionNo(), questionCount());
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
        if (m_modeObject)
            m_modeObject->setNQuestionNoExceptTeachingPlane(count);
    } else {
        txtQuNo->setText(QString());
    }
}

void PPTQuizStateWindowController::updateView_PageAndTotalPage()
{
    txtPageAndTotalPage->setText(ActivityRules::rule(m_nMode).showsPages
                                     ? QStringLiteral("%1/%2").arg(questionNo()).arg(questionCount())
                                     : QString());
}

void PPTQuizStateWindowController::updateMultipleModeLabel()
{
    if (m_nMode != Activity::MultipleMode)
        return;
    txtMultipleModeString->setText(QStringLiteral("%1: %2").arg(ActivityRules::name(Activity::MultipleMode),
                                                                  ActivityRules::actionModeName(qqObject->actionMode(questionNo()))));
}

void PPTQuizStateWindowController::updateDoneField(bool run)
{
    if (!run && !questionRun(questionNo())) {
        txtDone->setText(QString());
        return;
    }
    txtDone->setText(tr(qPrintable(RunControls::doneText(int(qdObject->arrayAlreadyTestQuestionNo().size()), m_nExcludeTeachingPlan))));
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
    if (setOnKeypads(m_nMode)) {
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
    if (setOnKeypads(m_nMode) || m_nLoginViewState != SlideShowRunRules::Small)
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
    const QRect screen = screenRect();
    setGeometry(0, screen.height() - kNormalBarHeight, screen.width(), kNormalBarHeight);
    keepAboveShow();
}

bool PPTQuizStateWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched == m_alert.data()) {
        const QRect screen = screenRect();
        m_alert->move(screen.center() - QPoint(m_alert->width() / 2, m_alert->height() / 2));
    }
    return QWidget::eventFilter(watched, event);
}

void PPTQuizStateWindowController::mousePressEvent(QMouseEvent *event)
{
    showToFront();
    QWidget::mousePressEvent(event);
}

// ---- results, reports, sending, reading ----

void PPTQuizStateWindowController::runChildWindow(const std::function<void()> &run)
{
    m_frames->releaseFrameInHand();
    ++m_childDepth;
    run();
    --m_childDepth;
    // The child may have taken the listener role for its own run.
    if (appDelegate && !m_closing)
        appDelegate->setObjectToReceiveCommData(this);
}

void PPTQuizStateWindowController::OnResult()
{
    if (!btnResult->isEnabled())
        return;
    const bool teacher = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    pptStudentLoginView->setWindowToSmall();
    runChildWindow([&] { RunResultWindows::openResult(this, this, m_nMode, questionNo(), teacher); });
    setLoginViewToNoraml();
    if (teacher)
        RunChildWindow::clickBottomLeftLater(this); // the keypad's pointer starts again from the bar's corner
}

void PPTQuizStateWindowController::OnReport()
{
    if (!btnReport->isEnabled())
        return;
    if (m_nParticiptionMode != 0 && m_nParticiptionMode != 1)
        return;
    const bool teacher = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    pptStudentLoginView->setWindowToSmall();
    runChildWindow([&] { RunResultWindows::openReport(this, this, m_nParticiptionMode, m_nMode, questionNo(), teacher); });
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
    runChildWindow([&] { hooks().runSendQuestions(this, false, teacher); });
    if (btnStart->isChecked() && m_modeObject)
        m_modeObject->sendPCState(3);
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
    if (!m_bStartFlag)
        followShow();
    const QRect screen = screenRect();
    playMusicControl->setWindowOriginPoint(QPoint(screen.width() - 240, screen.height() - 80 - playMusicControl->height()));
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
    if (m_students->loginsLocked())
        return;
    m_students->studentLogin(n);
    setStripForLogins();
}

void PPTQuizStateWindowController::forceLogin(const Notification &n)
{
    if (!m_students->loginsLocked())
        ForceLoginController::offer(forceLoginCtrl, this, n);
}

void PPTQuizStateWindowController::studentAnswerNotification(const Notification &n)
{
    m_students->studentAnswerNotification(n);
}

void PPTQuizStateWindowController::studentRushNotification(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    if (n.userInfo.value(Notify::Key::Type).toInt() == 1) {
        // The winner's answer has come: the question stops.
        bIsRunForTeacherControl = true;
        OnStop();
        bIsRunForTeacherControl = false;
        const bool right = n.userInfo.value(Notify::Key::Ans).toString() == qqObject->answer(questionNo());
        pptStudentLoginView->setStudentRushAnswered(d, right);
    } else {
        pptStudentLoginView->setStudentsRush(d);
        startQuizTimeCountDown();
        if (m_phase == Phase::AwaitingRush)
            m_phase = Phase::Running;
        btnStart->setChecked(true);
        applyControls();
    }
    m_students->showAnswered(1);
}

void PPTQuizStateWindowController::handRaiseSelectedToAnswer(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    bIsRunForTeacherControl = true;
    OnStop();
    bIsRunForTeacherControl = false;
    int points = 0;
    runChildWindow([&] { points = RunResultWindows::runHandRaiseMarking(this, this); });
    qdObject->setStudentPoint(questionNo(), d, points);
    qdObject->setStudentAnswer(questionNo(), d, QStringLiteral("A"));
}

void PPTQuizStateWindowController::handleDeviceChanged()
{
    m_receiver->handleDeviceChanged(appDelegate ? appDelegate->currentDeviceType() : DeviceType::None, m_bStartFlag);
}

// ---- keypad input ----

void PPTQuizStateWindowController::handleMachMessage()
{
    m_frames->handleDataReceive();
}

void PPTQuizStateWindowController::handleLongFrame(const DataOfFrame &frame)
{
    m_frames->handleLongFrame(frame);
}

void PPTQuizStateWindowController::handleStudentFrame(const DataOfFrame &frame)
{
    m_frames->handleStudentFrame(frame);
}

// ---- exit and the end of the run ----

void PPTQuizStateWindowController::OnExit()
{
    if (!btnExit->isEnabled() || m_closing)
        return;
    if (m_nLoginViewState == SlideShowRunRules::Large)
        pptStudentLoginView->setWindowToNormal();
    if (appDelegate)
        appDelegate->setBTeacherExit(true);
    const int result = runAlert(QStringLiteral("Are you sure to exit this Activity?"), {kOkF1, kCancelF2});
    if (result != PollixAlert::AlertFirstButtonReturn) {
        // The teacher stays: no later reader may take the flag for a leave.
        if (appDelegate)
            appDelegate->setBTeacherExit(false);
        setLoginViewToNoraml();
        showToFront();
        return;
    }
    m_closing = true;
    quitShow();
    if (setOnKeypads(m_nMode))
        pptStudentLoginView->setWindowToSmall();
    if (m_modeObject && appDelegate && appDelegate->bTeacherExit())
        m_modeObject->sendReceiveState(0xE3);
    RunTimer::after(100, this, [this] {
        if (m_modeObject) {
            m_modeObject->setWakeUpMode(2);
            m_modeObject->sendWakeFrame();
        }
        closeSelf();
    });
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
    if (windowShouldClose()) {
        m_closing = true;
        hide();
        deleteLater();
    } else {
        m_closing = false;
    }
}

void PPTQuizStateWindowController::closeEvent(QCloseEvent *event)
{
    if (m_closing && !isVisible()) {
        event->accept();
        return;
    }
    if (windowShouldClose()) {
        m_closing = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void PPTQuizStateWindowController::keyPressEvent(QKeyEvent *event)
{
    // Escape must not end a run behind the teacher's back; Exit asks first.
    if (event->key() == Qt::Key_Escape) {
        OnExit();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool PPTQuizStateWindowController::windowShouldClose()
{
    if (m_bStartFlag)
        return false;
    if (m_saveOffered)
        return true;
    m_saveOffered = true;
    m_countDown->stop();
    pptStudentLoginView->setViewMove(false);
    if (!qdObject->arrayAlreadyTestQuestionNo().isEmpty()) {
        QStringList arrQuizTime{strTimeStart, GetDateTimeNow(), QString::number(m_nTimeElapsed)};
        QuizStateWindowController::SaveRequest r;
        r.strFileName = m_strPath.isEmpty() ? QString() : QFileInfo(m_strPath).fileName();
        r.curDeviceType = m_nDeviceType;
        r.curParticipationMode = m_nParticiptionMode;
        r.curActivityMode = m_nMode;
        r.bIsFreeStyle = m_bIsFreeStyle;
        r.nIsGroup = m_nIsGroup;
        r.arrStuLoginContentTime = &m_students->arrStuLoginContentTime();
        r.arrQuizTime = &arrQuizTime;
        runChildWindow([&] {
            if (hooks().runSaveDialog) {
                hooks().runSaveDialog(this, r);
                return;
            }
            SaveToDataController::runForRun(this, r);
        });
    }
    qpdObject->removeActivityRecord();
    qqObject->removeAllQuestionsInfo();
    pptStudentLoginView->hide();
    if (pptBaffle)
        pptBaffle->hide();
    showHideWindow->hide();
    if (appDelegate)
        appDelegate->setObjectToReceiveCommData(m_father);
    if (m_father) {
        // The deck was closed with the show: the presentation buttons follow.
        if (auto *tab = qobject_cast<TabController *>(m_father.data()); tab && !m_bIsAnsSheet)
            tab->setPPTButtonState(0);
        m_father->show();
        m_father->raise();
        m_father->activateWindow();
    }
    return true;
}
