#include "FreeStyleRun.h"

#include "AnswerSetting.h"
#include "PPTStudentLoginView.h"
#include "QuizStateWindowController.h"
#include "RunStudentGrid.h"
#include "StudentLoginView.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/FreeStyleQuestions.h"
#include "core/engine/FreeStyleRules.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizQuestions.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/authoring/Controller.h"
#include "ui/authoring/Questions.h"
#include "ui/authoring/SmallQuestions.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/ScreenCapture.h"
#include "ui/controls/ScreenFit.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QStyle>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolBar>

namespace {
// The strip the window shrinks to while the question pane is hidden.
constexpr int kBottomStripHeight = 160;
// The full window leaves this much of the screen's height free.
constexpr int kPaneShownMargin = 20;
} // namespace

FreeStyleRun::FreeStyleRun(QuizStateWindowController *window) : QObject(window), w(window)
{
    setObjectName(QStringLiteral("FreeStyleRun"));
    m_controller = new Controller(w, w->bigQuestions, w->smallQuestions);
    // The toolbar sits between the status line and the panes.
    if (auto *root = qobject_cast<QBoxLayout *>(w->findChild<QWidget *>(QStringLiteral("QuizStateContent"))->layout()))
        root->insertWidget(1, m_controller->toolbar());

    auto *nc = NotificationCenter::defaultCenter();
    nc->addObserver(this, Notify::FreeStyleAddNewQuestion, [this](const Notification &n) { freestyleAddNewQuestion(n); },
                    m_controller);
    nc->addObserver(this, Notify::FreeStyleGetQuestion, [this](const Notification &n) {
        if (qobject_cast<AnswerSetting *>(n.object.data()))
            freestyleGetQuestion(n);
    });
    nc->addObserver(this, Notify::BigQuestionDeleteKey, [this](const Notification &) { freestyleDelQuestion(); },
                    m_controller);
    nc->addObserver(this, Notify::FreeStyleCutPicture, [this](const Notification &) { onCapture(); }, m_controller);
    nc->addObserver(this, Notify::ScreenShotCaption, [this](const Notification &n) { capturePicture(n.userInfo); });
    nc->addObserver(this, Notify::LoginViewToNormal, [this](const Notification &) { setLoginViewToNoraml(); });
}

FreeStyleRun::~FreeStyleRun()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    delete m_strip.data();
}

PPTStudentLoginView *FreeStyleRun::pptStudentLoginView() const
{
    return m_strip;
}

void FreeStyleRun::windowDidLoad()
{
    w->smallQuestions->setBIsFreeStyle(true);
    m_controller->initData();
    m_controller->setBToolbarEnableFlag(true);
    m_controller->setNMode(w->m_run->nMode);
    m_strip = new PPTStudentLoginView;
    m_strip->setNMode(w->m_run->nMode);
    m_strip->follow(w->m_loginView);
    w->m_bPaperEditable = true;
}

bool FreeStyleRun::setFromKeypad(int q) const
{
    return q >= 1 && q <= w->m_arrQueAddByTeacher.size() && w->m_arrQueAddByTeacher[q - 1] == 1;
}

void FreeStyleRun::questionStarted()
{
    m_controller->setAddNewState(false);
    if (m_strip)
        m_strip->setViewMove(true);
}

void FreeStyleRun::questionStopped()
{
    m_controller->setAddNewState(true);
    if (m_strip)
        m_strip->setViewMove(false);
}

void FreeStyleRun::afterStop(int q, bool stoppedBefore)
{
    if (!FreeStyleRules::answerDialogAtStop(w->m_run->nMode, setFromKeypad(q), stoppedBefore))
        return;
    // Once the stop is over: the stop may come from a keypad frame still being handled.
    QMetaObject::invokeMethod(
        this,
        [this, q] {
            if (!w->m_run->bStartFlag && w->m_nCurrentQuestionNo == q)
                w->OnAnswerSetting();
        },
        Qt::QueuedConnection);
}

void FreeStyleRun::reloadQuestionInfo(int n)
{
    const QList<QuestionSetViewPtr> &pages = w->bigQuestions->questions();
    if (n < 1 || n > pages.size())
        return;
    pages[n - 1]->setBFreeStyle(true);
    FreeStyleQuestions::reloadQuestionInfo(*pages[n - 1], n);
}

void FreeStyleRun::reloadAllQuestions()
{
    for (int n = 1; n <= int(w->bigQuestions->questions().size()); ++n)
        reloadQuestionInfo(n);
}

void FreeStyleRun::exiting()
{
    m_controller->closeColorPanel();
}

