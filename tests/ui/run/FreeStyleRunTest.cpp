#include "RunWindowFixture.h"

#include "core/engine/QuizComputeMethod.h"
#include "core/presentation/MouseFunction.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "support/DialogAnswers.h"
#include "support/PointerClicks.h"
#include "support/TextContrast.h"
#include "ui/authoring/Controller.h"
#include "ui/authoring/Questions.h"
#include "ui/authoring/SmallQuestions.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/ScreenCapture.h"
#include "ui/run/AnswerSetting.h"
#include "ui/run/FreeStyleRun.h"
#include "ui/run/PPTStudentLoginView.h"
#include "ui/run/SaveToDataController.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolBar>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {

// How the teacher answers the answer dialog: single answer letter or letters ticked as a
// multiple answer, and the points.
struct AnswerChoice
{
    QString letters;
    bool multiple = false;
    int points = 10;
};

class FreeStyleRunTest : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        DialogHooks::setModalResponder([this](QDialog *d) {
            auto *dialog = qobject_cast<AnswerSetting *>(d);
            if (!dialog)
                return 0;
            ++dialogsOpened;
            offered << dialog->nOptionSum();
            if (choices.isEmpty()) {
                dialog->onCancel();
                return 1;
            }
            const AnswerChoice c = choices.takeFirst();
            (c.multiple ? dialog->rowMultiple : dialog->rowSingle)->setChecked(true);
            for (QChar letter : c.letters) {
                const int k = letter.unicode() - u'A';
                if (c.multiple)
                    dialog->checkBoxes[k]->setChecked(true);
                else
                    dialog->answerCells[k]->setChecked(true);
            }
            dialog->point->setText(QString::number(c.points));
            dialog->onOk();
            return dialog->result();
        });
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ScreenCapture::install(nullptr);
        RunWindowFixture::TearDown();
    }

    // A free-style run on a Dravel receiver with three logged-in students.
    SimReceiver *openFreeStyle(int activity, const QString &stalePath = QString())
    {
        SimReceiver *sim = plugIn(Model::Dravel);
        if (!sim || !waitFor([&] { return app()->getBHaveDevice(); }))
            return nullptr;
        EXPECT_TRUE(TovConfigXmlDatabase::sharedConfigUI()->updateSendQuestionState(0));
        makeClass(3);
        const int id = 0;
        window = ActivityWindowOpener::open(nullptr, 3, activity, 0, true, 0, stalePath, &id);
        for (int i = 1; i <= 3; ++i)
            sim->login(0x0100 + i, QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')));
        EXPECT_TRUE(waitFor([&] { return grid()->count() == 3 && keypadsLoggedIn(sim, 0x0101, 3); }));
        return sim;
    }
    Controller *toolbar() const { return window->freeStyle()->toolbar(); }
    Questions *canvas() const { return window->bigQuestions; }
    int device(int i) const { return grid()->students()[i].student()->deviceNo(); }

    // Adds a page of n options from the toolbar and writes its question.
    void addPage(int options, const QString &question)
    {
        toolbar()->cmbTemplate->setCurrentIndex(toolbar()->arrayTemplateNum().indexOf(options));
        toolbar()->tbiAddNew->trigger();
        canvas()->currentPage()->getQuestionTitle()->textview()->setString(question);
    }
    void start() { button("btnStart")->click(); }
    void stop()
    {
        button("btnStop")->click();
        QCoreApplication::processEvents(); // the answer dialog opens once the stop is over
    }
    void answer(SimReceiver *sim, int student, const QString &text)
    {
        const int before = qdAnswerCount();
        sim->answer(0x0100 + student, text);
        EXPECT_TRUE(waitFor([&] { return qdAnswerCount() > before; }));
    }
    int qdAnswerCount() const
    {
        int n = 0;
        for (int q = 1; q <= QuizData::shareManager()->recordCount(); ++q)
            for (int i = 0; i < 3; ++i)
                n += !QuizData::shareManager()->getStudentAnswer(q, device(i)).isEmpty();
        return n;
    }
    // Closes the window; the session the save dialog would write.
    QuizEntity closeAndSave()
    {
        QuizEntity saved;
        QuizStateWindowController::hooks().runSaveDialog = [&](QuizStateWindowController *, const auto &r) {
            SaveToDataController d;
            d.setStrFileName(r.strFileName);
            d.setCurDeviceType(r.curDeviceType);
            d.setCurActivityMode(r.curActivityMode);
            d.setBIsFreeStyle(r.bIsFreeStyle);
            d.setArrStuLoginContentTime(r.arrStuLoginContentTime);
            d.setArrQuizTime(r.arrQuizTime);
            d.awakeFromNib();
            saved = d.NormalSave();
        };
        EXPECT_TRUE(window->windowShouldClose());
        return saved;
    }
    static QString answerOf(const QuizEntity &q, const QString &student, int questionNo)
    {
        for (const ResponseDataEntity &r : q.allStudentsAns())
            if (r.studentID() == student && r.questionID() == QString::number(questionNo))
                return r.response() + "=" + r.studentPoint();
        return "missing";
    }

    QList<AnswerChoice> choices;
    QList<int> offered;
    QObject m_spy;
    int dialogsOpened = 0;
};

} // namespace

