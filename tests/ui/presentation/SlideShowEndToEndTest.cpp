#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/QuizParticipantData.h"
#include "core/presentation/QuestionSlideFormat.h"
#include "platform/PPTEditorMSO.h"
#include "platform/SlideShowWindow.h"
#include "support/DialogAnswers.h"
#include "support/ReceiverTest.h"
#include "support/Shots.h"
#include "support/SlideDecks.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/controls/ElidedLabel.h"
#include "ui/authoring/AddSLides.h"
#include "ui/presentation/PPTBaffle.h"
#include "ui/presentation/PPTQuestionInfoWindowController.h"
#include "ui/presentation/PPTQuizStateWindowController.h"
#include "ui/run/PPTStudentLoginView.h"
#include "ui/run/QuizResultController.h"
#include "ui/run/SaveToDataController.h"

#include "SimAutoPilot.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QButtonGroup>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <QTreeWidgetItemIterator>

// What a newcomer does with slides from start to end, on a Dravel receiver whose class plays
// along: the presentation buttons make a deck, the question editor over the slides writes three
// questions into it, Start runs a normal quiz over the show with the strip and the backdrop, the
// keypads answer, the teacher keypad starts, stops, steps, opens the result and leaves, and the
// run becomes a session.
using keypadsim::Model;
using keypadsim::SimAutoPilot;

namespace {

constexpr int kStudents = 6;

QTreeWidgetItem *row(QTreeWidget *tree, const QString &text)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0) == text)
            return *it;
    return nullptr;
}

class SlideShowEndToEnd : public ReceiverTest
{
protected:
    void TearDown() override
    {
        pilot.reset();
        TabController::resetHooks();
        AddSLides::hooks() = {};
        DialogHooks::setModalResponder({});
        PPTEditorMSO::shareManager()->quitPPT();
        qunsetenv("POLLIX_SOFFICE");
        ReceiverTest::TearDown();
    }
    // With a picture folder set the screen is saved there on the way.
    static void shot(const QString &name, QWidget *w = nullptr)
    {
        if (w)
            saveShot(w, name);
        else
            saveScreenShot(name);
    }
    const QString shots = Shots::folder();
    std::unique_ptr<SimAutoPilot> pilot;
    DialogAnswers answers;
};

PPTQuizStateWindowController *runWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *run = qobject_cast<PPTQuizStateWindowController *>(w); run && run->isVisible())
            return run;
    return nullptr;
}

} // namespace

