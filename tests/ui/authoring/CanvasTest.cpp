#include "ui/authoring/Questions.h"
#include "ui/authoring/SmallQuestions.h"

#include "platform/AtomicFile.h"
#include "platform/NotificationCenter.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "ui/controls/DialogHooks.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

class CanvasTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        canvas = std::make_unique<Questions>(QSize(800, 600));
        strip = std::make_unique<SmallQuestions>(QSize(180, 500));
        canvas->setSmallQuestions(strip.get());
        button = std::make_unique<QPushButton>();
        canvas->setBtnQuestionInfo(button.get());
    }
    void TearDown() override
    {
        canvas.reset();
        strip.reset();
        PollixTest::TearDown();
    }
    // A question file of n four-option pages whose question texts are "Q1" ... "Qn".
    QString fileOfPages(int n, const QString &name = QStringLiteral("set.px"))
    {
        ExamPaperInfo set;
        QList<QuestionSetViewPtr> pages;
        for (int i = 1; i <= n; ++i) {
            auto page = QuestionSetView::createTemplate(4, QSizeF(800, 600));
            page->getQuestionTitle()->textview()->setString(QStringLiteral("Q%1").arg(i));
            page->setStrAnswer(i == 1 ? QStringLiteral("True") : QStringLiteral("B"));
            page->setNQuestionType(i == 1 ? 5 : 0);
            pages.append(page);
        }
        set.setArrayQuestionsInfo(pages);
        set.setNExamPaperID(12);
        set.setStrExamPaperTitle(QStringLiteral("Set"));
        const QString path = home() + name;
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }
    QString currentText() const { return canvas->currentPage() ? canvas->currentPage()->questionText() : QString(); }

    std::unique_ptr<Questions> canvas;
    std::unique_ptr<SmallQuestions> strip;
    std::unique_ptr<QPushButton> button;
};

TEST_F(CanvasTest, OpeningAFileShowsPageOneWithThumbnails)
{
    EXPECT_FALSE(button->isEnabled());
    ASSERT_TRUE(canvas->openFile(fileOfPages(3)));
    EXPECT_EQ(canvas->questions().size(), 3);
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 1);
    EXPECT_EQ(currentText(), "Q1");
    EXPECT_EQ(strip->array().size(), 3);
    EXPECT_EQ(strip->nCurrentQuNo(), 1);
    EXPECT_TRUE(strip->array()[0]->bSel());
    EXPECT_FALSE(strip->array()[1]->bSel());
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(canvas->epi()->nExamPaperID(), 12);
    EXPECT_EQ(canvas->epi()->strExamPaperTitle(), "Set");
    EXPECT_EQ(canvas->questions()[0]->strAnswer(), "A") << "True is shown as A while editing";
    EXPECT_TRUE(canvas->questions()[0]->getOptionC() == nullptr || canvas->questions()[0]->getOptionC()->isHidden());
    // Strip height: 3 × (598 × 0.19 + 10) + 10, never less than its own 500.
    EXPECT_EQ(strip->nCurrentHeight(), 500);
    EXPECT_EQ(strip->thumbnailRect(2).top(), int(598 * 0.19 + 10 + 10));

    // A damaged file leaves an empty canvas.
    const QString bad = writeFile("bad.px", "bplist00 not really");
    EXPECT_FALSE(canvas->openFile(bad));
    EXPECT_TRUE(canvas->questions().isEmpty());
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 0);
    EXPECT_EQ(canvas->epi()->nExamPaperID(), 0);
    EXPECT_TRUE(strip->array().isEmpty());
    EXPECT_FALSE(button->isEnabled());
}