TEST_F(FreeStyleRunTest, ThreeQuestionsWrittenAskedAndAnsweredAfterwardsAreSavedInPairs)
{
    // A file loaded in the main window before free style was chosen is no part of the run.
    SimReceiver *sim = openFreeStyle(Activity::FreeNormalQuiz, home() + QStringLiteral("Old Quiz.px"));
    ASSERT_TRUE(sim);
    EXPECT_TRUE(window->strPath().isEmpty());
    EXPECT_FALSE(button("btnStart")->isEnabled()) << "nothing to ask yet";
    EXPECT_TRUE(button("btnToggle")->isEnabled());
    EXPECT_FALSE(button("btnAnswerSetting")->isEnabled());
    button("btnToggle")->click();

    // Question 1, written with the toolbar, asked twice: the dialog comes once, after the first stop.
    addPage(4, QStringLiteral("How many legs has a cat?"));
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 1);
    EXPECT_TRUE(button("btnStart")->isEnabled());
    EXPECT_EQ(label("txtPageAndTotalPage"), QStringLiteral("1/1"));
    start();
    choices << AnswerChoice{QStringLiteral("D"), false, 5};
    stop();
    EXPECT_EQ(dialogsOpened, 1);
    EXPECT_EQ(offered.value(0), 4) << "only the page's options can be the answer";
    EXPECT_EQ(QuizQuestions::shareManager()->answer(1), QStringLiteral("D"));
    EXPECT_EQ(canvas()->currentPage()->strAnswer(), QStringLiteral("D"));
    EXPECT_TRUE(button("btnAnswerSetting")->isEnabled()) << "the answer can still be changed";
    start();
    answer(sim, 1, QStringLiteral("D"));
    answer(sim, 2, QStringLiteral("B"));
    stop();
    EXPECT_EQ(dialogsOpened, 1);

    // Question 2: a multiple answer ticked as C and A is "AC".
    addPage(4, QStringLiteral("Which are even?"));
    EXPECT_FALSE(button("btnAnswerSetting")->isEnabled()) << "a new page has not been asked";
    start();
    answer(sim, 1, QStringLiteral("AC"));
    answer(sim, 3, QStringLiteral("A"));
    choices << AnswerChoice{QStringLiteral("CA"), true, 8};
    stop();
    EXPECT_EQ(dialogsOpened, 2);
    EXPECT_EQ(QuizQuestions::shareManager()->answer(2), QStringLiteral("AC"));

    // Question 3, set on the teacher keypad with twelve options and its answer: ten options, no dialog.
    sim->teacherFrame(0xF7, QByteArray::fromHex("000c") + "C");
    ASSERT_TRUE(waitFor([] { return QuizQuestions::shareManager()->count() == 3; }));
    EXPECT_EQ(canvas()->questions().size(), 3);
    EXPECT_EQ(canvas()->currentPage()->getOptionNum(), 10);
    EXPECT_EQ(QuizQuestions::shareManager()->optionNum(3), 10);
    canvas()->currentPage()->getQuestionTitle()->textview()->setString(QStringLiteral("Pick C"));
    start();
    answer(sim, 2, QStringLiteral("C"));
    stop();
    EXPECT_EQ(dialogsOpened, 2);

    const QuizEntity q = closeAndSave();
    EXPECT_EQ(q.actionType(), QStringLiteral("1"));
    EXPECT_EQ(q.title(), QString());
    ASSERT_EQ(q.allQuestions().size(), 3);
    EXPECT_EQ(q.allQuestions()[0].title(), QStringLiteral("How many legs has a cat?"));
    EXPECT_EQ(q.allQuestions()[0].rightAns(), QStringLiteral("D"));
    EXPECT_EQ(q.allQuestions()[0].mark(), 5);
    EXPECT_EQ(q.allQuestions()[1].title(), QStringLiteral("Which are even?"));
    EXPECT_EQ(q.allQuestions()[1].rightAns(), QStringLiteral("AC"));
    EXPECT_EQ(q.allQuestions()[1].mark(), 8);
    EXPECT_EQ(q.allQuestions()[2].title(), QStringLiteral("Pick C"));
    EXPECT_EQ(q.allQuestions()[2].rightAns(), QStringLiteral("C"));
    EXPECT_EQ(q.allQuestions()[2].optionNum(), 10);
    EXPECT_EQ(answerOf(q, "S001", 1), "D=5");
    EXPECT_EQ(answerOf(q, "S002", 1), "B=0");
    EXPECT_EQ(answerOf(q, "S001", 2), "AC=8");
    EXPECT_EQ(answerOf(q, "S003", 2), "A=0");
    EXPECT_EQ(answerOf(q, "S002", 3), "C=10");
    EXPECT_EQ(answerOf(q, "S001", 3), "__=0");
}