void FreeStyleRun::beforeResultWindow()
{
    if (!_bShowQuestionPane && m_strip)
        m_strip->setWindowToSmall();
}

// ---- questions ----

void FreeStyleRun::countQuestions()
{
    int questions = 0;
    for (const QuizQuestionsElement &e : w->quizQuestionsInfo->arrayQuestions())
        if (e.nQuestionType() != QuestionType::TeachingPlan)
            ++questions;
    w->m_run->nExcludeTeachingPlan = questions;
}

void FreeStyleRun::renumberPages()
{
    const QList<QuestionSetViewPtr> &pages = w->bigQuestions->questions();
    for (int i = 0; i < pages.size(); ++i) {
        pages[i]->setBFreeStyle(true);
        pages[i]->setNQuNo(i + 1);
        pages[i]->setInQuiz(false);
    }
}

void FreeStyleRun::freestyleAddNewQuestion(const Notification &n)
{
    const bool byTeacher = n.userInfo.value(Notify::Key::AddType).toString() == QLatin1String("Teacher");
    w->m_arrQueAddByTeacher.append(byTeacher ? 1 : 0);
    FreeStyleQuestions::addQuestion(n.userInfo.value(Notify::Key::QueType).toInt(),
                                    n.userInfo.value(Notify::Key::QueAns).toString(),
                                    n.userInfo.value(Notify::Key::OptionSum).toInt());
    countQuestions();
    renumberPages();
    w->m_bPaperEditable = true;
    const int current = w->smallQuestions->nCurrentQuNo();
    w->m_nCurrentQuestionNo = current;
    // Selecting the page again refreshes the buttons, the time and the page field.
    w->smallQuestions->changeSelQuestion(current);
    if (w->m_run->nMode == Activity::FreeElimination)
        w->m_run->students->restoreRightAnswers(current);
    else
        w->m_loginView->setStudentsNormal();
    w->updateQuizTime();
    w->canPageAndTotalPageBeVisible();
    w->applyControls();
}

void FreeStyleRun::freestyleDelQuestion()
{
    const int q = w->m_nCurrentQuestionNo;
    FreeStyleQuestions::deleteQuestion(q, w->m_arrQueAddByTeacher, w->m_arryAlreadTestQuetionNum);
    countQuestions();
    renumberPages();
    // The canvas and its strip have dropped the page already; the page now shown is current.
    const int current = w->smallQuestions->nCurrentQuNo();
    w->m_nCurrentQuestionNo = current;
    if (current >= 1)
        w->smallQuestions->changeSelQuestion(current);
    w->updateQuizTime();
    w->canQuNoBeVisible();
    w->canPageAndTotalPageBeVisible();
    w->updateDoneField(false);
    w->applyControls();
}

// ---- the answer ----

void FreeStyleRun::OnAnswerSetting()
{
    const int q = w->m_nCurrentQuestionNo;
    if (q < 1)
        return;
    QuizQuestions *qq = w->quizQuestionsInfo;
    AnswerSetting dialog(w);
    dialog.setParent(w);
    dialog.setNOptionSum(qq->optionNum(q));
    dialog.setNQuestionType(qq->questionType(q));
    dialog.setStrAnswer(qq->answer(q));
    dialog.setNPoint(qq->point(q));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    w->m_run->runChildWindow([&] {
        if (w->appDelegate)
            w->appDelegate->setObjectToReceiveCommData(&dialog);
        w->_bShowAnswerSetting = true;
        dialog.awakeFromNib();
        DialogHooks::runModal(&dialog);
        w->_bShowAnswerSetting = false;
    });
    if (w->m_run->nMode == Activity::FreeRushQuiz)
        markRushAnswer(qq->answer(q), true);
    if (m_controller->isColorPanelShown())
        w->lowerToNormalLevel();
    w->applyControls();
}

void FreeStyleRun::markRushAnswer(const QString &rightAnswer, bool onlyWrong)
{
    QuizMode *mode = w->m_run->modeObject.get();
    const int d = mode ? mode->nRushStuDeviceNo() : -1;
    if (d <= 0)
        return;
    const bool right = w->qdObject->getStudentAnswer(w->m_nCurrentQuestionNo, d) == rightAnswer;
    if (onlyWrong && right)
        return;
    w->m_loginView->setStudentRushAnswered(d, right);
}

