#include "core/presentation/QuestionSlideFormat.h"
#include "core/store/XMLControl.h"
#include "platform/AtomicFile.h"
#include "platform/PPTEditorMSO.h"

#include "support/PollixTest.h"
#include "support/SlideDecks.h"

#include <gtest/gtest.h>

using SlideDecks::ShapeSpec;

namespace {

class QuestionSlides : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        ppt = PPTEditorMSO::shareManager();
        ppt->setTemplatePath(SlideDecks::shippedTemplate());
    }

    void open(const QList<QList<ShapeSpec>> &slides)
    {
        const QString path = home() + "deck.pptx";
        ASSERT_TRUE(SlideDecks::writeDeck(slides, path));
        ASSERT_TRUE(ppt->openPPT(path));
    }

    void fromTemplate(const QList<int> &indexes)
    {
        ASSERT_TRUE(ppt->newPPT(QString()));
        for (int i : indexes) {
            ASSERT_TRUE(ppt->copySlideByIndex(i));
            ASSERT_TRUE(ppt->pasteSlide());
        }
    }

    QString text(const char *name, int slide) { return ppt->readTextBoxByName(QString::fromLatin1(name), slide); }

    PPTEditorMSO *ppt = nullptr;
};

QuizQuestionsElement question(int type, const QString &answer, const QString &title)
{
    QuizQuestionsElement q;
    q.setNQuestionType(type);
    q.setStrAnswer(answer);
    q.setStrTitle(title);
    q.setNPoint(15);
    q.setNQuizTime(45);
    q.setNRushPoint(5);
    q.setNRushTime(20);
    q.setNDiffcult(3);
    q.setStrStandard("MATH.1");
    q.setStrStandardTitle("Counting");
    return q;
}

} // namespace

