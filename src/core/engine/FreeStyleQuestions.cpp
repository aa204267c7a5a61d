#include "FreeStyleQuestions.h"

#include "core/authoring/QuestionSetView.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "core/base/ActivityCodes.h"
#include "core/engine/RunQuestionRecord.h"

void FreeStyleQuestions::addQuestion(int questionType, const QString &answer, int optionCount)
{
    QuizQuestionsElement e;
    e.setNQuestionType(questionType);
    e.setStrAnswer(answer);
    e.setNOptionNum(optionCount);
    QuizQuestions::shareManager()->addQuestion(e);
}

void FreeStyleQuestions::reloadQuestionInfo(const QuestionSetView &page, int n)
{
    if (n < 1)
        return;
    QuizQuestions *qq = QuizQuestions::shareManager();
    QuizQuestionsElement e = qq->element(n);
    const QuizQuestionsElement fromPage = RunQuestionRecord::fromPage(page, Activity::NormalQuiz);
    e.setStrTitle(page.getQuestionTitle() ? fromPage.strTitle() : e.strTitle());
    for (int k = 0; k < 10; ++k)
        if (page.getOption(k))
            e.setStrOption(k, fromPage.strOption(k));
    e.setNQuizTime(fromPage.nQuizTime());
    e.setNRushTime(fromPage.nRushTime());
    e.setNRushPoint(fromPage.nRushPoint());
    e.setNActionMode(fromPage.nActionMode());
    e.setNOptionNum(page.getOptionNum());
    e.setStrStandard(fromPage.strStandard());
    e.setStrStandardTitle(fromPage.strStandardTitle());
    qq->setElement(n, e);
}

void FreeStyleQuestions::deleteQuestion(int q, QList<int> &addedByTeacher, QList<int> &stoppedNumbers)
{
    if (q < 1)
        return;
    QuizQuestions::shareManager()->removeQuestion(q);
    QuizData::shareManager()->removeQuestion(q);
    if (q <= addedByTeacher.size())
        addedByTeacher.removeAt(q - 1);
    removeQuestionNumber(stoppedNumbers, q);
}

void FreeStyleQuestions::removeQuestionNumber(QList<int> &numbers, int q)
{
    QList<int> out;
    for (int n : std::as_const(numbers))
        if (n != q)
            out << (n > q ? n - 1 : n);
    numbers = out;
}
