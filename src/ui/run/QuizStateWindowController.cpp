#include "QuizStateWindowController.h"

#include "RunTimer.h"
#include "StudentLoginView.h"

#include "core/app/CommonFunc.h"
#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/QuizComputeMethod.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizModeFactory.h"
#include "core/engine/QuizQuestions.h"
#include "core/keypad/TovDevice.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/authoring/Questions.h"
#include "ui/authoring/SmallQuestions.h"
#include "ui/controls/PollixAlert.h"
#include "ui/run/SaveToDataController.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSoundEffect>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kOkF1 = QStringLiteral("  \"F1\" OK  ");
const QString kCancelF2 = QStringLiteral("\"F2\" Cancel");
constexpr QSize kPageSize(800, 600);

bool isFreeStyleActivity(int mode)
{
    return mode >= 9 && mode <= 12;
}

QString actionModeName(int actionMode)
{
    switch (actionMode) {
    case 3:
        return QStringLiteral("Rush Quiz");
    case 4:
        return QStringLiteral("Elimination");
    default:
        return QStringLiteral("Normal Quiz");
    }
}

QString activityName(int mode)
{
    switch (mode) {
    case 0:
    case 9:
        return QStringLiteral("Normal Quiz");
    case 1:
        return QStringLiteral("Paper Quiz");
    case 2:
        return QStringLiteral("Homework");
    case 3:
    case 10:
        return QStringLiteral("Rush Quiz");
    case 4:
    case 11:
        return QStringLiteral("Elimination");
    case 5:
        return QStringLiteral("Multiple Mode");
    case 6:
        return QStringLiteral("Survey");
    case 7:
    case 12:
        return QStringLiteral("Vote");
    case 8:
        return QStringLiteral("Attendance");
    case 13:
        return QStringLiteral("Quick Grouping");
    case 14:
        return QStringLiteral("Hand Raise");
    default:
        return QString();
    }
}

// A configured event sound: on, with a file that exists.
std::optional<QString> configuredSound(const QString &name)
{
    const auto music = TovConfigXmlDatabase::sharedConfigUI()->musicByName(name);
    if (!music)
        return std::nullopt;
    return music->path();
}

bool soundSwitchedOn(const QString &name)
{
    const auto music = TovConfigXmlDatabase::sharedConfigUI()->musicByName(name);
    return music && music->state() != 0;
}

QSoundEffect *makeSound(const QString &name, QObject *parent)
{
    const std::optional<QString> path = configuredSound(name);
    auto *effect = new QSoundEffect(parent);
    if (path && QFileInfo(*path).isFile())
        effect->setSource(QUrl::fromLocalFile(*path));
    return effect;
}

void stopIfPlaying(QSoundEffect *s)
{
    if (s && s->isPlaying())
        s->stop();
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text = QString())
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

QuizStateWindowController::Hooks &QuizStateWindowController::hooks()
{
    static Hooks h;
    return h;
}

// ---- creation ----

QuizStateWindowController::QuizStateWindowController(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("QuizState"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Pollix"));
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    qcmObject = std::make_unique<QuizComputeMethod>();
    if (appDelegate)
        m_nDeviceType = appDelegate->currentDeviceType();
    timer = new RunTimer(this);
    closeTimer = new RunTimer(this);
    moveTimer = new RunTimer(this);

    buildInterface();
    observeNotifications();

    quizQuestionsInfo = QuizQuestions::shareManager();
    quizQuestionsInfo->setStrTestTitle(QString());
    quizQuestionsInfo->setNTestID(0);
    qpdObject = QuizParticipantData::shareManager();
    qdObject = QuizData::shareManager();

    soundStart = makeSound(QStringLiteral("Start Answer"), this);
    soundStop = makeSound(QStringLiteral("Stop Answer"), this);
    soundEnter = makeSound(QStringLiteral("Enter Activity"), this);

    m_arrStuLoginContentTime = TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(qpdObject->classNo());
    strTimeStart = GetDateTimeNow();
}

QuizStateWindowController::~QuizStateWindowController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    for (QSoundEffect *s : {soundStart, soundStop, soundEnter})
        stopIfPlaying(s);
    if (appDelegate && appDelegate->objectToReceiveCommData() == this)
        appDelegate->setObjectToReceiveCommData(m_father);
    m_modeObject.reset();
}