TEST_F(QuestionSlides, QuestionsWrittenIntoTemplateSlidesReadBackForTheRunAndTheEditor)
{
    fromTemplate({4, 0, 1, 25, 4});
    QuizQuestionsElement single = question(0, "C", "How many legs has a spider?");
    for (int k = 0; k < 4; ++k)
        single.setStrOption(k, QString::number(4 + 2 * k));
    QuizQuestionsElement trueFalse = question(5, "B", "The sun is a planet.");
    QuizQuestionsElement cloze = question(2, "Paris", "The capital of France is ___.");
    // The editor starts from what the slide holds: the scale's choices stay.
    QuizQuestionsElement vote = QuestionSlideFormat::readForEditor(*ppt, 3);
    vote.setStrTitle("How do you like fractions?");
    QuizQuestionsElement plan = question(1, "nocorrect", "Read page 12.");
    QuestionSlideFormat::writeQuestion(*ppt, 0, single, 1);
    QuestionSlideFormat::writeQuestion(*ppt, 1, trueFalse, 0);
    QuestionSlideFormat::writeQuestion(*ppt, 2, cloze, 2);
    QuestionSlideFormat::writeQuestion(*ppt, 3, vote, 3);
    QuestionSlideFormat::writeQuestion(*ppt, 4, plan, 0);

    // What the writer tells the record.
    EXPECT_EQ(single.nOptionNum(), 3);
    EXPECT_EQ(vote.nQuestionType(), 0);
    EXPECT_EQ(vote.nOptionNum(), 5);
    EXPECT_EQ(plan.nQuestionType(), 4);
    EXPECT_EQ(plan.nOptionNum(), 0);

    // The texts on the slides are the interchange.
    EXPECT_EQ(text("mode", 1), "True or False");
    EXPECT_EQ(text("activity_mode", 0), "Gaming ---> Rush Quiz");
    EXPECT_EQ(text("activity_mode", 3), "Ad-hoc ---> Vote");
    EXPECT_EQ(text("level", 0), "Hard");
    EXPECT_EQ(text("standard", 0), "MATH.1_&#Counting");
    EXPECT_EQ(text("answer", 4), "nocorrect");
    EXPECT_EQ(text("mode", 4), "Teaching Plan");
    EXPECT_EQ(text("OptionA", 1), "True");

    // Saved and opened again, the run reads them.
    const QString path = home() + "quiz.pptx";
    ppt->setSavePathProvider([&](const QString &) { return path; });
    ASSERT_EQ(ppt->savePPT(), PPTEditor::SaveResult::Saved);
    ppt->quitPPT();
    ASSERT_TRUE(ppt->openPPT(path));
    QList<int> progress;
    const QList<QuizQuestionsElement> run =
        QuestionSlideFormat::copyQuesInfoSlideToArray(*ppt, [&](int done, int total) { progress << done * 100 + total; });
    ASSERT_EQ(run.size(), 5);
    EXPECT_EQ(progress, (QList<int>{105, 205, 305, 405, 505}));
    EXPECT_EQ(run[0].strTitle(), "How many legs has a spider?");
    EXPECT_EQ(run[0].strOptionC(), "8");
    EXPECT_EQ(run[0].strAnswer(), "C");
    EXPECT_EQ(run[0].nQuestionType(), 0);
    EXPECT_EQ(run[0].nActionMode(), 1);
    EXPECT_EQ(run[0].nDiffcult(), 3);
    EXPECT_EQ(run[0].nPoint(), 15);
    EXPECT_EQ(run[0].nQuizTime(), 45);
    EXPECT_EQ(run[0].nRushPoint(), 5);
    EXPECT_EQ(run[0].nRushTime(), 20);
    EXPECT_EQ(run[0].strStandard(), "MATH.1_&#Counting");
    EXPECT_EQ(run[0].strStandardTitle(), "MATH.1_&#Counting");
    EXPECT_EQ(run[0].nOptionNum(), 3); // the slide holds three option shapes; a fourth text has nowhere to go
    EXPECT_EQ(run[0].strOptionD(), "");
    EXPECT_EQ(run[1].nQuestionType(), 5);
    EXPECT_EQ(run[1].nOptionNum(), 2);
    EXPECT_EQ(run[1].strAnswer(), "B");
    EXPECT_EQ(run[2].nQuestionType(), 2);
    EXPECT_EQ(run[2].nActionMode(), 2);
    EXPECT_EQ(run[2].strAnswer(), "Paris");
    EXPECT_EQ(run[3].nActionMode(), 4); // the run's own index for "Ad-hoc ---> Vote"
    EXPECT_EQ(run[3].strOptionE(), "Strongly agree");
    EXPECT_EQ(run[4].nQuestionType(), 4);
    EXPECT_EQ(run[4].nOptionNum(), 0);

    const QuizQuestionsElement edited = QuestionSlideFormat::readForEditor(*ppt, 0);
    EXPECT_EQ(edited.strStandard(), "MATH.1");
    EXPECT_EQ(edited.strStandardTitle(), "Counting");
    EXPECT_EQ(QuestionSlideFormat::readForEditor(*ppt, 3).nActionMode(), 3);
    EXPECT_EQ(QuestionSlideFormat::readForEditor(*ppt, 1).nQuestionType(), 5);
}

