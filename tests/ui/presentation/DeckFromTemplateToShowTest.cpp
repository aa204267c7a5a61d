#include "core/presentation/MouseFunction.h"
#include "platform/OfficeConverter.h"
#include "platform/PPTEditorMSO.h"
#include "platform/SlideShowWindow.h"
#include "platform/XTestEventSink.h"
#include "support/DialogAnswers.h"
#include "support/ReceiverTest.h"
#include "support/Shots.h"
#include "support/SlideDecks.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/authoring/AddSLides.h"
#include "ui/presentation/PPTQuizStateWindowController.h"

#include "SimActivity.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QGuiApplication>
#include <QTest>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using keypadsim::Model;
using keypadsim::SimActivity;

namespace {

// The pointer as a test sees it without a display: it follows the events.
class FollowingSink : public InputEventSink
{
public:
    bool isAvailable() const override { return true; }
    QPoint cursorPosition() override { return at; }
    int mainScreenHeight() override { return 600; }
    void moveTo(const QPoint &p) override { at = p; }
    void button(Button, bool, const QPoint &p) override { at = p; }
    void key(Key k) override { keys << k; }
    QPoint at{300, 300};
    QList<Key> keys;
};

QTreeWidgetItem *row(QTreeWidget *tree, const QString &text)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0) == text)
            return *it;
    return nullptr;
}

} // namespace

// What a newcomer does first with slides: New and Add make a deck from three template slides,
// Save keeps it, Load and Start show it full screen, and the teacher keypad's mouse keys move
// the pointer and step the show. With a picture folder set the windows are saved there as
// pictures, and on an X display the real pointer moves.
class DeckFromTemplateToShow : public ReceiverTest
{
protected:
    void TearDown() override
    {
        TabController::resetHooks();
        AddSLides::hooks() = {};
        KeypadMouse::setSink({});
        ReceiverTest::TearDown();
    }
    static void shot(const QString &name) { saveScreenShot(name); }
    const QString shots = Shots::folder();
    DialogAnswers answers;
};

TEST_F(DeckFromTemplateToShow, NewAddSaveLoadStartAndTheKeypadMouse)
{
    ASSERT_FALSE(OfficeConverter::officeProgram().isEmpty()) << "LibreOffice (libreoffice-impress-nogui) is needed";
    keypadsim::SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    PollixProgram::installServices();
    SlideDecks::quietMainWindow();
    PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
    ppt->setTemplatePath(SlideDecks::shippedTemplate());
    const bool realPointer = !shots.isEmpty() && QGuiApplication::platformName() == QLatin1String("xcb");
    auto follow = std::make_shared<FollowingSink>();
    std::shared_ptr<InputEventSink> pointer = follow;
    if (realPointer)
        pointer = std::make_shared<XTestEventSink>();
    MouseFunction::shareManager()->setSink(pointer);
    MouseFunction::shareManager()->setM_nMoveSpeed(30);

    TabController tab;
    tab.awakeFromNib();
    tab.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab, kEventWaitMs));

    // New, then Add: three template slides through the picker.
    tab.btnPPTNew->click();
    tab.btnPPTAdd->click();
    auto *picker = tab.findChild<AddSLides *>();
    ASSERT_TRUE(picker);
    for (const char *name : {"True or False", "4 Selections 1 Coulumns", "Level of Agreement"})
        picker->ovDoubleClick(row(picker->outlineView, QString::fromLatin1(name)));
    QTest::qWait(50);
    shot(QStringLiteral("1-picker"));
    picker->close();
    EXPECT_EQ(ppt->getCountOfSlide(), 3);

    const QString deck = home() + QStringLiteral("Lesson.pptx");
    answers.answerFile(deck);
    tab.btnPPTSave->click();
    ASSERT_TRUE(QFileInfo::exists(deck));
    EXPECT_FALSE(tab.bIsPPTChanged());
    shot(QStringLiteral("2-saved"));

    tab.doClassSet();
    answers.answerFile(deck);
    tab.btnLoad->click();
    ASSERT_TRUE(tab.btnStart->isEnabled());
    QSignalSpy pages(ppt->converter(), &OfficeConverter::finished);
    tab.btnStart->click();
    ASSERT_TRUE(ppt->isShowRunning());
    EXPECT_EQ(ppt->getIndexOfShowPPT(), 1);
    EXPECT_FALSE(tab.isVisible());
    ASSERT_TRUE(pages.size() > 0 || pages.wait(120000));
    EXPECT_TRUE(pages.last().at(0).toBool()) << pages.last().at(2).toString().toStdString();
    EXPECT_EQ(ppt->showWindow()->pageCount(), 3);
    EXPECT_EQ(ppt->showWindow()->windowState(), Qt::WindowFullScreen);
    QTest::qWait(100);
    shot(QStringLiteral("3-show"));

    // The teacher keypad: right by one step (5 points at speed 30), down by a long step (13).
    SimActivity teacher(*sim);
    const QPoint before = pointer->cursorPosition();
    teacher.teacherMouse(0x04);
    teacher.teacherMouse(0x16);
    ASSERT_TRUE(waitFor([&] { return pointer->cursorPosition() == before + QPoint(5, 13); }));
    // The right-arrow key and Escape: with a real display they step and end the show.
    teacher.teacherMouse(0x0F);
    if (realPointer) {
        ASSERT_TRUE(waitFor([&] { return ppt->isShowRunning() && ppt->showWindow()->slideIndex() == 1; }));
        QTest::qWait(100);
        shot(QStringLiteral("4-next"));
        teacher.teacherMouse(0x0A);
        ASSERT_TRUE(waitFor([&] { return !ppt->isShowRunning(); }));
        EXPECT_TRUE(tab.isVisible());
    } else {
        ASSERT_TRUE(waitFor([&] { return follow->keys.size() == 1; }));
        EXPECT_EQ(follow->keys.first(), InputEventSink::Key::Right);
    }

    // The lesson ends with the run's Exit (its question takes OK): the run bar goes and the main
    // window is back.
    QPointer<PPTQuizStateWindowController> run;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *w = qobject_cast<PPTQuizStateWindowController *>(top); w && w->isVisible())
            run = w;
    if (run) {
        run->btnExit->click();
        ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
    }
    EXPECT_TRUE(tab.isVisible());
}