void QuizStateWindowController::buildInterface()
{
    setStyleSheet(QStringLiteral("QuizStateWindowController#QuizState { background: #1f2a36; }"
                                 "QLabel { color: #e8edf2; }"
                                 "QPushButton[runButton=\"true\"] { min-height: 34px; padding: 2px 12px; }"));
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 8);
    root->setSpacing(6);

    // Status line: activity, question, page, answered, done, hand raises, class.
    auto *status = new QHBoxLayout;
    txtMultipleModeString = makeLabel(this, QStringLiteral("txtMultipleModeString"));
    QFont big = txtMultipleModeString->font();
    big.setPointSize(16);
    big.setBold(true);
    txtMultipleModeString->setFont(big);
    txtQuNoTitle = makeLabel(this, QStringLiteral("txtQuNoTitle"), tr("Question No.:"));
    txtQuNo = makeLabel(this, QStringLiteral("txtQuNo"));
    txtPageAndTotalPageTitle = makeLabel(this, QStringLiteral("txtPageAndTotalPageTitle"), tr("Page:"));
    txtPageAndTotalPage = makeLabel(this, QStringLiteral("txtPageAndTotalPage"));
    auto *answeredTitle = makeLabel(this, QStringLiteral("txtLoginAndAnsweredTitle"), tr("Answered / Logged in:"));
    txtLoginAndAnswered = makeLabel(this, QStringLiteral("txtLoginAndAnswered"), QStringLiteral("0 / 0"));
    txtDone = makeLabel(this, QStringLiteral("txtDone"));
    txtDone->setStyleSheet(QStringLiteral("color: #7fd36b; font-weight: bold;"));
    txtHandRaiseTitle = makeLabel(this, QStringLiteral("txtHandRaiseTitle"), tr("Hand Raise:"));
    txtHandRaise = makeLabel(this, QStringLiteral("txtHandRaise"), QStringLiteral("0"));
    txtClassName = makeLabel(this, QStringLiteral("txtClassName"));
    for (QLabel *l : {txtQuNo, txtPageAndTotalPage, txtLoginAndAnswered, txtHandRaise}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    status->addWidget(txtMultipleModeString);
    status->addSpacing(24);
    status->addWidget(txtQuNoTitle);
    status->addWidget(txtQuNo);
    status->addSpacing(16);
    status->addWidget(txtPageAndTotalPageTitle);
    status->addWidget(txtPageAndTotalPage);
    status->addSpacing(16);
    status->addWidget(answeredTitle);
    status->addWidget(txtLoginAndAnswered);
    status->addSpacing(16);
    status->addWidget(txtHandRaiseTitle);
    status->addWidget(txtHandRaise);
    status->addSpacing(16);
    status->addWidget(txtDone);
    status->addStretch(1);
    status->addWidget(txtClassName);
    root->addLayout(status);

    txtMessage = makeLabel(this, QStringLiteral("txtMessage"));
    root->addWidget(txtMessage);

    // Panes: thumbnail strip, page, student grid.
    auto *panes = new QHBoxLayout;
    smallQuestions = new SmallQuestions(QSize(int(kPageSize.width() * SmallQuestions::kScale) + 24, 400));
    smallQuestionsSV = new QScrollArea(this);
    smallQuestionsSV->setObjectName(QStringLiteral("smallQuestionsSV"));
    smallQuestionsSV->setWidget(smallQuestions);
    smallQuestionsSV->setFixedWidth(smallQuestions->width() + 20);
    smallQuestionsSV->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    smallQuestionsSV->setStyleSheet(QStringLiteral("QScrollArea { background: #dfe4ea; border: none; }"));
    bigQuestions = new Questions(kPageSize);
    bigQuestions->setSmallQuestions(smallQuestions);
    smallQuestions->setCanvas(bigQuestions);
    auto *pageHost = new QScrollArea(this);
    pageHost->setObjectName(QStringLiteral("QuestionsSV"));
    pageHost->setWidget(bigQuestions);
    pageHost->setAlignment(Qt::AlignCenter);
    pageHost->setStyleSheet(QStringLiteral("QScrollArea { background: #2c3a48; border: none; }"));
    m_loginView = new StudentLoginView;
    m_loginView->resize(5 * (StudentLoginView::buttonWidth + 2) + 8, 200);
    loginViewSV = new QScrollArea(this);
    loginViewSV->setObjectName(QStringLiteral("loginViewSV"));
    loginViewSV->setWidget(m_loginView);
    loginViewSV->setFixedWidth(m_loginView->width() + 20);
    loginViewSV->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    loginViewSV->setStyleSheet(QStringLiteral("QScrollArea { background: #f4f6f8; border: none; }"));
    panes->addWidget(smallQuestionsSV);
    panes->addWidget(pageHost, 1);
    panes->addWidget(loginViewSV);
    root->addLayout(panes, 1);

    // Run buttons and the time field.
    auto *bar = new QHBoxLayout;
    const auto button = [this](const QString &name, const QString &text, QStyle::StandardPixmap icon) {
        auto *b = new QPushButton(style()->standardIcon(icon), text, this);
        b->setObjectName(name);
        b->setProperty("runButton", true);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    btnPrevious = button(QStringLiteral("btnPrevious"), tr("Previous"), QStyle::SP_MediaSeekBackward);
    btnStart = button(QStringLiteral("btnStart"), tr("Start"), QStyle::SP_MediaPlay);
    btnStart->setCheckable(true);
    btnStart->setProperty("imageName", QStringLiteral("start_normal.png"));
    btnStop = button(QStringLiteral("btnStop"), tr("Stop"), QStyle::SP_MediaStop);
    btnNext = button(QStringLiteral("btnNext"), tr("Next"), QStyle::SP_MediaSeekForward);
    btnTimeDown = button(QStringLiteral("btnTimeDown"), QStringLiteral("-5"), QStyle::SP_ArrowDown);
    txtQuizTime = makeLabel(this, QStringLiteral("txtQuizTime"), QStringLiteral("0"));
    txtQuizTime->setAlignment(Qt::AlignCenter);
    txtQuizTime->setMinimumWidth(110);
    txtQuizTime->setTextInteractionFlags(Qt::NoTextInteraction);
    btnTimeUp = button(QStringLiteral("btnTimeUp"), QStringLiteral("+5"), QStyle::SP_ArrowUp);
    btnResult = button(QStringLiteral("btnResult"), tr("Result"), QStyle::SP_FileDialogContentsView);
    btnReport = button(QStringLiteral("btnReport"), tr("Report"), QStyle::SP_FileDialogDetailedView);
    btnSendQuestions = button(QStringLiteral("btnSendQuestions"), tr("Send Questions"), QStyle::SP_ArrowRight);
    btnRead = button(QStringLiteral("btnRead"), tr("Read"), QStyle::SP_MediaVolume);
    btnAnswerSetting = button(QStringLiteral("btnAnswerSetting"), tr("Answer Setting"), QStyle::SP_DialogApplyButton);
    btnToggle = button(QStringLiteral("btnToggle"), tr("Questions"), QStyle::SP_TitleBarShadeButton);
    btnExit = button(QStringLiteral("btnExit"), tr("Exit"), QStyle::SP_DialogCloseButton);
    for (QWidget *w : {static_cast<QWidget *>(btnPrevious), static_cast<QWidget *>(btnStart), static_cast<QWidget *>(btnStop),
                       static_cast<QWidget *>(btnNext)})
        bar->addWidget(w);
    bar->addSpacing(24);
    bar->addWidget(btnTimeDown);
    bar->addWidget(txtQuizTime);
    bar->addWidget(btnTimeUp);
    bar->addSpacing(24);
    for (QPushButton *b : {btnResult, btnReport, btnSendQuestions, btnRead, btnAnswerSetting, btnToggle})
        bar->addWidget(b);
    bar->addStretch(1);
    bar->addWidget(btnExit);
    root->addLayout(bar);

    // A mouse click and a teacher key take the same path: the action checks its button first.
    connect(btnStart, &QPushButton::clicked, this, [this] { OnStart(); });
    connect(btnStop, &QPushButton::clicked, this, [this] { OnStop(); });
    connect(btnNext, &QPushButton::clicked, this, [this] { OnNext(); });
    connect(btnPrevious, &QPushButton::clicked, this, [this] { OnPrevious(); });
    connect(btnResult, &QPushButton::clicked, this, [this] { OnResult(); });
    connect(btnReport, &QPushButton::clicked, this, [this] { OnReport(); });
    connect(btnExit, &QPushButton::clicked, this, [this] { OnExit(); });
    connect(btnSendQuestions, &QPushButton::clicked, this, [this] { OnSendQuestions(); });
    connect(btnTimeUp, &QPushButton::clicked, this, [this] { OnTimeUp(); });
    connect(btnTimeDown, &QPushButton::clicked, this, [this] { OnTimeDown(); });
    connect(btnRead, &QPushButton::clicked, this, [this] { OnSpeech(); });
}

void QuizStateWindowController::observeNotifications()
{
    NotificationCenter *nc = NotificationCenter::defaultCenter();
    const auto on = [this, nc](QLatin1String name, void (QuizStateWindowController::*handler)(const Notification &)) {
        nc->addObserver(this, name, [this, handler](const Notification &n) { (this->*handler)(n); });
    };
    nc->addObserver(this, Notify::DeviceChanged, [this](const Notification &) { handleDeviceChanged(); });
    on(Notify::StudentAnswer, &QuizStateWindowController::studentAnswerNotification);
    on(Notify::StudentRush, &QuizStateWindowController::studentRushNotification);
    on(Notify::StudentElimination, &QuizStateWindowController::studentEliminationNotification);
    on(Notify::StudentNextPrevious, &QuizStateWindowController::studentPaperQuizPgupPgdn);
    on(Notify::StudentQuickGrouping, &QuizStateWindowController::studentQuickGroupingNotification);
    on(Notify::StudentLogin, &QuizStateWindowController::studentLogin);
    on(Notify::StudentForceLogin, &QuizStateWindowController::forceLogin);
    on(Notify::StudentLogout, &QuizStateWindowController::setStudentLogout);
    on(Notify::StudentHaveQuestion, &QuizStateWindowController::studentHandRaise);
    nc->addObserver(this, Notify::HandRaiseDeviceNo,
                    [this](const Notification &n) {
                        if (n.object == m_loginView)
                            handRaiseSelectedToAnswer(n);
                    });
    nc->addObserver(this, Notify::BigQuestionBeginDoModal, [this](const Notification &) { lowerToNormalLevel(); });
    nc->addObserver(this, Notify::BigQuestionEndDoModal, [this](const Notification &) {
        if (!_bShowAnswerSetting)
            raiseToStatusLevel();
    });
    // Only this window's strip: the question editor's strip posts the same name.
    nc->addObserver(this, Notify::ChangeQuestionDisplay, [this](const Notification &n) {
        if (n.object == smallQuestions)
            selectChangeQuestion(n.userInfo.value(Notify::Key::PageQuestionNo).toInt());
    });
    on(Notify::GetReadContent, &QuizStateWindowController::getContent);
    nc->addObserver(this, Notify::SendQuestionReady, [this](const Notification &) { sendQuestionsReady(); });
    nc->addObserver(this, Notify::SendQuestionOverSetFocus, [this](const Notification &) {
        activateWindow();
        raise();
    });
}

void QuizStateWindowController::setStrPath(const QString &path)
{
    m_strPath = path;
    QuizQuestions::shareManager()->setStrTestTitle(path);
}

void QuizStateWindowController::setTestID(int id)
{
    QuizQuestions::shareManager()->setNTestID(id);
}

void QuizStateWindowController::showWindow()
{
    if (!m_loaded) {
        m_loaded = true;
        windowDidLoad();
    }
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    show();
    raise();
    activateWindow();
}

void QuizStateWindowController::windowDidLoad()
{
    if (m_nDeviceType == 1 && appDelegate) {
        // An Arvel receiver wants one null byte before the run's frames.
        if (auto device = appDelegate->currentDevice()) {
            const char nul = 0;
            device->sendData(reinterpret_cast<const uint8_t *>(&nul), 1);
        }
    }
    btnStart->setEnabled(true);
    btnExit->setEnabled(true);
    for (QPushButton *b : {btnStop, btnNext, btnPrevious, btnReport, btnResult, btnAnswerSetting})
        b->setEnabled(false);
    btnAnswerSetting->setVisible(m_nMode == 9 || m_nMode == 10 || m_nMode == 11);
    if (m_bIsFreeStyle)
        smallQuestions->setBIsFreeStyle(true);
    if (m_nMode == 2) {
        btnTimeUp->hide();
        btnTimeDown->hide();
    }
    NormalQuestionsRect = bigQuestions->geometry();
    bigQuestions->setOrginalBound(QRectF(QPointF(0, 0), QSizeF(kPageSize)));
    btnToggle->setVisible(m_bIsFreeStyle);

    setModeObject();
    smallQuestions->setBDelete(false);
    updateView_ModeDescription();
    canQuNoBeVisible();
    canPageAndTotalPageBeVisible();

    if (m_nDeviceType == 3 && (m_nMode == 1 || m_nMode == 2)) {
        btnSendQuestions->setVisible(true);
        btnSendQuestions->setEnabled(true);
        QString name = QFileInfo(m_strPath).fileName().section(QLatin1Char('.'), 0, 0);
        if (name.size() > 20)
            name = name.left(20) + QStringLiteral("...");
        txtMessage->setText(QStringLiteral("ID:%1     Title:%2").arg(QString::number(quizQuestionsInfo->nTestID()), name));
    } else {
        btnSendQuestions->setVisible(false);
        btnSendQuestions->setEnabled(false);
    }
    txtMessage->setVisible(!txtMessage->text().isEmpty());
    if (m_nMode == 1 || m_nMode == 2 || m_nMode == 8) {
        btnRead->setEnabled(false);
        btnRead->setVisible(false);
    }
    if (m_nDeviceType >= 2 && m_nDeviceType <= 4 && m_modeObject) {
        m_modeObject->sendPCState(2);
        m_pcStateSent.start();
    }
    if (m_nDeviceType == 2 || m_nDeviceType == 3) {
        txtHandRaiseTitle->setVisible(m_nMode != 8);
        txtHandRaise->setVisible(m_nMode != 8);
        txtHandRaise->setText(QStringLiteral("0"));
        qpdObject->setNullInLoginStudent();
    } else {
        txtHandRaiseTitle->hide();
        txtHandRaise->hide();
    }
    if (m_nMode == 5) {
        updateMultipleModeLabel(1);
        _nPrevQuActionMode = quizQuestionsInfo->actionMode(1);
        _bPrevQuTested = false;
    }
    m_nCurrentQuestionNo = bigQuestions->nCurrentQuestionIndex();
    txtClassName->setText(qpdObject->className());
    if (soundSwitchedOn(QStringLiteral("Enter Activity")))
        playSound(1);
    raiseToStatusLevel();
}

void QuizStateWindowController::setModeObject()
{
    const int mode = m_nMode;
    if (m_nDeviceType >= 1 && m_nDeviceType <= 4)
        m_modeObject = QuizModeFactory::create(mode, m_nDeviceType);
    else if (mode == 8)
        m_modeObject = QuizModeFactory::create(mode, 2); // the roll call serves every other receiver
    else if (mode == 13 || mode == 14)
        m_modeObject = QuizModeFactory::create(mode, 1);
    // Otherwise (infrared or no receiver) the activity has no object: keypad answers are not taken.
    int gridStyle = 1;
    if (mode == 1 && (m_nDeviceType == 1 || m_nDeviceType == 4))
        gridStyle = 3;
    else if (mode == 8 || mode == 13)
        gridStyle = 2;
    else if (mode == 14)
        gridStyle = 4;
    if (!(mode == 1 && !m_modeObject) && mode != 6)
        m_loginView->setLoginViewStyle(gridStyle);

    bool loaded = false;
    const auto hidePages = [this] {
        smallQuestionsSV->hide();
        bigQuestions->parentWidget()->parentWidget()->hide();
        loginViewSV->setMinimumWidth(0);
        loginViewSV->setMaximumWidth(QWIDGETSIZE_MAX);
    };
    switch (mode) {
    case 1:
    case 2:
        hidePages();
        loadQuestionsInfo();
        if (mode == 1)
            quizQuestionsInfo->removeTeachingPlan();
        loaded = true;
        break;
    case 8:
    case 13:
        hidePages();
        break;
    case 9:
    case 10:
    case 11:
    case 12:
        m_bPaperEditable = true;
        loaded = true;
        break;
    default:
        loadQuestionsInfo();
        loaded = true;
        break;
    }
    if (loaded) {
        if (quizQuestionsInfo->count() == 0)
            btnStart->setEnabled(false);
        if (mode != 1 && mode != 2)
            btnNext->setEnabled(quizQuestionsInfo->count() > 1);
    }
    if (mode == 5)
        updateMultipleModeLabel(1);

    for (const StudentInClassPtr &s : qpdObject->arrayLoginStudents()) {
        m_loginView->addAStudent(s);
        setSutdentLgoinTime(s);
        advanceLoginCounters();
    }
    showAnsweredCount();
    updateQuizTime();
    m_nExcludeTeachingPlan = 0;
    for (const QuizQuestionsElement &e : quizQuestionsInfo->arrayQuestions())
        if (e.nQuestionType() != 4)
            ++m_nExcludeTeachingPlan;
    if (m_modeObject)
        m_modeObject->setParticipationMode(isFreeStyleActivity(mode) ? 2 : m_nParticiptionMode);
}

void QuizStateWindowController::loadQuestionsInfo()
{
    if (m_strPath.isEmpty())
        return;
    if (!bigQuestions->openFile(m_strPath)) {
        PollixLog(QStringLiteral("question file not read: %1").arg(m_strPath));
        return;
    }
    quizQuestionsInfo->setNTestID(bigQuestions->epi() ? bigQuestions->epi()->nExamPaperID() : 0);
    quizQuestionsInfo->removeAllQuestionsInfo();
    smallQuestions->setBDelete(false);
    if ((m_nDeviceType == 2 || m_nDeviceType == 3) && (m_nMode == 1 || m_nMode == 2)) {
        // The keypads hold at most 60 questions.
        while (bigQuestions->questions().size() > 60)
            bigQuestions->deleteQuestion(int(bigQuestions->questions().size()));
    }
    const QList<QuestionSetViewPtr> pages = bigQuestions->questions();
    QList<QuizQuestionsElement> list;
    for (int i = 0; i < pages.size(); ++i) {
        QuestionSetView &page = *pages[i];
        if (i < smallQuestions->array().size())
            smallQuestions->array()[i]->setBDelete(false);
        page.setBFreeStyle(m_bIsFreeStyle);
        page.setNQuNo(i + 1);
        page.setInQuiz(!m_bPaperEditable);
        QuizQuestionsElement e;
        if (page.getQuestionTitle())
            e.setStrTitle(page.questionText());
        for (int k = 0; k < 10; ++k)
            if (page.getOption(k))
                e.setStrOption(k, page.optionText(k));
        e.setNPoint(page.nQuestionPoint());
        e.setNQuizTime(page.nQuestionTimeLimit());
        e.setNRushTime(page.nQuestionRushTimeLimit());
        e.setNRushPoint(page.nQuestionDePoint());
        const int action = page.nQuestionActionMode();
        e.setNActionMode(action == 1 ? 3 : action == 2 ? 4 : action);
        e.setNQuestionType(page.nQuestionType());
        if (page.nQuestionType() == 5) {
            e.setNOptionNum(2);
            const QString a = page.strAnswer();
            if (a == QLatin1String("A") || a == QLatin1String("True"))
                e.setStrAnswer(QStringLiteral("True"));
            else if (a == QLatin1String("B") || a == QLatin1String("False"))
                e.setStrAnswer(QStringLiteral("False"));
            else
                e.setStrAnswer(QStringLiteral("nocorrect"));
        } else {
            e.setStrAnswer(page.strAnswer());
            e.setNOptionNum(page.getOptionNum());
        }
        if (e.nActionMode() == 7 && m_nMode != 7)
            e.setStrAnswer(QStringLiteral("nocorrect"));
        e.setStrStandard(page.strStandardCode());
        e.setStrStandardTitle(page.strStandardTitle());
        e.setNDiffcult(page.nQuestionDifficulty());
        list.append(e);
    }
    quizQuestionsInfo->setArrayQuestions(list);
}

void QuizStateWindowController::SendWakeUpMessage(int wakeMode)
{
    if (!m_modeObject)
        return;
    // The keypads need half a second after the idle PC state before the wake frame.
    const qint64 since = m_pcStateSent.isValid() ? m_pcStateSent.elapsed() : 500;
    const auto send = [this, wakeMode] {
        if (!m_modeObject)
            return;
        if (isFreeStyleActivity(m_nMode))
            m_modeObject->setQFreeMode(m_nMode);
        m_modeObject->setWakeUpMode(wakeMode);
        m_modeObject->sendWakeFrame();
    };
    if (since < 500)
        RunTimer::after(int(500 - since), this, send);
    else
        send();
}

// ---- login records and counters ----

void QuizStateWindowController::setSutdentLgoinTime(const StudentInClassPtr &s)
{
    if (!s)
        return;
    const QString now = GetDateTimeNow();
    for (StudentEntity &e : m_arrStuLoginContentTime) {
        if (e.id().compare(s->studentID(), Qt::CaseInsensitive) == 0) {
            e.setLoginTime(now);
            return;
        }
    }
    StudentEntity e;
    e.setId(s->studentID());
    e.setFirstName(s->studentFirstName());
    e.setLastName(s->studentLastName());
    e.setDeviceNo(s->deviceNo());
    e.setGroupNo(s->groupNo());
    e.setBirthday(s->birthDay());
    e.setDuty(s->duty());
    e.setRemark(s->remark());
    e.setEMail(s->eMail());
    e.setAddress(s->address());
    e.setTelephone(s->telephone());
    e.setGender(s->gender());
    e.setLoginTime(now);
    m_arrStuLoginContentTime.append(e);
}

void QuizStateWindowController::advanceLoginCounters()
{
    // Integer division toward zero, as the grid's paging expects.
    m_nMoveHeight = ((m_nLoginStudentSum - 43) / 3) * 44;
    ++m_nLoginStudentSum;
}

void QuizStateWindowController::setLoginStudentAndAnswered(int logined, int answered)
{
    txtLoginAndAnswered->setText(QStringLiteral("%1 / %2").arg(answered).arg(logined));
}

void QuizStateWindowController::showAnsweredCount()
{
    setLoginStudentAndAnswered(qpdObject->getSumOfLoginStudents(), m_modeObject ? m_modeObject->nAnsweredNum() : 0);
}

// ---- start, pause, stop ----

bool QuizStateWindowController::isInvalidQuestionType(int q) const
{
    if (m_nDeviceType != 0 && m_nDeviceType != 1)
        return false;
    const int type = quizQuestionsInfo->questionType(q);
    return type != 0 && type != 5;
}

int QuizStateWindowController::runAlert(const QString &text, const QStringList &buttons)
{
    releaseFrameInHand();
    PollixAlert alert(QStringLiteral("Warning"), QStringLiteral("Warning"), buttons, text, this);
    m_alert = &alert;
    lowerToNormalLevel();
    const int result = alert.runModal();
    m_alert = nullptr;
    raiseToStatusLevel();
    return result;
}

void QuizStateWindowController::showStartRefusal()
{
    runAlert(QStringLiteral("Currently in the teaching plan mode, cannot start testing"), {kOkF1});
    btnStart->setChecked(false);
}

void QuizStateWindowController::setStartShowsPause(bool pause)
{
    btnStart->setText(pause ? tr("Pause") : tr("Start"));
    btnStart->setIcon(style()->standardIcon(pause ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    btnStart->setProperty("imageName", pause ? QStringLiteral("pause_normal.png") : QStringLiteral("start_normal.png"));
}

void QuizStateWindowController::OnStart()
{
    if (!btnStart->isEnabled())
        return;
    if (m_nMode == 10 && m_modeObject)
        m_modeObject->setNRushStuDeviceNo(-1);
    if (m_nMode != 1 && m_nMode != 2 && m_nMode != 8) {
        m_nCurrentQuestionNo = bigQuestions->nCurrentQuestionIndex();
        const int q = m_nCurrentQuestionNo;
        const bool teachingPlan = quizQuestionsInfo->questionType(q) == 4;
        const bool noAnswer = quizQuestionsInfo->answer(q) == QLatin1String("nocorrect") && m_nMode != 7;
        if (!m_bStartFlag && (teachingPlan || noAnswer || isInvalidQuestionType(q))) {
            showStartRefusal();
            return;
        }
    }
    if (btnStart->isChecked()) {
        if (soundSwitchedOn(QStringLiteral("Start Answer")))
            playSound(2);
        if (m_bStartFlag) {
            // Homework counts nothing down: its field reads "Receiving...", which a count-down
            // would take for zero and stop the collection two seconds after the resume.
            if (m_nMode == 2)
                startQuizTimeHomeWork();
            else
                startQuizTimeCountDown();
            setStartShowsPause(true);
        } else {
            btnStop->setEnabled(true);
            for (QPushButton *b : {btnNext, btnPrevious, btnReport, btnResult, btnExit})
                b->setEnabled(false);
            start();
            setStartShowsPause(true);
            canQuNoBeVisible();
        }
    } else {
        pauseQuizTimeCountDown();
        setStartShowsPause(false);
    }
}

void QuizStateWindowController::start()
{
    setViewMove(true);
    // The running question stays selected: a thumbnail click would run the stop on another question.
    smallQuestions->setEnabled(false);
    m_nAnswerTime = 0;
    const int mode = m_nMode;
    if (mode == 8) {
        m_nCurrentQuestionNo = 1;
    } else {
        if (mode == 4 || mode == 11) {
            bAlreadStartInElimination = true;
            if (m_modeObject)
                m_modeObject->setAlreadStartInElimination(true);
        }
        if (isFreeStyleActivity(mode) && m_modeObject) {
            const int i = m_nCurrentQuestionNo - 1;
            m_modeObject->setSetByTeacherDeivce(i >= 0 && i < m_arrQueAddByTeacher.size() && m_arrQueAddByTeacher[i] == 1);
        }
    }
    if (m_modeObject) {
        m_modeObject->modeStart(m_nCurrentQuestionNo);
        if (m_nDeviceType == 4) {
            SendWakeUpMessage(1);
        } else if (m_nDeviceType == 2 || m_nDeviceType == 3) {
            if (mode == 1 || mode == 2 || mode == 3 || mode == 8)
                m_modeObject->sendPCState(3);
            else if (m_modeObject->getSendQueState())
                SendWakeUpMessage(1);
            else
                m_modeObject->sendPCState(3);
        } else if (m_nDeviceType == 0 || m_nDeviceType == 1) {
            m_modeObject->openReceiveArvel();
        }
    }
    const auto rushStart = [this] {
        btnStart->setEnabled(false);
        setTimeFieldColors(QColor(0x3c, 0xc8, 0x3c), Qt::black);
        m_loginView->setStudentsNormal();
        if (m_modeObject)
            m_modeObject->setQuizStateScreenTimer(0);
    };
    switch (mode) {
    case 3:
    case 10:
        rushStart();
        break;
    case 4:
    case 11:
        startQuizTimeCountDown();
        break;
    case 1:
        m_loginView->setStudentsNormal();
        startQuizTimeCountDown();
        if (m_nDeviceType == 1 || m_nDeviceType == 4)
            for (int d : qpdObject->loginDeviceNos())
                m_loginView->setStudentPaperQuiz(d, 1, false);
        if (m_modeObject)
            m_modeObject->clearArrAnswerStu();
        break;
    case 2:
        m_loginView->setStudentsNormal();
        startQuizTimeHomeWork();
        if (m_modeObject)
            m_modeObject->clearArrAnswerStu();
        break;
    case 8:
    case 13:
        m_loginView->setStudentsNormal();
        startQuizTimeCountDown();
        m_nCurrentQuestionNo = 1;
        break;
    case 5: {
        const int action = quizQuestionsInfo->actionMode(m_nCurrentQuestionNo);
        if (action == 3) {
            rushStart();
        } else if (action == 0 || action == 4 || action == 7) {
            startQuizTimeCountDown();
            m_loginView->setStudentsNormal();
        }
        if (action != 4)
            qdObject->setArrayEliminationStudentsDeviceNo({});
        break;
    }
    default:
        startQuizTimeCountDown();
        m_loginView->setStudentsNormal();
        break;
    }
    if (m_modeObject)
        m_modeObject->setNAnsweredNum(0);
    showAnsweredCount();
    m_bStartFlag = true;
    if (m_modeObject)
        m_modeObject->setQuizStateScreenTimer(0);
}

void QuizStateWindowController::OnStop()
{
    if (!btnStop->isEnabled())
        return;
    if (soundSwitchedOn(QStringLiteral("Stop Answer")))
        playSound(3);
    stop();
    if ((m_nDeviceType == 1 || m_nDeviceType == 4) && m_nMode == 1)
        m_loginView->clearStudentsAnswerCount();
    setStartShowsPause(false);
    if (m_nMode == 8)
        return;
    btnAnswerSetting->setEnabled(true);
    if (!m_arryAlreadTestQuetionNum.contains(m_nCurrentQuestionNo))
        m_arryAlreadTestQuetionNum.append(m_nCurrentQuestionNo);
    if (m_nMode == 10 && m_modeObject) {
        const int d = m_modeObject->nRushStuDeviceNo();
        if (d > 0) {
            const QString a = qdObject->getStudentAnswer(m_nCurrentQuestionNo, d);
            if (a == QLatin1String("__N") || a != quizQuestionsInfo->answer(m_nCurrentQuestionNo))
                m_loginView->setStudentRushAnswered(d, false);
        }
    }
}

void QuizStateWindowController::afterStopCommon()
{
    const int q = m_nCurrentQuestionNo;
    const int last = thumbnailCount();
    btnNext->setEnabled(q < last);
    if (q > 1)
        btnPrevious->setEnabled(true);
    updateDoneField(true);
}

void QuizStateWindowController::stop()
{
    setViewMove(false);
    smallQuestions->setEnabled(true);
    const int mode = m_nMode;
    const int q = m_nCurrentQuestionNo;
    if (m_modeObject)
        m_modeObject->modeStop();
    if (m_modeObject) {
        if (m_nDeviceType >= 2 && m_nDeviceType <= 4)
            m_modeObject->sendPCState(2);
        else
            m_modeObject->closeReceiveArvel();
    }
    m_bStartFlag = false;
    btnStart->setChecked(false);
    switch (mode) {
    case 0:
    case 3:
    case 5:
    case 9:
    case 10:
    case 11:
    case 12: {
        if (mode == 5 || isFreeStyleActivity(mode)) {
            _nPrevQuActionMode = quizQuestionsInfo->actionMode(q);
            _bPrevQuTested = true;
        }
        for (const StudentInClassPtr &s : qpdObject->arrayLoginStudents()) {
            if (qdObject->getStudentAnswer(q, s->deviceNo()) == QLatin1String("__N")) {
                m_loginView->setStudentRushAnswered(s->deviceNo(), false);
                break;
            }
        }
        stopQuizTimeCountDown();
        btnReport->setEnabled(true);
        btnResult->setEnabled(true);
        btnExit->setEnabled(true);
        btnStop->setEnabled(false);
        afterStopCommon();
        if (mode == 11 || (mode == 5 && quizQuestionsInfo->actionMode(q) == 4))
            btnStart->setEnabled(false);
        if (mode == 12)
            btnReport->setEnabled(false);
        break;
    }
    case 4:
        stopQuizTimeCountDown();
        btnStart->setEnabled(false);
        btnReport->setEnabled(true);
        btnResult->setEnabled(true);
        btnExit->setEnabled(true);
        btnStop->setEnabled(false);
        afterStopCommon();
        break;
    case 7:
    case 14:
        stopQuizTimeCountDown();
        btnReport->setEnabled(mode == 14);
        btnResult->setEnabled(mode == 7);
        btnExit->setEnabled(true);
        btnStop->setEnabled(false);
        afterStopCommon();
        break;
    case 1:
    case 2:
        if (mode == 2)
            stopQuizTimeHomeWork();
        else
            stopQuizTimeCountDown();
        btnReport->setEnabled(true);
        btnResult->setEnabled(false);
        btnExit->setEnabled(true);
        btnStop->setEnabled(false);
        btnNext->setEnabled(false);
        btnPrevious->setEnabled(false);
        break;
    case 8:
    case 13:
        stopQuizTimeCountDown();
        btnReport->setEnabled(false);
        btnResult->setEnabled(true);
        btnExit->setEnabled(true);
        btnStop->setEnabled(false);
        btnNext->setEnabled(false);
        btnPrevious->setEnabled(false);
        break;
    default:
        // Survey: the page returns to its place; nothing else changes.
        timer->stop();
        btnStop->setEnabled(false);
        btnExit->setEnabled(true);
        btnStart->setEnabled(true);
        break;
    }
}

// ---- exit and closing ----

void QuizStateWindowController::OnExit()
{
    if (!btnExit->isEnabled() || m_closing)
        return;
    if (appDelegate)
        appDelegate->setBTeacherExit(true);
    const int result = runAlert(QStringLiteral("Are you sure to exit this Activity?"), {kOkF1, kCancelF2});
    if (result != PollixAlert::AlertFirstButtonReturn) {
        // The teacher stays: no later reader may take the flag for a leave.
        if (appDelegate)
            appDelegate->setBTeacherExit(false);
        return;
    }
    exitAfterAlert();
}

void QuizStateWindowController::exitAfterAlert()
{
    m_closing = true;
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

void QuizStateWindowController::closeSelf()
{
    if (windowShouldClose()) {
        m_closing = true;
        hide();
        deleteLater();
    } else {
        m_closing = false;
    }
}

void QuizStateWindowController::closeEvent(QCloseEvent *event)
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

bool QuizStateWindowController::windowShouldClose()
{
    if (m_bStartFlag)
        return false;
    if (m_saveOffered)
        return true;
    m_saveOffered = true;
    timer->stop();
    moveTimer->stop();
    if (!qdObject->arrayAlreadyTestQuestionNo().isEmpty()) {
        QStringList arrQuizTime{strTimeStart, GetDateTimeNow(), QString::number(m_nTimeElapsed)};
        SaveRequest r;
        r.strFileName = m_strPath.isEmpty() ? QString() : QFileInfo(m_strPath).fileName();
        r.curDeviceType = m_nDeviceType;
        r.curParticipationMode = m_nParticiptionMode;
        r.curActivityMode = m_nMode;
        r.bIsFreeStyle = m_bIsFreeStyle;
        r.nIsGroup = m_nIsGroup;
        r.arrStuLoginContentTime = &m_arrStuLoginContentTime;
        r.arrQuizTime = &arrQuizTime;
        runChildWindow([&] {
            if (hooks().runSaveDialog) {
                hooks().runSaveDialog(this, r);
                return;
            }
            SaveToDataController dialog(this);
            dialog.setStrFileName(r.strFileName);
            dialog.setCurDeviceType(r.curDeviceType);
            dialog.setCurParticipationMode(r.curParticipationMode);
            dialog.setCurActivityMode(r.curActivityMode);
            dialog.setBIsFreeStyle(r.bIsFreeStyle);
            dialog.setNIsGroup(r.nIsGroup);
            dialog.setArrStuLoginContentTime(r.arrStuLoginContentTime);
            dialog.setArrQuizTime(r.arrQuizTime);
            if (appDelegate)
                appDelegate->setObjectToReceiveCommData(&dialog);
            dialog.exec();
        });
    }
    qpdObject->removeActivityRecord();
    quizQuestionsInfo->removeAllQuestionsInfo();
    if (appDelegate)
        appDelegate->setObjectToReceiveCommData(m_father);
    if (m_father) {
        if (m_bIsFreeStyle)
            m_father->resize(810, 170);
        m_father->show();
        m_father->raise();
        m_father->activateWindow();
    }
    return true;
}

void QuizStateWindowController::runChildWindow(const std::function<void()> &run)
{
    releaseFrameInHand();
    lowerToNormalLevel();
    ++m_childDepth;
    run();
    --m_childDepth;
    // The child may have taken the listener role for its own run.
    if (appDelegate && !m_closing)
        appDelegate->setObjectToReceiveCommData(this);
    raiseToStatusLevel();
}

// ---- keypad input ----

void QuizStateWindowController::handleMachMessage()
{
    handleDataReceive();
}

void QuizStateWindowController::handleDataReceive()
{
    if (!appDelegate)
        return;
    const DataOfFrame frame = appDelegate->frameToHandle();
    const int type = appDelegate->currentDeviceType();
    if (frame.isNull() || type < 0 || type > 4) {
        appDelegate->signalConditionOfDataHandled();
        return;
    }
    if (type == 0 || type == 1)
        handleDataReceiveArvel(frame);
    else
        handleDataReceiveCorvel_Dravel(frame);
}

void QuizStateWindowController::handleDataReceiveArvel(const DataOfFrame &frame)
{
    appDelegate->signalConditionOfDataHandled();
    const uint8_t *b = frame.data();
    PollixLogf("data receive in QuizState : %02x\t%02x\t%02x\n", b[0], b[1], b[2]);
    if (frame.isTeacherCommand())
        RX_TeacherCommandArvel(frame.teacherCommand());
    else if (frame.isStudentCommand())
        handleStudentFrame(frame);
}

void QuizStateWindowController::handleStudentFrame(const DataOfFrame &frame)
{
    if (!m_modeObject)
        return;
    m_modeObject->setFrameToHandle(frame);
    m_modeObject->handleStudentCommandArvel();
}

void QuizStateWindowController::RX_TeacherCommandArvel(int key)
{
    if (m_alert) {
        // F1 and F2 answer the alert that is up; nothing else reaches the window meanwhile.
        if (key == 0x88)
            m_alert->pressButton(0);
        else if (key == 0x89)
            m_alert->pressButton(1);
        return;
    }
    // A child window that left the listener role here owns the teacher's keys while it is up.
    if (m_childDepth > 0)
        return;
    switch (key) {
    case 0x80:
        OnPrevious();
        break;
    case 0x82:
        OnExit();
        break;
    case 0x83:
        clickIfEnabled(btnResult);
        break;
    case 0x84:
        clickIfEnabled(btnReport);
        break;
    case 0x85:
        clickIfEnabled(btnStart);
        break;
    case 0x86:
        OnStop();
        break;
    case 0x87:
        OnNext();
        break;
    default:
        break;
    }
}

void QuizStateWindowController::clickIfEnabled(QPushButton *button)
{
    if (button->isEnabled())
        button->click();
}

void QuizStateWindowController::handleDataReceiveCorvel_Dravel(const DataOfFrame &frame)
{
    if (frame.isShortFrame())
        handleShortFrame(frame);
    else
        handleLongFrame(frame);
}

void QuizStateWindowController::handleLongFrame(const DataOfFrame &frame)
{
    m_frameInHand = true;
    if (m_modeObject) {
        m_modeObject->setFrameToHandle(frame);
        m_modeObject->handleDataReceiveCorvel_Dravel();
    }
    releaseFrameInHand();
}

void QuizStateWindowController::releaseFrameInHand()
{
    // Once per frame. A child window or alert opened while a frame is handled releases it first:
    // the receiver offers nothing more until it is signalled, and the child needs the next frames.
    if (!m_frameInHand)
        return;
    m_frameInHand = false;
    if (appDelegate)
        appDelegate->signalConditionOfDataHandled();
}

void QuizStateWindowController::handleShortFrame(const DataOfFrame &frame)
{
    appDelegate->signalConditionOfDataHandled();
    if (frame.cmd() != 0xF4 || !frame.isTeacherCommand())
        return;
    const int key = frame.teacherCommand();
    if (m_alert) {
        if (key == 0x81)
            m_alert->pressButton(0);
        else if (key == 0x82)
            m_alert->pressButton(1);
        return;
    }
    // Only the keypad mouse works for the window while a child window is up.
    if (m_childDepth > 0 && key != 0xFC)
        return;
    switch (key) {
    case 0x81:
        if (m_nDeviceType == 3 && (m_nMode == 1 || m_nMode == 2))
            OnSendQuestions();
        break;
    case 0x84:
        OnPrevious();
        break;
    case 0x85:
        OnExit();
        break;
    case 0x86:
        OnNext();
        break;
    case 0x8A:
        clickIfEnabled(btnStart);
        break;
    case 0x8B:
        OnStop();
        break;
    case 0x8C:
        OnReport();
        break;
    case 0x8D:
        OnResult();
        break;
    case 0xFC: {
        const int b0 = frame.dataAt(0);
        if (b0 != 0xE0) {
            if (hooks().startMouseFunction)
                hooks().startMouseFunction(b0);
        } else if (hooks().newStartMouseFunction) {
            hooks().newStartMouseFunction(frame.dataAt(1), frame.dataAt(2));
        }
        break;
    }
    default:
        break;
    }
}

// ---- run events ----

void QuizStateWindowController::addLoggedInStudent(const StudentInClassPtr &s)
{
    m_loginView->addAStudent(s);
    showAnsweredCount();
    m_loginView->setStudentLogined(s->deviceNo());
    setSutdentLgoinTime(s);
    advanceLoginCounters();
}

void QuizStateWindowController::studentLogin(const Notification &n)
{
    if (bAlreadStartInElimination)
        return;
    const auto s = n.userInfo.value(Notify::Key::StudentInClass).value<StudentInClassPtr>();
    if (s)
        addLoggedInStudent(s);
}

void QuizStateWindowController::forceLogin(const Notification &n)
{
    if (bAlreadStartInElimination)
        return;
    const auto s = n.userInfo.value(Notify::Key::StudentInfo).value<StudentInClassPtr>();
    if (s && hooks().forceLogin)
        hooks().forceLogin(this, s);
}

void QuizStateWindowController::setStudentLogout(const Notification &n)
{
    m_loginView->setStudentExited(n.userInfo.value(Notify::Key::StudentDevice).toInt());
}

void QuizStateWindowController::studentAnswerNotification(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    if (m_modeObject)
        m_modeObject->setNAnsweredNum(n.userInfo.value(Notify::Key::AnsNum).toInt());
    if (m_nMode == 1 && (m_nDeviceType == 1 || m_nDeviceType == 4))
        m_loginView->setStudentPaperQuizAnswered(d);
    else
        m_loginView->setStudentAnswered(d);
    showAnsweredCount();
}

void QuizStateWindowController::studentRushNotification(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    if (n.userInfo.value(Notify::Key::Type).toInt() != 1) {
        m_loginView->setStudentRushed(d);
        startQuizTimeCountDown();
        btnStart->setEnabled(true);
    } else {
        OnStop();
        const bool right = n.userInfo.value(Notify::Key::Ans).toString() == quizQuestionsInfo->answer(m_nCurrentQuestionNo);
        m_loginView->setStudentRushAnswered(d, right);
    }
    setLoginStudentAndAnswered(qpdObject->getSumOfLoginStudents(), 1);
}

void QuizStateWindowController::studentEliminationNotification(const Notification &n)
{
    m_loginView->setStudentEliminateAnswered(n.userInfo.value(Notify::Key::DeviceNo).toInt(),
                                             n.userInfo.value(Notify::Key::Type).toInt() == 0);
}

void QuizStateWindowController::studentPaperQuizPgupPgdn(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    const int q = n.userInfo.value(Notify::Key::QuestionNo).toInt();
    const bool answered = n.userInfo.value(Notify::Key::AnswerState).toBool();
    if (m_nMode == 1 && (m_nDeviceType == 1 || m_nDeviceType == 4))
        m_loginView->setStudentPaperQuiz(d, q, answered);
    else
        m_loginView->setStudent(d, q, answered);
}

void QuizStateWindowController::studentQuickGroupingNotification(const Notification &n)
{
    const QString answer = n.userInfo.value(Notify::Key::Answer).toString();
    // Only the letters "A" to "G" name a group; anything else would give a group that does not exist.
    if (!answer.isEmpty() && answer.at(0) >= QLatin1Char('A') && answer.at(0) <= QLatin1Char('G'))
        m_loginView->setStudentChangedToGroup(n.userInfo.value(Notify::Key::DeviceNo).toInt(),
                                              answer.at(0).unicode() - 64);
    setLoginStudentAndAnswered(qpdObject->getSumOfLoginStudents(), n.userInfo.value(Notify::Key::Sum).toInt());
}

void QuizStateWindowController::studentHandRaise(const Notification &n)
{
    txtHandRaise->setText(QString::number(n.userInfo.value(Notify::Key::Count).toInt()));
}

void QuizStateWindowController::handRaiseSelectedToAnswer(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    OnStop();
    if (!hooks().runHandRaiseMarking)
        return;
    std::optional<int> points;
    runChildWindow([&] { points = hooks().runHandRaiseMarking(this, d); });
    if (!points)
        return;
    qdObject->setStudentPoint(m_nCurrentQuestionNo, d, *points);
    qdObject->setStudentAnswer(m_nCurrentQuestionNo, d, QStringLiteral("A"));
}

void QuizStateWindowController::handleDeviceChanged()
{
    if (!m_modeObject)
        return;
    m_modeObject->getNewDevice();
    const int type = appDelegate ? appDelegate->currentDeviceType() : -1;
    if (type == 0 || type == 1) {
        if (m_bStartFlag)
            m_modeObject->openReceiveArvel();
        else
            m_modeObject->closeReceiveArvel();
    } else if (type >= 2 && type <= 4) {
        m_modeObject->sendPCState(m_bStartFlag ? 3 : 2);
    }
}

void QuizStateWindowController::OnSendQuestions()
{
    if (!btnSendQuestions->isEnabled())
        return;
    if (hooks().runSendQuestions)
        runChildWindow([this] { hooks().runSendQuestions(this, false); });
    if (btnStart->isChecked() && m_modeObject)
        m_modeObject->sendPCState(3);
}

void QuizStateWindowController::sendQuestionsReady()
{
    if (hooks().runSendQuestions)
        runChildWindow([this] { hooks().runSendQuestions(this, true); });
}

// ---- count-down ----

void QuizStateWindowController::updateQuizTime()
{
    const int q = bigQuestions->nCurrentQuestionIndex();
    int value = 0;
    switch (m_nMode) {
    case 1:
        for (int i = 1; i <= int(bigQuestions->questions().size()); ++i)
            value += quizQuestionsInfo->quizTime(i);
        break;
    case 2:
        stopQuizTimeHomeWork();
        return;
    case 3:
        value = quizQuestionsInfo->rushTime(q);
        break;
    case 5:
        value = quizQuestionsInfo->actionMode(q) == 3 ? quizQuestionsInfo->rushTime(q) : quizQuestionsInfo->quizTime(q);
        break;
    case 8:
    case 13:
        value = 60;
        break;
    case 9:
    case 11:
    case 12:
        value = m_nCurrentQuestionNo > 0 ? quizQuestionsInfo->quizTime(m_nCurrentQuestionNo) : 0;
        break;
    case 10:
        value = m_nCurrentQuestionNo > 0 ? quizQuestionsInfo->rushTime(m_nCurrentQuestionNo) : 0;
        break;
    default:
        value = quizQuestionsInfo->quizTime(q);
        break;
    }
    QFont f = txtQuizTime->font();
    f.setBold(true);
    f.setPointSize(27);
    txtQuizTime->setFont(f);
    txtQuizTime->setText(QString::number(value));
    setTimeFieldColors(Qt::black, Qt::white);
}

int QuizStateWindowController::quizTimeValue() const
{
    return txtQuizTime->text().toInt();
}

void QuizStateWindowController::setTimeFieldColors(const QColor &background, const QColor &text)
{
    txtQuizTime->setProperty("backgroundColor", background);
    txtQuizTime->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; border-radius: 4px; padding: 0 8px; }")
                                   .arg(background.name(), text.name()));
}

void QuizStateWindowController::startQuizTimeCountDown()
{
    adjustQuizTimeCountDown(0);
}

void QuizStateWindowController::adjustQuizTimeCountDown(int delay)
{
    nAdjustTime = delay;
    timer->start([this] { adjustTimeCountDown(); });
    setTimeFieldColors(QColor(0x3c, 0xc8, 0x3c), Qt::black);
}

void QuizStateWindowController::adjustTimeCountDown()
{
    --nAdjustTime;
    if (nAdjustTime > 0)
        return;
    timer->start([this] { startCountDown(); });
}

void QuizStateWindowController::startCountDown()
{
    const int value = quizTimeValue() - 1;
    if (value > 0) {
        txtQuizTime->setText(QString::number(value));
        ++m_nAnswerTime;
        if (m_modeObject)
            m_modeObject->setQuizStateScreenTimer(m_nAnswerTime);
        ++m_nTimeElapsed;
    } else {
        OnStop();
    }
}

void QuizStateWindowController::pauseQuizTimeCountDown()
{
    timer->stop();
    setTimeFieldColors(QColor(0xf0, 0xd0, 0x20), Qt::black);
}

void QuizStateWindowController::stopQuizTimeCountDown()
{
    timer->stop();
    btnStart->setEnabled(true);
    btnStart->show();
    updateQuizTime();
}

void QuizStateWindowController::startQuizTimeHomeWork()
{
    txtQuizTime->setText(tr("Receiving..."));
    setTimeFieldColors(QColor(0x3c, 0xc8, 0x3c), Qt::black);
}

void QuizStateWindowController::stopQuizTimeHomeWork()
{
    QFont f = txtQuizTime->font();
    f.setBold(true);
    f.setPointSize(14);
    txtQuizTime->setFont(f);
    txtQuizTime->setText(tr("Assigning"));
    setTimeFieldColors(Qt::black, Qt::white);
}

void QuizStateWindowController::OnTimeUp()
{
    const int v = quizTimeValue();
    if (v < 900)
        txtQuizTime->setText(QString::number(qMin(900, v + 5)));
}

void QuizStateWindowController::OnTimeDown()
{
    const int v = quizTimeValue();
    if (v >= 6)
        txtQuizTime->setText(QString::number(v - 5));
}

// ---- sounds ----

void QuizStateWindowController::playSound(int type)
{
    m_nPlaySoundtype = type;
    nPlaySoundTime = 3;
    if (type == 2) {
        if (soundEnter->isPlaying())
            soundEnter->stop();
        else
            stopIfPlaying(soundStop);
        soundStart->play();
    } else if (type == 3) {
        stopIfPlaying(soundStart);
        soundStop->play();
    } else if (type == 1) {
        soundEnter->play();
    }
    closeTimer->stop();
    m_bCloseTimerisValid = true;
    closeTimer->start([this] { startPlaySound(); });
}

void QuizStateWindowController::startPlaySound()
{
    if (nPlaySoundTime == 0)
        return;
    if (--nPlaySoundTime > 0)
        return;
    QSoundEffect *current = m_nPlaySoundtype == 1 ? soundEnter : m_nPlaySoundtype == 2 ? soundStart : soundStop;
    stopIfPlaying(current);
    m_bCloseTimerisValid = false;
    closeTimer->stop();
}

// ---- grid scroll ----

void QuizStateWindowController::setViewMove(bool on)
{
    if (on)
        moveTimer->start([this] { startMove(); });
    else
        moveTimer->stop();
}

void QuizStateWindowController::startMove()
{
    if (m_nLoginStudentSum <= 45)
        return;
    loginViewSV->verticalScrollBar()->setValue(m_nMoveHeight);
    const int limit = ((m_nLoginStudentSum - 45) / 3) * 42 + 100;
    if (m_nMoveHeight <= 39) {
        bMoveDown = false;
        m_nMoveHeight += 660;
    } else if (m_nMoveHeight > limit) {
        bMoveDown = true;
        m_nMoveHeight -= 660;
    } else {
        m_nMoveHeight += bMoveDown ? -660 : 660;
    }
}

// ---- display fields and navigation ----

void QuizStateWindowController::updateView_ModeDescription()
{
    QPalette p = txtMultipleModeString->palette();
    txtMultipleModeString->setStyleSheet(QStringLiteral("color: %1;").arg(QColor::fromRgbF(0.376f, 0.49f, 0.996f).name()));
    txtMultipleModeString->setPalette(p);
    txtMultipleModeString->setText(activityName(m_nMode));
}

void QuizStateWindowController::updateMultipleModeLabel(int q)
{
    if (m_nMode != 5)
        return;
    txtMultipleModeString->setText(
        QStringLiteral("%1: %2").arg(QStringLiteral("Multiple Mode"), actionModeName(quizQuestionsInfo->actionMode(q))));
}

void QuizStateWindowController::canQuNoBeVisible()
{
    const bool visible = m_nMode != 1 && m_nMode != 2 && m_nMode != 8 && m_nMode != 13;
    txtQuNoTitle->setVisible(visible);
    txtQuNo->setVisible(visible);
    const int pos = qdObject->getPageQuestionNo(m_nCurrentQuestionNo);
    if (pos == -1) {
        txtQuNo->setText(QString());
    } else {
        txtQuNo->setText(QString::number(pos));
        if (m_modeObject)
            m_modeObject->setNQuestionNoExceptTeachingPlane(pos);
    }
}

void QuizStateWindowController::canPageAndTotalPageBeVisible()
{
    const bool visible = m_nMode != 1 && m_nMode != 2 && m_nMode != 8 && m_nMode != 13;
    txtPageAndTotalPageTitle->setVisible(visible);
    txtPageAndTotalPage->setVisible(visible);
    const int total = quizQuestionsInfo->count();
    const int current = qMin(m_nCurrentQuestionNo, total);
    txtPageAndTotalPage->setText(QStringLiteral("%1/%2").arg(current).arg(total));
}

void QuizStateWindowController::updateDoneField(bool forceRun)
{
    if (!forceRun && !qcmObject->getQuestionIsTest(m_nCurrentQuestionNo)) {
        txtDone->setText(QString());
        return;
    }
    txtDone->setText(qdObject->arrayAlreadyTestQuestionNo().size() == m_nExcludeTeachingPlan ? tr("All Done") : tr("Done"));
}

int QuizStateWindowController::thumbnailCount() const
{
    return int(smallQuestions->array().size());
}

int QuizStateWindowController::stripCurrent() const
{
    return smallQuestions->nCurrentQuNo();
}

void QuizStateWindowController::afterNavigation(int n)
{
    const bool run = qcmObject->getQuestionIsTest(n);
    if (run) {
        if (m_nMode == 4 || m_nMode == 11)
            btnStart->setEnabled(false);
        updateDoneField(true);
    } else {
        if (m_nMode == 4)
            btnStart->setEnabled(true);
        txtDone->setText(QString());
    }
    if (m_nMode == 5) {
        btnStart->setEnabled(quizQuestionsInfo->actionMode(n) != 4 || !run);
        updateMultipleModeLabel(n);
    }
    updateQuizTime();
    canQuNoBeVisible();
    canPageAndTotalPageBeVisible();
}

void QuizStateWindowController::OnNext()
{
    if (!btnNext->isEnabled())
        return;
    btnResult->setEnabled(false);
    btnAnswerSetting->setEnabled(false);
    if (m_modeObject)
        m_modeObject->setNAnsweredNum(0);
    showAnsweredCount();
    const int last = thumbnailCount();
    if (stripCurrent() >= last) {
        btnNext->setEnabled(false);
        btnPrevious->setEnabled(true);
        return;
    }
    const int n = stripCurrent() + 1;
    smallQuestions->selectedQuestionNo(n);
    btnNext->setEnabled(n < last);
    if (n > 1)
        btnPrevious->setEnabled(true);
    afterNavigation(n);
    const auto restoreRightAnswers = [this](int q) {
        m_loginView->setStudentEliminated();
        for (const StudentInClassPtr &s : qpdObject->arrayLoginStudents())
            if (qdObject->getStudentAnswer(q, s->deviceNo()) == quizQuestionsInfo->answer(q))
                m_loginView->setStudentsNormal(s->deviceNo());
    };
    if (m_nMode == 11)
        restoreRightAnswers(n);
    else if (m_nMode == 4 || (m_nMode == 5 && quizQuestionsInfo->actionMode(n) == 4))
        restoreRightAnswers(n - 1);
    else
        m_loginView->setStudentsNormal();
}

void QuizStateWindowController::OnPrevious()
{
    if (!btnPrevious->isEnabled())
        return;
    if (stripCurrent() <= 1) {
        btnPrevious->setEnabled(false);
        btnNext->setEnabled(true);
        return;
    }
    const int n = stripCurrent() - 1;
    smallQuestions->selectedQuestionNo(n);
    btnPrevious->setEnabled(n > 1);
    btnNext->setEnabled(n < thumbnailCount());
    afterNavigation(n);
    m_loginView->setStudentEliminated();
}

void QuizStateWindowController::selectChangeQuestion(int n)
{
    m_nCurrentQuestionNo = n;
    if (m_nMode != 8) {
        const bool run = m_arryAlreadTestQuetionNum.contains(n);
        btnResult->setEnabled(run && !m_bStartFlag);
        btnAnswerSetting->setEnabled(run && !m_bStartFlag);
        if (m_nMode == 11)
            btnStart->setEnabled(!run);
    }
    updateQuizTime();
    if (m_bStartFlag)
        return; // a running question keeps its buttons
    const int last = thumbnailCount();
    if (n >= last) {
        btnPrevious->setEnabled(n > 1);
        btnNext->setEnabled(false);
    } else if (n <= 1) {
        btnNext->setEnabled(true);
        btnPrevious->setEnabled(false);
    } else {
        btnNext->setEnabled(true);
        btnPrevious->setEnabled(true);
    }
    const bool run = qcmObject->getQuestionIsTest(n);
    if (m_nMode == 4)
        btnStart->setEnabled(!run);
    updateDoneField(false);
    if (m_nMode == 1 || m_nMode == 2) {
        btnNext->setEnabled(false);
        btnPrevious->setEnabled(false);
    }
    if (m_nMode == 5)
        updateMultipleModeLabel(n);
    setLoginStudentAndAnswered(qpdObject->getSumOfLoginStudents(), 0);
    if (m_nMode != 4 && m_nMode != 11) {
        if (m_nMode == 5 && _nPrevQuActionMode == 4 && _bPrevQuTested) {
            if (quizQuestionsInfo->actionMode(n) != 4)
                m_loginView->setStudentsNormalInMultipleMode();
            else
                m_loginView->setStudentEliminated();
        } else {
            m_loginView->setStudentsNormal();
        }
    }
    if (m_nMode == 5) {
        _nPrevQuActionMode = quizQuestionsInfo->actionMode(n);
        _bPrevQuTested = run;
    }
    canPageAndTotalPageBeVisible();
}

void QuizStateWindowController::OnResult()
{
    if (!btnResult->isEnabled())
        return;
    if (hooks().openResult)
        runChildWindow([this] { hooks().openResult(this, m_nMode, m_nCurrentQuestionNo); });
}

void QuizStateWindowController::OnReport()
{
    if (!btnReport->isEnabled())
        return;
    if (m_nParticiptionMode != 0 && m_nParticiptionMode != 1)
        return;
    if (hooks().openReport)
        runChildWindow([this] { hooks().openReport(this, m_nParticiptionMode, m_nMode, m_nCurrentQuestionNo); });
}

void QuizStateWindowController::OnSpeech()
{
    if (!btnRead->isEnabled())
        return;
    if (isFreeStyleActivity(m_nMode) && m_nCurrentQuestionNo < 1)
        return;
    if (hooks().openReadAloud)
        hooks().openReadAloud(this);
}

void QuizStateWindowController::getContent(const Notification &n)
{
    // The read-aloud window asks for its text before it speaks; it takes it with setStrContent().
    if (n.object)
        QMetaObject::invokeMethod(n.object, "setStrContent", Qt::DirectConnection, Q_ARG(QString, setMessageToPlayMusic()));
}

QString QuizStateWindowController::setMessageToPlayMusic() const
{
    const int q = bigQuestions->nCurrentQuestionIndex();
    QString text = quizQuestionsInfo->questionTitle(q);
    const int type = quizQuestionsInfo->questionType(q);
    int options = 0;
    if (type == 5)
        options = 2;
    else if (type == 0 || type == 1)
        options = quizQuestionsInfo->optionNum(q) < 2 ? 0 : qMin(10, quizQuestionsInfo->optionNum(q));
    for (int k = 0; k < options; ++k)
        text += QStringLiteral("\n Option%1: %2 \n").arg(QChar(u'A' + k), quizQuestionsInfo->option(k, q));
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

// ---- window levels ----

void QuizStateWindowController::raiseToStatusLevel()
{
    if (m_statusLevel)
        return;
    m_statusLevel = true;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (visible)
        show();
}

void QuizStateWindowController::lowerToNormalLevel()
{
    if (!m_statusLevel)
        return;
    m_statusLevel = false;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    if (visible)
        show();
}

void QuizStateWindowController::keyPressEvent(QKeyEvent *event)
{
    // Escape must not close a run behind the teacher's back; Exit asks first.
    if (event->key() == Qt::Key_Escape) {
        OnExit();
        return;
    }
    QWidget::keyPressEvent(event);
}
