#include "ResultSummary.h"

#include "core/engine/ActivityRules.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/AnswerScoring.h"

int ResultSummary::eliminatedBefore(int q)
{
    const QuizQuestions *qq = QuizQuestions::shareManager();
    for (int k = q - 1; k >= 1; --k)
        if (qq->questionType(k) != QuestionType::TeachingPlan)
            return QuizData::shareManager()->getArrayAlreadlyEliminationSum(k);
    return 0;
}

ResultSummary ResultSummary::compute(int q, int activity)
{
    const QuizParticipantData *qpd = QuizParticipantData::shareManager();
    const QuizData *qd = QuizData::shareManager();
    ResultSummary s;
    const QList<int> devices = qpd->loginDeviceNos();
    const int logged = int(devices.size());
    const int inClass = qpd->getSumOfClassStudents();

    const QuestionRepondData record = qd->record(q);
    const QList<QString> answers = record.studentsAnswer();
    const QList<int> times = record.studentsAnswerTime();
    const QString correct = QuizQuestions::shareManager()->answer(q);
    int timeSum = 0;
    for (int p = 0; p < logged; ++p) {
        timeSum += p < times.size() ? times.at(p) : 0;
        switch (AnswerScoring::outcome(p < answers.size() ? answers.at(p) : QString(), correct)) {
        case AnswerScoring::Outcome::Right: ++s.correct; break;
        case AnswerScoring::Outcome::Wrong: ++s.incorrect; break;
        case AnswerScoring::Outcome::NoResponse: ++s.noResponse; break;
        }
    }

    s.attendants = logged;
    s.absentees = qMax(0, inClass - logged);
    s.total = logged;
    s.elimination = ActivityRules::eliminates(activity, QuizQuestions::shareManager()->actionMode(q));
    if (s.elimination) {
        const int before = eliminatedBefore(q);
        const int now = qd->getArrayAlreadlyEliminationSum(q);
        const int newly = now - before;
        s.eliminated = qMax(0, newly);
        s.retained = newly < 0 ? 0 : qMax(0, logged - before - newly);
        s.attendants = qMax(0, logged - before);
        s.absentees = before + qMax(0, inClass - logged);
        s.total = s.attendants;
        // The students put out earlier could not answer: everyone still in who gave no answer.
        s.noResponse = qMax(0, s.total - s.correct - s.incorrect);
    }
    s.averageTime = s.attendants < 1 ? 0.f : float(timeSum) / float(s.attendants);
    if (s.total >= 1) {
        s.fCorrect = float(s.correct) / float(s.total);
        s.fError = float(s.incorrect) / float(s.total);
        s.fNoResponse = float(s.noResponse) / float(s.total);
    }
    return s;
}