void FreeStyleRun::freestyleGetQuestion(const Notification &n)
{
    const int q = w->m_nCurrentQuestionNo;
    const QString answer = n.userInfo.value(Notify::Key::QueAns).toString();
    const int type = n.userInfo.value(Notify::Key::QueType).toInt();
    if (QuestionSetView *page = w->bigQuestions->currentPage()) {
        page->setStrAnswer(answer);
        page->setNQuestionType(type);
    }
    QuizQuestions *qq = w->quizQuestionsInfo;
    qq->setQuestionType(q, type);
    qq->setAnswer(q, answer);
    qq->setPoint(q, n.userInfo.value(Notify::Key::QuePoint).toInt());
    if (w->m_run->nMode == Activity::FreeRushQuiz)
        markRushAnswer(answer, false);
    if (FreeStyleRules::evaluatesOnAnswer(w->m_run->nMode, setFromKeypad(q)) && w->m_run->modeObject)
        w->m_run->modeObject->modeStop();
    w->applyControls();
}

// ---- pane layout ----

void FreeStyleRun::OnToggle()
{
    _bShowQuestionPane = !_bShowQuestionPane;
    toNewFreeStylePaneLayout(_bShowQuestionPane);
}

void FreeStyleRun::toNewFreeStylePaneLayout(bool)
{
    const bool shown = _bShowQuestionPane;
    if (m_strip) {
        if (shown) {
            m_strip->hide();
        } else {
            m_strip->show();
            m_strip->raise();
        }
    }
    m_controller->setFreestyleBottomState(!shown);
    QPushButton *toggle = w->btnToggle;
    toggle->setProperty("imageName", shown ? QStringLiteral("mini_normal") : QStringLiteral("max_normal"));
    toggle->setIcon(w->style()->standardIcon(shown ? QStyle::SP_TitleBarShadeButton : QStyle::SP_TitleBarUnshadeButton));
    m_controller->toolbar()->show();
    hideQuestionViews(!shown);
    placeWindow();
}

void FreeStyleRun::placeWindow()
{
    // The window's least size follows what is shown now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    w->layout()->activate();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    // The frame on the area, so that the title bar and borders stay on the screen too.
    if (_bShowQuestionPane) {
        ScreenFit::setFrameGeometry(w, area.adjusted(0, 0, 0, -kPaneShownMargin));
        return;
    }
    const QMargins frame = ScreenFit::frameMargins(w);
    int inside = kBottomStripHeight;
    // The receiver's notice, while the receiver is out, comes on top of what the strip holds: in
    // the strip's own height it crowded the rest and lost its last line, the bar its buttons.
    if (const QLabel *notice = w->txtReceiverState; notice && notice->isVisibleTo(w)) {
        const QLayout *band = notice->parentWidget()->layout();
        const QMargins margins = band->contentsMargins();
        inside += notice->heightForWidth(area.width() - frame.left() - frame.right() - margins.left() - margins.right()) + band->spacing();
    }
    const int height = inside + frame.top() + frame.bottom();
    ScreenFit::setFrameGeometry(w, QRect(area.left(), area.bottom() + 1 - height, area.width(), height));
}

void FreeStyleRun::hideQuestionViews(bool hide)
{
    w->smallQuestionsSV->setVisible(!hide);
    w->bigQuestions->parentWidget()->parentWidget()->setVisible(!hide);
    w->loginViewSV->setVisible(!hide);
    w->txtMessage->setVisible(!hide && !w->txtMessage->text().isEmpty());
}

void FreeStyleRun::setLoginViewToNoraml()
{
    if (!m_strip)
        return;
    if (nLoginViewState_ == 0)
        m_strip->setWindowToNormal();
    else if (nLoginViewState_ == 2)
        m_strip->setWindowToLarge();
}

// ---- screen capture ----

void FreeStyleRun::onCapture()
{
    ScreenCapture *capture = ScreenCapture::installed();
    if (!capture || !w->bigQuestions->currentPage())
        return;
    // The window is not part of the picture.
    const QRect frame = w->geometry();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->geometry().size() : QSize(1280, 1024);
    w->move(-size.width(), -size.height());
    m_capturing = true;
    capture->start(w);
    w->setGeometry(frame);
}

void FreeStyleRun::capturePicture(const QVariantMap &info)
{
    if (!m_capturing)
        return;
    m_capturing = false;
    const QImage image = info.value(Notify::Key::Image).value<QImage>();
    QuestionSetView *page = w->bigQuestions->currentPage();
    // A capture the teacher gave up brings no picture.
    if (!page || image.isNull())
        return;
    page->addCapturedPicture(image, MyTextView::RoleCapture);
    NotificationCenter::defaultCenter()->postNotification(Notify::ChangeQuestionContent, {}, page);
    w->bigQuestions->update();
}