TEST_F(FreeStyleRunTest, AMiddlePageDeletedDuringTheRunTakesOnlyItsOwnAnswersWithIt)
{
    SimReceiver *sim = openFreeStyle(Activity::FreeNormalQuiz);
    ASSERT_TRUE(sim);
    button("btnToggle")->click();
    const QStringList letters{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    for (int i = 0; i < 3; ++i) {
        addPage(4, QStringLiteral("Question %1").arg(i + 1));
        start();
        answer(sim, 1, letters[i]);
        choices << AnswerChoice{letters[i], false, 10};
        stop();
    }
    // Back to page 2, which goes.
    button("btnPrevious")->click();
    ASSERT_EQ(window->nCurrentQuestionNo(), 2);
    DialogAnswers answers;
    answers.answerAlert(0); // "Yes"
    toolbar()->tbiDel->trigger();
    ASSERT_EQ(canvas()->questions().size(), 2);
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 2);
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), (QList<int>{1, 2}));
    EXPECT_EQ(window->arryAlreadTestQuetionNum(), (QList<int>{1, 2}));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(2, device(0)), QStringLiteral("C"));
    EXPECT_EQ(label("txtPageAndTotalPage"), QStringLiteral("2/2"));

    const QuizEntity q = closeAndSave();
    ASSERT_EQ(q.allQuestions().size(), 2);
    EXPECT_EQ(q.allQuestions()[0].title(), QStringLiteral("Question 1"));
    EXPECT_EQ(q.allQuestions()[0].rightAns(), QStringLiteral("A"));
    EXPECT_EQ(q.allQuestions()[1].title(), QStringLiteral("Question 3"));
    EXPECT_EQ(q.allQuestions()[1].rightAns(), QStringLiteral("C"));
    EXPECT_EQ(answerOf(q, "S001", 1), "A=10");
    EXPECT_EQ(answerOf(q, "S001", 2), "C=10");
}