TEST_F(CanvasTest, DeletingPagesKeepsAPageInView)
{
    canvas->openFile(fileOfPages(5));
    strip->selectedQuestionNo(5);
    EXPECT_EQ(currentText(), "Q5");
    canvas->deleteQuestion(5);
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 4);
    EXPECT_EQ(currentText(), "Q4");
    EXPECT_EQ(strip->array().size(), 4);
    strip->selectedQuestionNo(2);
    NotificationCenter::defaultCenter()->postNotification("BigQuestionDeleteKey");
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 2);
    EXPECT_EQ(currentText(), "Q3");
    EXPECT_EQ(strip->nCurrentQuNo(), 2);

    canvas->openFile(fileOfPages(1, "one.px"));
    canvas->deleteCurrent();
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 0);
    EXPECT_FALSE(canvas->currentPage());
    EXPECT_FALSE(button->isEnabled());
    canvas->onAlignLeft(); // nothing to do, nothing breaks
    EXPECT_FALSE(canvas->importPicture(testDataPath("authoring/page-4-options/expected.png")));
}

TEST_F(CanvasTest, ArrowKeysAndThumbnailPressesMoveBetweenPages)
{
    canvas->openFile(fileOfPages(3));
    canvas->show();
    QTest::keyClick(canvas.get(), Qt::Key_Up);
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 1) << "up on page 1 does nothing";
    QTest::keyClick(canvas.get(), Qt::Key_Down);
    QTest::keyClick(canvas.get(), Qt::Key_Down);
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 3);
    QTest::keyClick(canvas.get(), Qt::Key_Down);
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 3) << "down on the last page does nothing";
    QTest::mouseClick(strip.get(), Qt::LeftButton, {}, strip->thumbnailRect(2).center());
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 2);
    EXPECT_EQ(currentText(), "Q2");
    EXPECT_EQ(strip->nCurrentQuNo(), 2);
}

TEST_F(CanvasTest, TextTypedIntoABoxShowsInItsThumbnail)
{
    canvas->openFile(fileOfPages(2));
    canvas->show();
    QuestionSetView *page = canvas->currentPage();
    MyTextView *option = page->getOptionB();
    const QPoint inside = canvas->toWidget(option->frame()).center().toPoint();
    QTest::mouseDClick(canvas.get(), Qt::LeftButton, {}, inside);
    ASSERT_TRUE(option->isEditing());
    ASSERT_TRUE(canvas->textEditor()->isVisible());
    QTest::keyClicks(canvas->textEditor(), "seven");
    EXPECT_EQ(option->textview()->string(), "seven");
    const auto runs = option->textview()->paragraphs().value(0).runs;
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].family, "Times") << "the editor keeps the field's own font";
    EXPECT_EQ(runs[0].size, 16);
    const int index = page->indexOfBox(option);
    EXPECT_EQ(strip->array()[0]->cellArray()[index]->textview()->string(), "seven");
    // A press on empty space ends editing.
    QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, QPoint(5, 590));
    EXPECT_FALSE(option->isEditing());
    EXPECT_FALSE(canvas->textEditor()->isVisible());
}