TEST_F(QuestionSlides, SlidesWithoutTheShapesAndMixedTextsReadAsEachReaderAlwaysDid)
{
    open({{{"Something", "else"}},
          {{"mode", "Single Answer, or rather Cloze Test"}, {"standard", "CODE-7"}, {"answer", "True"}},
          {{"mode", "Teaching Plan"}, {"activity_mode", "Ad-hoc ---> Survey"}, {"level", "Easy"}, {"mark", " 12 points"}},
          {{"mode", "essay"}, {"time", "abc"}, {"rushtime", "-7"}}});
    const QuizQuestionsElement emptyRun = QuestionSlideFormat::readForRun(*ppt, 0);
    const QuizQuestionsElement emptyEditor = QuestionSlideFormat::readForEditor(*ppt, 0);
    EXPECT_EQ(emptyRun.nQuestionType(), 4);
    EXPECT_EQ(emptyEditor.nQuestionType(), 0);
    EXPECT_EQ(emptyEditor.nPoint(), 0);
    EXPECT_EQ(emptyEditor.nQuizTime(), 0);
    EXPECT_EQ(emptyEditor.strTitle(), "");

    EXPECT_EQ(QuestionSlideFormat::readForEditor(*ppt, 1).nQuestionType(), 0);
    EXPECT_EQ(QuestionSlideFormat::readForRun(*ppt, 1).nQuestionType(), 2);
    EXPECT_EQ(QuestionSlideFormat::readForEditor(*ppt, 1).strStandard(), "");
    EXPECT_EQ(QuestionSlideFormat::readForEditor(*ppt, 1).strStandardTitle(), "");
    EXPECT_EQ(QuestionSlideFormat::readForRun(*ppt, 1).strStandardTitle(), "CODE-7");
    EXPECT_EQ(QuestionSlideFormat::readForEditor(*ppt, 1).strAnswer(), "A");
    EXPECT_EQ(QuestionSlideFormat::readForRun(*ppt, 1).strAnswer(), "True");

    EXPECT_EQ(QuestionSlideFormat::readForRun(*ppt, 2).nQuestionType(), 4);
    EXPECT_EQ(QuestionSlideFormat::readForRun(*ppt, 2).nActionMode(), 3);
    EXPECT_EQ(QuestionSlideFormat::readForEditor(*ppt, 2).nActionMode(), 0);
    EXPECT_EQ(QuestionSlideFormat::readForRun(*ppt, 2).nDiffcult(), 1);
    EXPECT_EQ(QuestionSlideFormat::readForRun(*ppt, 2).nPoint(), 12);

    const QuizQuestionsElement odd = QuestionSlideFormat::readForRun(*ppt, 3);
    EXPECT_EQ(odd.nQuestionType(), 0);
    EXPECT_EQ(odd.nQuizTime(), 0);
    EXPECT_EQ(odd.nRushTime(), -7);

    EXPECT_EQ(QuestionSlideFormat::integerValue("99999999999"), 2147483647);
    EXPECT_EQ(QuestionSlideFormat::integerValue("+5x"), 5);
    EXPECT_EQ(QuestionSlideFormat::integerValue("- 5"), 0);
}

TEST_F(QuestionSlides, SavingWithoutAnAnswerHidesTheOptionsAndTheMarks)
{
    fromTemplate({5});
    ASSERT_EQ(ppt->getOptionCountbySlidePos(0), 4);
    QuizQuestionsElement cloze = question(2, "", "Fill in the blank");
    QuestionSlideFormat::writeQuestion(*ppt, 0, cloze, 0);
    EXPECT_EQ(cloze.nQuestionType(), 4);
    EXPECT_EQ(ppt->getOptionCountbySlidePos(0), 0);
    EXPECT_EQ(ppt->getAllOptionCountbySlidePos(0), 4);
    for (const PptxPresentation::Shape &s : ppt->presentation()->shapes(0)) {
        if (s.name.startsWith("Oval")) {
            EXPECT_FALSE(s.visible) << s.name.toStdString();
        }
    }

    // Making it a four-option question again shows them, last first, with the marks.
    QuizQuestionsElement single = question(0, "A", "Pick one");
    QuestionSlideFormat::writeQuestion(*ppt, 0, single, 0);
    EXPECT_EQ(ppt->getOptionCountbySlidePos(0), 4);
    for (const PptxPresentation::Shape &s : ppt->presentation()->shapes(0))
        EXPECT_TRUE(s.visible) << s.name.toStdString();
    // True or false on a four-option slide keeps two options and writes their texts.
    QuizQuestionsElement tf = question(5, "A", "Yes?");
    QuestionSlideFormat::writeQuestion(*ppt, 0, tf, 0);
    EXPECT_EQ(ppt->getOptionCountbySlidePos(0), 2);
    EXPECT_EQ(text("OptionB", 0), "False");
    QString why;
    EXPECT_TRUE(ppt->presentation()->checkConsistency(&why)) << why.toStdString();
}