TEST_F(FreeStyleRunTest, DeletingTheLastPageLeavesNothingToStartAndNoIsNoDelete)
{
    ASSERT_TRUE(openFreeStyle(Activity::FreeNormalQuiz));
    button("btnToggle")->click();
    addPage(2, QStringLiteral("Only one"));
    QList<QString> posted;
    NotificationCenter::defaultCenter()->addObserver(&m_spy, QString(), [&](const Notification &n) {
        if (n.object == toolbar())
            posted << n.name;
    });
    DialogAnswers answers;
    answers.answerAlert(1); // "No"
    toolbar()->tbiDel->trigger();
    EXPECT_EQ(posted, (QList<QString>{Notify::BigQuestionBeginDoModal, Notify::BigQuestionEndDoModal}));
    EXPECT_EQ(canvas()->questions().size(), 1);
    answers.answerAlert(0);
    toolbar()->tbiDel->trigger();
    EXPECT_EQ(canvas()->questions().size(), 0);
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 0);
    EXPECT_FALSE(button("btnStart")->isEnabled());
    EXPECT_FALSE(toolbar()->tbiDel->isEnabled());
}

// The teacher confirms Exit and, before the window has gone (its keypads are told first), clicks
// Delete: the window closes once Delete's question is over, and is not deleted inside it with the
// question and the toolbar's code still running.
TEST_F(FreeStyleRunTest, AnExitConfirmedJustBeforeDeleteClosesTheWindowAfterDeletesQuestion)
{
    ASSERT_TRUE(openFreeStyle(Activity::FreeNormalQuiz));
    button("btnToggle")->click();
    addPage(2, QStringLiteral("Only one"));
    {
        DialogAnswers answers;
        answers.answerAlert(0); // "OK": the window goes at the next pass of the event loop
        window->OnExit();
    }
    // Delete's question comes up for real; should it stay, it is closed so that the test goes on.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(kEventWaitMs);
    QTest::mouseClick(toolbar()->toolbar()->widgetForAction(toolbar()->tbiDel), Qt::LeftButton);
    EXPECT_TRUE(guard.isActive()) << "Delete's question stayed up";
    EXPECT_TRUE(waitFor([this] { return window.isNull(); }));
}

TEST_F(FreeStyleRunTest, EliminationTakesAToolbarQuestionsAnswerOnce)
{
    SimReceiver *sim = openFreeStyle(Activity::FreeElimination);
    ASSERT_TRUE(sim);
    button("btnToggle")->click();
    addPage(4, QStringLiteral("Who stays?"));
    start();
    answer(sim, 1, QStringLiteral("B"));
    answer(sim, 2, QStringLiteral("C"));
    // The teacher cancels the dialog: the question is not judged, and Answer Setting stays open.
    stop();
    ASSERT_EQ(dialogsOpened, 1);
    EXPECT_TRUE(button("btnAnswerSetting")->isEnabled());
    EXPECT_FALSE(button("btnStart")->isEnabled()) << "an elimination question runs once";
    choices << AnswerChoice{QStringLiteral("B"), false, 10};
    button("btnAnswerSetting")->click();
    EXPECT_EQ(dialogsOpened, 2);
    EXPECT_EQ(QuizQuestions::shareManager()->answer(1), QStringLiteral("B"));
    EXPECT_FALSE(button("btnAnswerSetting")->isEnabled()) << "the answer decided who is out, once";
}

TEST_F(FreeStyleRunTest, ThePaneTogglesBetweenTheWholeScreenAndABottomStrip)
{
    ASSERT_TRUE(openFreeStyle(Activity::FreeNormalQuiz));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    PPTStudentLoginView *strip = window->freeStyle()->pptStudentLoginView();
    ASSERT_TRUE(strip);
    // The run opens as a strip across the bottom of the screen, the students' strip in front.
    EXPECT_FALSE(window->freeStyle()->bShowQuestionPane());
    // (Across the whole screen: the test screen is narrower than the run bar, so at least that.)
    const auto isBottomStrip = [&] {
        const QRect g = window->geometry();
        return g.height() == 160 && g.bottom() == screen.bottom() && g.width() >= screen.width();
    };
    EXPECT_TRUE(isBottomStrip()) << window->geometry().x() << "," << window->geometry().y() << " "
                                 << window->geometry().width() << "x" << window->geometry().height();
    EXPECT_TRUE(strip->isVisible());
    EXPECT_FALSE(window->bigQuestions->isVisibleTo(window));
    EXPECT_FALSE(window->loginViewSV->isVisibleTo(window));
    EXPECT_EQ(strip->studentLoginView->count(), 3) << "the strip shows who logged in";
    EXPECT_TRUE(toolbar()->toolbar()->isVisibleTo(window));
    EXPECT_FALSE(toolbar()->pubControl->isEnabled()) << "no page tools without the page";
    EXPECT_TRUE(toolbar()->tbiAddNew->isEnabled());

    button("btnToggle")->click();
    EXPECT_EQ(window->geometry().top(), screen.top());
    EXPECT_EQ(window->geometry().height(), screen.height() - 20);
    EXPECT_FALSE(strip->isVisible());
    EXPECT_TRUE(window->bigQuestions->isVisibleTo(window));
    EXPECT_TRUE(window->loginViewSV->isVisibleTo(window));
    EXPECT_EQ(button("btnToggle")->property("imageName").toString(), QStringLiteral("mini_normal"));

    button("btnToggle")->click();
    EXPECT_TRUE(isBottomStrip());
    EXPECT_EQ(button("btnToggle")->property("imageName").toString(), QStringLiteral("max_normal"));
    // Marks on the window's grid show on the strip as well.
    grid()->setStudentRushed(device(0));
    EXPECT_EQ(strip->studentLoginView->buttonColor(0), StudentLoginView::colorOfState(StudentLoginView::StateRushed));
}