TEST_F(CanvasTest, PictureImportMakesABoxOrRefusesAFileThatIsNoPicture)
{
    canvas->addNewQuestion(0);
    DialogAnswers answers;
    answers.answerAlert(0);
    const QString notPicture = writeFile("notes.png", "this is text");
    EXPECT_FALSE(canvas->importPicture(notPicture));
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_EQ(answers.alerts()[0].text, "The file is not a picture.");
    EXPECT_TRUE(canvas->currentPage()->cellArray().isEmpty());

    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const QString path = home() + "pic.png";
    ASSERT_TRUE(picture.save(path));
    EXPECT_TRUE(canvas->importPicture(path));
    QuestionSetView *page = canvas->currentPage();
    ASSERT_EQ(page->cellArray().size(), 1);
    EXPECT_EQ(page->cellArray()[0]->frame(), QRectF(0, 0, 30, 20));
    EXPECT_TRUE(page->cellArray()[0]->igFlag());
    EXPECT_EQ(page->selIndex(), 0);
    EXPECT_TRUE(strip->array()[0]->cellArray()[0]->igFlag()) << "the thumbnail shows it too";

    // A picture larger than the page is shrunk onto it, proportions kept.
    canvas->addNewQuestion(1);
    page = canvas->currentPage();
    const QSizeF pageSize = page->frame().size();
    QImage photo(int(pageSize.width()) * 4, int(pageSize.width()) * 3, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    ASSERT_TRUE(photo.save(home() + "photo.png"));
    ASSERT_TRUE(canvas->importPicture(home() + "photo.png"));
    ASSERT_EQ(page->cellArray().size(), 1);
    const QRectF big = page->cellArray()[0]->frame();
    EXPECT_LE(big.width(), pageSize.width());
    EXPECT_LE(big.height(), pageSize.height());
    EXPECT_NEAR(big.width() / big.height(), 4.0 / 3.0, 0.01);
}

TEST_F(CanvasTest, SavingTakesExamIdsAndAFailedSaveChangesNothing)
{
    canvas->addNewQuestion(0, canvas->createTemplate(2));
    canvas->addNewQuestion(1, canvas->createTemplate(0));
    const QString path = home() + "new.px";
    ASSERT_TRUE(canvas->save(path, false));
    EXPECT_EQ(canvas->epi()->nExamPaperID(), 1) << "a new set takes an ID from the counter";
    ASSERT_TRUE(canvas->save(path, false));
    EXPECT_EQ(canvas->epi()->nExamPaperID(), 1) << "Save keeps it";
    ASSERT_TRUE(canvas->save(home() + "copy.sep", true));
    EXPECT_EQ(canvas->epi()->nExamPaperID(), 2) << "Save As takes a new one";

    const QByteArray before = readFile(path);
    AtomicFile::setFailureHook([](const QString &) { return true; });
    QString why;
    EXPECT_FALSE(canvas->save(path, true, &why));
    AtomicFile::setFailureHook({});
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(canvas->epi()->nExamPaperID(), 2);
    EXPECT_EQ(readFile(path), before);

    // Reopening gives back the same questions.
    auto saved = canvas->questions();
    Questions other(QSize(800, 600));
    ASSERT_TRUE(other.openFile(home() + "copy.sep"));
    ASSERT_EQ(other.questions().size(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(other.questions()[i]->isEqualTo(*saved[i])) << i;
    EXPECT_EQ(other.epi()->nExamPaperID(), 2);

    // A counter file that cannot be read hands out no ID: nothing is written, rather than a
    // file with ID 0 that looks saved.
    writeFile("ExamID.xml", "<Config><ExamID>");
    Questions fresh(QSize(800, 600));
    fresh.addNewQuestion(0);
    why.clear();
    EXPECT_FALSE(fresh.save(home() + "fresh.px", false, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(QFile::exists(home() + "fresh.px"));
    EXPECT_EQ(fresh.epi()->nExamPaperID(), 0);
    EXPECT_TRUE(canvas->save(path, false)) << "a set that has its ID needs no new one";
}

TEST_F(CanvasTest, PenStrokesAreKeptAsBoxesWhenSavingInPenMode)
{
    canvas->addNewQuestion(0);
    canvas->onColorSet(Qt::blue);
    canvas->setPen();
    QuestionSetView *page = canvas->currentPage();
    page->mouseDown(QPointF(100, 100));
    page->mouseDragged(QPointF(200, 150));
    page->mouseUp();
    ASSERT_TRUE(canvas->save(home() + "pen.px", false));
    EXPECT_EQ(canvas->mouseControlState(), QuestionSetView::ModePen);
    EXPECT_TRUE(page->pds());
    ASSERT_EQ(page->cellArray().size(), 1);
    auto back = ExamPaperInfo::loadQuestionFile(home() + "pen.px");
    ASSERT_TRUE(back);
    const auto box = back->arrayQuestionsInfo()[0]->cellArray()[0];
    EXPECT_EQ(box->viewFrame(), QRectF(85, 85, 130, 80));
    ASSERT_EQ(box->bpArray().size(), 1);
    EXPECT_EQ(box->bpArray()[0]->color(), QColor(Qt::blue));
}

TEST_F(CanvasTest, TemplatePagesInsertedByTheQuestionPropertiesWindow)
{
    canvas->addNewQuestion(0);
    NotificationCenter::defaultCenter()->postNotification("QuestionInfoPostAddTemplate",
                                                          {{"QuestionNo", 1}, {"OptionNum", 6}});
    ASSERT_EQ(canvas->questions().size(), 2);
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 2);
    EXPECT_EQ(canvas->currentPage()->getOptionNum(), 6);
    EXPECT_EQ(canvas->currentPage()->frame(), QRectF(0, 0, 798, 598));
    EXPECT_EQ(canvas->currentPage()->getOptionF()->frame(), QRectF(415, 80, 325, 80));
    EXPECT_EQ(strip->array().size(), 2);
    EXPECT_EQ(strip->nCurrentQuNo(), 2);

    // The activity windows rescale pages to another page area.
    canvas->setOrginalBound(QRectF(0, 0, 1598, 1198));
    canvas->resizeContent(2);
    EXPECT_EQ(canvas->currentPage()->getOptionF()->frame(), QRectF(830, 160, 650, 160));
}

namespace {
void drag(QWidget *w, QPoint from, QPoint to)
{
    QMouseEvent press(QEvent::MouseButtonPress, from, w->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    const QPoint mid = (from + to) / 2;
    QMouseEvent move1(QEvent::MouseMove, mid, w->mapToGlobal(mid), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move1);
    QMouseEvent move2(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move2);
    QMouseEvent release(QEvent::MouseButtonRelease, to, w->mapToGlobal(to), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}
} // namespace

TEST_F(CanvasTest, DraggingWithThePointerMovesBoxesDrawsBoxesAndPenStrokes)
{
    canvas->addNewQuestion(0, canvas->createTemplate(2));
    canvas->show();
    QuestionSetView *page = canvas->currentPage();
    MyTextView *question = page->getQuestionTitle();
    const QRectF before = question->frame();
    const QPoint inside = canvas->toWidget(before).center().toPoint();
    drag(canvas.get(), inside, inside + QPoint(30, 20)); // right and down on screen
    EXPECT_EQ(question->frame(), before.translated(30, -20)) << "page y grows upwards";
    EXPECT_EQ(strip->array()[0]->getQuestionTitle()->frame(), question->frame()) << "the thumbnail follows";

    canvas->setTextFrame();
    drag(canvas.get(), QPoint(300, 500), QPoint(400, 560));
    ASSERT_EQ(page->cellArray().size(), 6);
    EXPECT_EQ(page->cellArray().last()->frame(), QRectF(300, 598 - 560, 100, 60));

    canvas->setPen();
    drag(canvas.get(), QPoint(100, 550), QPoint(200, 580));
    ASSERT_TRUE(page->pds());
    EXPECT_EQ(page->pds()->bezierPathObjects().size(), 1);
    canvas->setCursor();
    EXPECT_EQ(page->cellArray().size(), 7) << "the stroke became a box";
}

TEST_F(CanvasTest, DeletingOrReplacingThePageBeingEditedEndsEditingFirst)
{
    canvas->openFile(fileOfPages(2));
    canvas->show();
    auto editBoxB = [&] {
        MyTextView *option = canvas->currentPage()->getOptionB();
        QTest::mouseDClick(canvas.get(), Qt::LeftButton, {}, canvas->toWidget(option->frame()).center().toPoint());
        ASSERT_TRUE(option->isEditing());
    };
    editBoxB();
    NotificationCenter::defaultCenter()->postNotification("BigQuestionDeleteKey");
    EXPECT_FALSE(canvas->textEditor()->isVisible());
    QTest::keyClicks(canvas->textEditor(), "lost");
    EXPECT_EQ(canvas->currentPage()->getOptionB()->textview()->string(), "");
    EXPECT_EQ(currentText(), "Q2");

    editBoxB();
    ASSERT_TRUE(canvas->openFile(fileOfPages(1, "one.px")));
    EXPECT_FALSE(canvas->textEditor()->isVisible());
    QTest::keyClicks(canvas->textEditor(), "x");
    EXPECT_EQ(canvas->currentPage()->getOptionB()->textview()->string(), "");
}

TEST_F(CanvasTest, OnlyOneBoxIsEditedAtATime)
{
    canvas->openFile(fileOfPages(2));
    canvas->show();
    QuestionSetView *page = canvas->currentPage();
    MyTextView *a = page->getOptionA();
    MyTextView *b = page->getOptionB();
    QTest::mouseDClick(canvas.get(), Qt::LeftButton, {}, canvas->toWidget(a->frame()).center().toPoint());
    ASSERT_TRUE(a->isEditing());
    QTest::mouseDClick(canvas.get(), Qt::LeftButton, {}, canvas->toWidget(b->frame()).center().toPoint());
    EXPECT_TRUE(b->isEditing());
    EXPECT_FALSE(a->isEditing()) << "a box left for another draws its own text again";
    QTest::keyClicks(canvas->textEditor(), "b");
    EXPECT_EQ(b->textview()->string(), "b");
    EXPECT_EQ(a->textview()->string(), "");

    // Leaving the page ends editing there too.
    strip->selectedQuestionNo(2);
    EXPECT_FALSE(b->isEditing());
    EXPECT_FALSE(canvas->textEditor()->isVisible());
}

TEST_F(CanvasTest, TheRunWindowsCanvasLaysPagesOutToItsOwnSize)
{
    canvas->openFile(fileOfPages(2));
    canvas->show();
    // The editor's canvas keeps the page it was given.
    canvas->resize(500, 400);
    EXPECT_EQ(canvas->currentPage()->frame().size(), QSizeF(798, 598));

    canvas->setFillsView(true);
    canvas->setPen();
    QuestionSetView *page = canvas->currentPage();
    page->mouseDown(QPointF(700, 500));
    page->mouseDragged(QPointF(780, 580));
    page->mouseUp();
    canvas->resize(600, 450);
    const QRectF inside(QPointF(0, 0), QSizeF(598, 448));
    EXPECT_EQ(page->frame().size(), inside.size());
    QList<std::shared_ptr<BezierPathObject>> strokes;
    for (const MyTextViewPtr &box : page->cellArray()) {
        EXPECT_TRUE(inside.contains(box->frame())) << box->frame().x() << "," << box->frame().y();
        strokes += box->bpArray();
    }
    EXPECT_EQ(strokes.size(), 1) << "the stroke drawn before is kept";
    EXPECT_EQ(page->Flag(), QuestionSetView::ModePen) << "the pen stays in the teacher's hand";
    EXPECT_EQ(canvas->mouseControlState(), QuestionSetView::ModePen);

    // The next page shown, and a page added, take the canvas's size too.
    QTest::keyClick(canvas.get(), Qt::Key_Down);
    EXPECT_EQ(canvas->currentPage()->frame().size(), inside.size());
    canvas->addNewQuestion(2, canvas->createTemplate(3));
    EXPECT_EQ(canvas->currentPage()->frame().size(), inside.size());
}

TEST_F(CanvasTest, APageLaidOutLargerKeepsItsThumbnailSlot)
{
    canvas->openFile(fileOfPages(3));
    const QRect slot2 = strip->thumbnailRect(2);
    const QRect slot3 = strip->thumbnailRect(3);
    canvas->show();
    canvas->setFillsView(true);
    canvas->resize(1100, 900); // a run's canvas on a large screen: page 1 is laid out again, larger
    ASSERT_GT(canvas->currentPage()->frame().width(), 1000);
    EXPECT_EQ(strip->thumbnailRect(2), slot2) << "the slots stay where they were";
    EXPECT_EQ(strip->thumbnailRect(3), slot3);
    EXPECT_LE(slot3.bottom(), strip->height()) << "the last thumbnail is not cut off";

    // The large page's thumbnail is drawn inside its slot: the knob colour shows between slots.
    const QImage shot = strip->grab().toImage();
    const QRect slot1 = strip->thumbnailRect(1);
    EXPECT_EQ(shot.pixelColor(slot1.center().x(), slot1.bottom() + 5), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(shot.pixelColor(slot1.right() + 5, slot1.center().y()), QColor(0x80, 0x80, 0x80));
    // A press on a slot still selects its page.
    QTest::mouseClick(strip.get(), Qt::LeftButton, {}, slot2.center());
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 2);
    QTest::mouseClick(strip.get(), Qt::LeftButton, {}, strip->thumbnailRect(1).center());
    EXPECT_EQ(canvas->nCurrentQuestionIndex(), 1);
}