TEST_F(SlideShowEndToEnd, DeckFromTheEditorRunOverTheShowAndSavedAsASession)
{
    // The show's pages are not needed here: no LibreOffice is started, unless pictures are taken.
    if (shots.isEmpty())
        qputenv("POLLIX_SOFFICE", QByteArray("/nonexistent/soffice"));
    keypadsim::SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim && waitFor([&] { return app()->getBHaveDevice(); }));
    sim->addKeypads(1, kStudents);
    pilot = std::make_unique<SimAutoPilot>(*sim, SimAutoPilot::Options::brisk(kStudents, {"B", "C", "A"}));
    pilot->start();
    PollixProgram::installServices();
    SlideDecks::quietMainWindow();
    TabController::hooks().runClassSet = [](QWidget *, TabController::ClassSetup &setup) {
        setup.classNo = 1;
        setup.className = QStringLiteral("7A");
        for (int i = 1; i <= kStudents; ++i) {
            auto s = std::make_shared<StudentInClass>();
            s->setStudentNo(i);
            s->setStudentID(QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')));
            s->setStudentFirstName(QStringLiteral("Student"));
            s->setStudentLastName(QString::number(i));
            s->setStudentFullName(QStringLiteral("Student %1").arg(i));
            setup.students << s;
        }
        return 1;
    };
    PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
    ppt->setTemplatePath(SlideDecks::shippedTemplate());

    TabController tab;
    tab.awakeFromNib();
    tab.show();

    // New and Add: a deck with one choice slide from the template picker.
    tab.btnPPTNew->click();
    tab.btnPPTAdd->click();
    auto *picker = tab.findChild<AddSLides *>();
    ASSERT_TRUE(picker);
    picker->ovDoubleClick(row(picker->outlineView, "4 Selections 1 Coulumns"));
    picker->close();
    ASSERT_EQ(ppt->getCountOfSlide(), 1);

    // Setup: the editor adds two more slides through its picker, sets the answers and saves.
    const QString deck = home() + "Lesson.pptx";
    QStringList modal;
    DialogHooks::setModalResponder([&](QDialog *d) {
        modal << d->objectName();
        if (auto *add = qobject_cast<AddSLides *>(d)) {
            add->ovDoubleClick(row(add->outlineView, "4 Selections 1 Coulumns"));
            return 0;
        }
        if (auto *editor = qobject_cast<PPTQuestionInfoWindowController *>(d)) {
            editor->btnAdd->click();
            editor->btnAdd->click();
            const QList<int> cells{1, 2, 0}; // B, C, A
            for (int q = 0; q < 3; ++q) {
                editor->cmbQuestionNo->setCurrentIndex(q);
                editor->questionTitle->setPlainText(QStringLiteral("Question %1").arg(q + 1));
                editor->answerCells->button(cells[q])->click();
            }
            editor->cmbQuestionNo->setCurrentIndex(0);
            shot("1-editor", editor);
            answers.answerFile(deck);
            editor->btnSave->click();
            editor->close();
            return 1;
        }
        shot("3-result", d);
        return 0; // the result window: looked at, closed
    });
    tab.btnPPTSetup->click();
    EXPECT_EQ(modal, (QStringList{"PPTQuestionInfo", "AddSlides", "AddSlides"}));
    ASSERT_TRUE(QFileInfo::exists(deck));
    ASSERT_EQ(ppt->getCountOfSlide(), 3);
    EXPECT_EQ(ppt->readTextBoxByName("answer", 2), "A");
    const int examId = QuestionSlideFormat::integerValue(ppt->readTextBoxByName("ID", 0));
    EXPECT_GT(examId, 0);
    EXPECT_FALSE(tab.bIsPPTChanged());

    // Load and Start: the run bar over the show, the strip filling as the keypads log in.
    tab.doClassSet();
    answers.answerFile(deck);
    tab.btnLoad->click();
    ASSERT_TRUE(tab.btnStart->isEnabled());
    tab.btnStart->click();
    PPTQuizStateWindowController *run = runWindow();
    ASSERT_TRUE(run);
    QPointer<PPTQuizStateWindowController> alive(run);
    EXPECT_FALSE(tab.isVisible());
    EXPECT_TRUE(ppt->isShowRunning());
    ASSERT_TRUE(run->backdrop() && run->backdrop()->isVisible());
    // A window manager keeps the bar and the strip above the focused full-screen show only as its transients.
    EXPECT_EQ(run->windowHandle()->transientParent(), ppt->showWindow());
    EXPECT_EQ(run->studentStrip()->windowHandle()->transientParent(), ppt->showWindow());
    ASSERT_TRUE(waitFor([&] { return run->studentStrip()->nLoginStudentSum() == kStudents; }, 15000));
    const auto answered = [&] { return run->findChild<QLabel *>("txtLoginAndAnswered")->text(); };

    // Three questions from the teacher keypad: start, all answer, stop, next (the result after the first).
    for (int q = 1; q <= 3; ++q) {
        sim->pressTeacherKey(0x8A);
        ASSERT_TRUE(waitFor([&] { return run->bStartFlag(); })) << q;
        ASSERT_TRUE(waitFor([&] { return answered() == QStringLiteral("6 / 6"); }, 15000)) << q;
        if (q == 1 && !shots.isEmpty()) {
            waitFor([&] { return ppt->showWindow()->hasPages(); }, 120000);
            QTest::qWait(300); // the show paints its first page
            shot("2-run-over-show");
        }
        sim->pressTeacherKey(0x8B);
        ASSERT_TRUE(waitFor([&] { return !run->bStartFlag(); })) << q;
        if (q == 1) {
            sim->pressTeacherKey(0x8D);
            ASSERT_TRUE(waitFor([&] { return modal.contains("QuizResult"); })) << qPrintable(modal.join(','));
        }
        if (q < 3) {
            sim->pressTeacherKey(0x86);
            ASSERT_TRUE(waitFor([&] { return run->nCurrentQuestionNo() == q; })) << q << " at " << run->nCurrentQuestionNo() << " show " << ppt->showWindow()->slideIndex() << " next " << run->btnNext->isEnabled();
        }
    }
    EXPECT_EQ(run->findChild<QLabel *>("txtDone")->text(), "All Done");

    // Exit from the keypad: F1 confirms (the alert takes its first button), F1 saves the session.
    QTimer saver;
    bool pressed = false;
    QObject::connect(&saver, &QTimer::timeout, [&] {
        if (!pressed && qobject_cast<SaveToDataController *>(app()->objectToReceiveCommData())) {
            pressed = true;
            sim->pressTeacherKey(0x81);
        }
    });
    saver.start(20);
    sim->pressTeacherKey(0x85);
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }, 15000));
    const QStringList sessions = QDir(app()->strQuizXmlDataFilePath()).entryList({"*.xml"}, QDir::Files);
    ASSERT_EQ(sessions.size(), 1) << qPrintable(app()->strQuizXmlDataFilePath());
    EXPECT_TRUE(tab.isVisible());
    EXPECT_FALSE(ppt->hasPresentation());
    EXPECT_FALSE(tab.btnPPTSave->isEnabled()) << "no deck is open any more";
    EXPECT_EQ(app()->objectToReceiveCommData(), &tab);
    // Nothing waits for an answer after the save: the main window's status line says where it went.
    EXPECT_EQ(tab.txtSessionSaved->fullText(),
              "Session saved to " + QDir::toNativeSeparators(QDir(app()->strQuizXmlDataFilePath()).filePath(sessions.first())));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