namespace {
class FakeCapture : public ScreenCapture
{
public:
    void start(QWidget *requester) override
    {
        ++started;
        wasOnScreen = requester->geometry().intersects(QGuiApplication::primaryScreen()->geometry());
        QImage shot(50, 20, QImage::Format_RGB32);
        shot.fill(Qt::darkGreen);
        NotificationCenter::defaultCenter()->postNotification(
            Notify::ScreenShotCaption, {{Notify::Key::Image, shot}, {Notify::Key::Flag, 1}});
    }
    int started = 0;
    bool wasOnScreen = true;
};
} // namespace

TEST_F(FreeStyleRunTest, ACaptureLandsOnTheCurrentPageAsAPictureBox)
{
    ASSERT_TRUE(openFreeStyle(Activity::FreeNormalQuiz));
    EXPECT_FALSE(toolbar()->tbiCutPicture->isEnabled()) << "no capture installed, no page";
    auto capture = std::make_unique<FakeCapture>();
    FakeCapture *fake = capture.get();
    ScreenCapture::install(std::move(capture));
    button("btnToggle")->click();
    addPage(2, QStringLiteral("Name this"));
    ASSERT_TRUE(toolbar()->tbiCutPicture->isEnabled());
    const QRect before = window->geometry();
    const qsizetype boxes = canvas()->currentPage()->cellArray().size();
    toolbar()->tbiCutPicture->trigger();
    EXPECT_EQ(fake->started, 1);
    EXPECT_FALSE(fake->wasOnScreen) << "the window is out of the picture";
    EXPECT_EQ(window->geometry(), before);
    ASSERT_EQ(canvas()->currentPage()->cellArray().size(), boxes + 1);
    const MyTextView *shot = canvas()->currentPage()->cellArray().last().get();
    EXPECT_EQ(shot->frame(), QRectF(0, 0, 50, 20));
    EXPECT_EQ(shot->toolTipNo(), int(MyTextView::RoleCapture));
    EXPECT_EQ(shot->ig().pixelColor(2, 2), QColor(Qt::darkGreen));
    // A caption this window did not ask for is not its business.
    NotificationCenter::defaultCenter()->postNotification(Notify::ScreenShotCaption,
                                                          {{Notify::Key::Image, QImage(5, 5, QImage::Format_RGB32)}});
    EXPECT_EQ(canvas()->currentPage()->cellArray().size(), boxes + 1);
}