TEST_F(QuestionSlides, ExamIdOfTheFirstSlideIsDrawnOnceAndKept)
{
    for (const char *stored : {"0", "letters", ""}) {
        open({{{"ID", QString::fromLatin1(stored)}}, {{"ID", "55"}}});
        bool changed = false;
        const std::optional<int> id = QuestionSlideFormat::applyExamIdRule(*ppt, &changed);
        ASSERT_TRUE(id) << stored;
        EXPECT_TRUE(changed);
        EXPECT_GT(*id, 0);
        EXPECT_EQ(text("ID", 0), QString::number(*id));
        EXPECT_EQ(text("ID", 1), "55");
        const std::optional<int> again = QuestionSlideFormat::applyExamIdRule(*ppt, &changed);
        EXPECT_EQ(again, id);
        EXPECT_FALSE(changed);
    }
    open({{{"ID", "17"}}});
    EXPECT_EQ(QuestionSlideFormat::applyExamIdRule(*ppt), 17);

    // A deck from elsewhere gets a hidden ID box, so that its number stays with it.
    open({{{"Qu_Title", "No ID here"}}});
    const std::optional<int> added = QuestionSlideFormat::applyExamIdRule(*ppt);
    ASSERT_TRUE(added);
    EXPECT_EQ(text("ID", 0), QString::number(*added));
    EXPECT_FALSE(ppt->presentation()->shapes(0).last().visible);

    // A counter that cannot record the number gives none, and the deck stays as it was.
    open({{{"ID", "0"}}});
    AtomicFile::setFailureHook([](const QString &path) { return path.endsWith("ExamID.xml"); });
    QString why;
    bool changed = true;
    EXPECT_FALSE(QuestionSlideFormat::applyExamIdRule(*ppt, &changed, &why));
    EXPECT_FALSE(changed);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(text("ID", 0), "0");
    EXPECT_FALSE(ppt->isModified());

    ppt->newPPT(QString());
    EXPECT_FALSE(QuestionSlideFormat::applyExamIdRule(*ppt, &changed, &why));
}

// A question lives on a slide that holds a "Qu_Title" box: a slide of the teacher's own design
// holds none and takes none, and a picture of that name is no box. A question slide that lacks
// some of its settings boxes gets them, hidden, so that what was set is read back.
TEST_F(QuestionSlides, OnlyASlideWithATitleBoxTakesAQuestionAndLackingSettingsBoxesAreAddedHidden)
{
    PptxPresentation::SlideCopy picture = SlideDecks::slide({{"TextBox 2", "A diagram"}});
    picture.slideXml.replace("</p:spTree>", "<p:pic><p:nvPicPr><p:cNvPr id=\"9\" name=\"Qu_Title\"/><p:cNvPicPr/><p:nvPr/>"
                                            "</p:nvPicPr><p:blipFill/><p:spPr/></p:pic></p:spTree>");
    std::unique_ptr<PptxPresentation> deck =
        SlideDecks::deck({{{"Title 1", "Photosynthesis"}, {"Content Placeholder 2", "Light into sugar"}},
                          {{"Qu_Title", "Old title"}, {"OptionA", "a"}, {"OptionB", "b"}}});
    ASSERT_TRUE(deck->pasteSlide(picture));
    const QString path = home() + "own.pptx";
    ASSERT_TRUE(deck->saveFile(path));
    ASSERT_TRUE(ppt->openPPT(path));
    EXPECT_FALSE(QuestionSlideFormat::holdsQuestion(*ppt, 0));
    EXPECT_TRUE(QuestionSlideFormat::holdsQuestion(*ppt, 1));
    EXPECT_FALSE(QuestionSlideFormat::holdsQuestion(*ppt, 2));

    for (int slide : {0, 2}) {
        const QList<PptxPresentation::Shape> before = ppt->presentation()->shapes(slide);
        QuizQuestionsElement q = question(0, "A", "Lost?");
        QString why;
        EXPECT_FALSE(QuestionSlideFormat::writeQuestion(*ppt, slide, q, 0, &why));
        EXPECT_TRUE(why.contains(QString::number(slide + 1))) << why.toStdString();
        EXPECT_EQ(ppt->presentation()->shapes(slide).size(), before.size());
    }

    QuizQuestionsElement q = question(0, "B", "Which gas do plants take in?");
    ASSERT_TRUE(QuestionSlideFormat::writeQuestion(*ppt, 1, q, 1));
    const QuizQuestionsElement run = QuestionSlideFormat::readForRun(*ppt, 1);
    EXPECT_EQ(run.nQuestionType(), 0) << "with no \"mode\" the run would take a teaching plan";
    EXPECT_EQ(run.nPoint(), 15);
    EXPECT_EQ(run.nDiffcult(), 3);
    for (const PptxPresentation::Shape &s : ppt->presentation()->shapes(1))
        EXPECT_EQ(s.visible, s.name == "Qu_Title" || s.name.startsWith("Option")) << s.name.toStdString();
    QString why;
    EXPECT_TRUE(ppt->presentation()->checkConsistency(&why)) << why.toStdString();
}
