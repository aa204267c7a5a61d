#include "AnswerScoring.h"

#include "core/base/CommonFunc.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/QuizEntity.h"

namespace {
const QString kStoredRushQuiz = QString::number(StoredActivity::RushQuiz);
const QString kStoredMultipleMode = QString::number(StoredActivity::MultipleMode);
} // namespace

bool AnswerScoring::isNoAnswer(const QString &answer)
{
    return answer.isEmpty() || answer == QLatin1String("__");
}

bool AnswerScoring::isMissedRush(const QString &answer)
{
    return answer == QLatin1String("__N");
}

bool AnswerScoring::isRight(const QString &answer, const QString &correct)
{
    if (isNoAnswer(answer) || isMissedRush(answer) || correct == QLatin1String("No Answer"))
        return false;
    return myStringIsEqualToString(answer, correct);
}

AnswerScoring::Outcome AnswerScoring::outcome(const QString &answer, const QString &correct)
{
    if (isNoAnswer(answer))
        return Outcome::NoResponse;
    return isRight(answer, correct) ? Outcome::Right : Outcome::Wrong;
}

int AnswerScoring::points(const QString &answer, const QString &correct, int questionPoints, WrongAnswer rule)
{
    if (isRight(answer, correct))
        return questionPoints;
    if (rule == WrongAnswer::CostsPoints && !isNoAnswer(answer))
        return -questionPoints;
    return 0;
}

AnswerScoring::WrongAnswer AnswerScoring::wrongAnswerRule(int activity, int questionActionMode)
{
    ActivityRule::WrongAnswer rule = ActivityRules::rule(activity).wrongAnswer;
    // The action mode of a question is the number of the activity it runs as.
    if (rule == ActivityRule::WrongAnswer::ByActionMode && questionActionMode != activity)
        rule = ActivityRules::rule(questionActionMode).wrongAnswer;
    return rule == ActivityRule::WrongAnswer::CostsPoints ? WrongAnswer::CostsPoints : WrongAnswer::ScoresNothing;
}

AnswerScoring::WrongAnswer AnswerScoring::storedWrongAnswerRule(const QString &activityCode, const QString &questionMode)
{
    const bool deducts = activityCode == kStoredRushQuiz
                         || (activityCode == kStoredMultipleMode && questionMode == kStoredRushQuiz);
    return deducts ? WrongAnswer::CostsPoints : WrongAnswer::ScoresNothing;
}

bool AnswerScoring::totalCoversWholeSet(int activity)
{
    return ActivityRules::rule(activity).totalCoversWholeSet;
}

int AnswerScoring::storedPoints(const QuizEntity &quiz, const QuestionEntity &question, const QString &response)
{
    // A session read from its file holds its activity's name, one being written its code.
    const QString activity = QString::number(DataManager::getActModeNoByName(quiz.actionType()));
    return points(response, question.rightAns(), question.mark(), storedWrongAnswerRule(activity, question.quMode()));
}

float AnswerScoring::storedTotal(const QuizEntity &quiz, const QString &studentID)
{
    if (quiz.allQuestions().isEmpty()) {
        for (const StudentEntity &s : quiz.allStudents())
            if (s.id() == studentID)
                return s.totalMark().toFloat();
        return 0;
    }
    int total = 0;
    for (const ResponseDataEntity &r : quiz.allStudentsAns())
        if (r.studentID() == studentID)
            total += GlobalFunctions::intValue(r.studentPoint());
    return float(total);
}

bool AnswerScoring::isStoredRight(const ResponseDataEntity *answer, const QuestionEntity &question)
{
    return answer && answer->response() == question.rightAns();
}

int AnswerScoring::storedRightCount(const QuizEntity &quiz, const StoredAnswers &stored, const QString &studentID,
                                    int *points)
{
    int right = 0, sum = 0;
    const QList<QuestionEntity> &questions = quiz.allQuestions();
    const QList<const ResponseDataEntity *> first = stored.answersOf(studentID);
    for (qsizetype k = 0; k < questions.size(); ++k) {
        const ResponseDataEntity *r = first.at(k);
        if (!r)
            continue;
        if (isStoredRight(r, questions.at(k)))
            ++right;
        sum += GlobalFunctions::intValue(r->studentPoint());
    }
    if (points)
        *points = sum;
    return right;
}