TEST_F(FreeStyleRunTest, OnA1024PointScreenBarAndToolbarFitAndTheirCaptionsRead)
{
    ASSERT_TRUE(openFreeStyle(Activity::FreeNormalQuiz));
    button("btnToggle")->click();
    addPage(2, QStringLiteral("Which?"));
    // The widest bar there is: Read, Set Answer and the pane's toggle beside the rest.
    const QStringList problems = barProblemsAt(1024);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(", ").toStdString();
    EXPECT_FALSE(button("btnToggle")->text().isEmpty()) << "the way to the page keeps its caption";

    // The toolbar's captions are its own dark on its light face in the dark window, and grey
    // with their control.
    QToolBar *bar = toolbar()->toolbar();
    const QList<TextContrast> captions = TextContrast::ofLabels(bar, QStringLiteral("freestyle-toolbar"));
    ASSERT_GE(captions.size(), 4);
    for (const TextContrast &c : captions)
        EXPECT_TRUE(c.readable()) << c.text.toStdString() << " " << c.ratio;
    button("btnToggle")->click();
    ASSERT_FALSE(toolbar()->pubControl->isEnabled());
    for (QLabel *caption : bar->findChildren<QLabel *>()) {
        if (caption->text() == QLatin1String("Tool") || caption->text() == QLatin1String("Pen Colour")) {
            EXPECT_FALSE(caption->isEnabled()) << caption->text().toStdString();
        }
    }
}

TEST_F(FreeStyleRunTest, TheAnswerDialogKeepsToTheOptionsAndPointsAndTakesTheTeacherKeypad)
{
    SimReceiver *sim = openFreeStyle(Activity::FreeNormalQuiz);
    ASSERT_TRUE(sim);
    auto pointer = std::make_shared<PointerClicks>();
    MouseFunction::shareManager()->setSink(pointer);
    button("btnToggle")->click();
    addPage(4, QStringLiteral("Which two are even?"));
    start();
    answer(sim, 1, QStringLiteral("A"));

    int posted = 0;
    QObject spy;
    NotificationCenter::defaultCenter()->addObserver(&spy, Notify::FreeStyleGetQuestion,
                                                     [&](const Notification &) { ++posted; });
    std::function<void(AnswerSetting *)> teacher;
    DialogHooks::setModalResponder([&](QDialog *d) {
        auto *dialog = qobject_cast<AnswerSetting *>(d);
        if (!dialog)
            return 0;
        teacher(dialog);
        return dialog->result();
    });
    // After the stop: four options offered, points held to 1 to 250, F1 on the teacher keypad is OK.
    teacher = [&](AnswerSetting *dialog) {
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(dialog->answerCells[k]->isEnabled(), k < 4) << k;
        dialog->point->clear();
        QTest::keyClicks(dialog->point, QStringLiteral("260"));
        EXPECT_EQ(dialog->point->text(), QStringLiteral("250"));
        dialog->point->clear();
        QTest::keyClicks(dialog->point, QStringLiteral("0"));
        EXPECT_EQ(dialog->point->text(), QStringLiteral("1"));
        // The corrected value is selected: the next key replaces it.
        QTest::keyClicks(dialog->point, QStringLiteral("2"));
        dialog->answerCells[2]->setChecked(true);
        sim->pressTeacherKey(0x81);
        EXPECT_TRUE(waitFor([&] { return posted == 1; }));
    };
    stop();
    auto *qq = QuizQuestions::shareManager();
    EXPECT_EQ(qq->answer(1), QStringLiteral("C"));
    EXPECT_EQ(qq->point(1), 2);
    ASSERT_FALSE(pointer->clicks.isEmpty()) << "the keypad's OK clicks the lower left corner";
    EXPECT_EQ(pointer->clicks.first(), QPoint(0, 768));

    // A multiple answer goes out in letter order; F2 on the keypad cancels and changes nothing.
    teacher = [&](AnswerSetting *dialog) {
        dialog->rowMultiple->setChecked(true);
        dialog->checkBoxes[2]->setChecked(true);
        dialog->checkBoxes[0]->setChecked(true);
        dialog->onOk();
    };
    button("btnAnswerSetting")->click();
    EXPECT_EQ(qq->answer(1), QStringLiteral("AC"));
    EXPECT_EQ(qq->questionType(1), 1);
    teacher = [&](AnswerSetting *dialog) {
        dialog->checkBoxes[1]->setChecked(true);
        sim->pressTeacherKey(0x82);
        EXPECT_TRUE(waitFor([&] { return dialog->result() == 1; }));
    };
    button("btnAnswerSetting")->click();
    EXPECT_EQ(posted, 2);
    EXPECT_EQ(qq->answer(1), QStringLiteral("AC"));
    MouseFunction::shareManager()->setSink(nullptr);
}
