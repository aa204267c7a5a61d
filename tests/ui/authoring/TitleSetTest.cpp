#include "ui/authoring/TitleSetController.h"

#include "core/authoring/ExamPaperInfo.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class TitleSetTest : public PollixTest
{
protected:
    QString questionFile(const QString &name, const QString &title)
    {
        ExamPaperInfo set;
        QList<QuestionSetViewPtr> pages;
        for (int i = 0; i < 3; ++i) {
            auto p = QuestionSetView::createTemplate(i + 2, QSizeF(800, 600));
            p->getQuestionTitle()->textview()->setString(QStringLiteral("Question %1").arg(i));
            p->setStrStandardCode(QStringLiteral("MATH.%1").arg(i));
            pages << p;
        }
        set.setArrayQuestionsInfo(pages);
        set.setNExamPaperID(17);
        set.setStrExamPaperTitle(title);
        set.setStrMemo(QStringLiteral("old memo"));
        const QString path = home() + name;
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }
    static void typeID(TitleSetController &dialog, const QString &keys)
    {
        dialog.txtID->setFocus();
        dialog.txtID->selectAll();
        QTest::keyClicks(dialog.txtID, keys);
    }
    DialogAnswers answers;
};

} // namespace

TEST_F(TitleSetTest, OkWritesIdTitleAndMemoAndLeavesThePagesAsTheyWere)
{
    const QString path = questionFile(QStringLiteral("Unit1.px"), QStringLiteral("Fractions"));
    TitleSetController dialog;
    dialog.setFilePath(path);
    dialog.setTeacherName(QStringLiteral("Ms Reed"));
    dialog.setSubjectName(QStringLiteral("Maths"));
    ASSERT_TRUE(dialog.awakeFromNib());
    dialog.show();
    EXPECT_EQ(dialog.txtID->text(), "17");
    EXPECT_EQ(dialog.txtTestTitle->text(), "Fractions") << "the set's own title";
    EXPECT_EQ(dialog.txtMemo->text(), "old memo");
    EXPECT_EQ(dialog.txtTeacherName->text(), "Ms Reed");
    EXPECT_TRUE(dialog.txtTeacherName->isReadOnly());

    typeID(dialog, QStringLiteral("0042"));
    EXPECT_EQ(dialog.txtID->text(), "42");
    typeID(dialog, QStringLiteral("1234"));
    EXPECT_EQ(dialog.txtID->selectedText(), "1234") << "a full ID is selected";
    QTest::keyClicks(dialog.txtID, QStringLiteral("5"));
    EXPECT_EQ(dialog.txtID->text(), "5") << "a fifth digit replaces it";
    typeID(dialog, QStringLiteral("7x"));
    EXPECT_EQ(dialog.txtID->text(), "7") << "letters are refused";
    typeID(dialog, QStringLiteral("0042"));
    dialog.txtMemo->setText(QStringLiteral("for Tuesday"));

    // What OK must write: the file as read, with the three values changed.
    ExamPaperInfoPtr expected = ExamPaperInfo::unarchiveObjectWithFile(path);
    expected->setNExamPaperID(42);
    expected->setStrExamPaperTitle(QStringLiteral("Fractions"));
    expected->setStrMemo(QStringLiteral("for Tuesday"));
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(readFile(path), expected->archivedData());
    ExamPaperInfoPtr back = ExamPaperInfo::loadQuestionFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->nExamPaperID(), 42);
    EXPECT_EQ(back->arrayQuestionsInfo()[2]->strStandardCode(), "MATH.2");

    // Cancel after editing leaves the file alone.
    const QByteArray written = readFile(path);
    TitleSetController again;
    again.setFilePath(path);
    ASSERT_TRUE(again.awakeFromNib());
    again.txtTestTitle->setText(QStringLiteral("changed"));
    again.onCancel();
    EXPECT_EQ(readFile(path), written);
}

TEST_F(TitleSetTest, AnUntitledSetIsOfferedItsFileNameAndAnUnreadableFileIsNeverWritten)
{
    const QString path = questionFile(QStringLiteral("Week 3.sep"), QString());
    TitleSetController dialog;
    dialog.setFilePath(path);
    ASSERT_TRUE(dialog.awakeFromNib());
    EXPECT_EQ(dialog.txtTestTitle->text(), "Week 3.sep");

    const QByteArray damaged = "bplist00 this is not a question file";
    const QString bad = writeFile(QStringLiteral("bad.px"), damaged);
    TitleSetController refused;
    refused.setFilePath(bad);
    EXPECT_EQ(refused.runModal(), 0);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Error format!"});
    EXPECT_FALSE(refused.btnOK->isEnabled());
    refused.onOK();
    EXPECT_EQ(readFile(bad), damaged) << "an empty set is never written over the teacher's file";
}

TEST_F(TitleSetTest, AnEmptyTitleIsRefusedWithItsReasonAndTheDialogKeepsTheEdits)
{
    const QString path = questionFile(QStringLiteral("Unit2.px"), QStringLiteral("Fractions"));
    const QByteArray before = readFile(path);
    TitleSetController dialog;
    dialog.setFilePath(path);
    ASSERT_TRUE(dialog.awakeFromNib());
    dialog.show();
    dialog.txtMemo->setText(QStringLiteral("for Tuesday"));
    dialog.txtTestTitle->setFocus();
    dialog.txtTestTitle->selectAll();
    QTest::keyClicks(dialog.txtTestTitle, QStringLiteral("   "));
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Title should not be empty."});
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open";
    EXPECT_EQ(dialog.txtMemo->text(), "for Tuesday");
    EXPECT_EQ(readFile(path), before) << "nothing is written";

    dialog.txtTestTitle->selectAll();
    QTest::keyClicks(dialog.txtTestTitle, QStringLiteral("Unit 2"));
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), 1);
    const ExamPaperInfoPtr back = ExamPaperInfo::loadQuestionFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->strExamPaperTitle(), "Unit 2");
    EXPECT_EQ(back->strMemo(), "for Tuesday");
}
