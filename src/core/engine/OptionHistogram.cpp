#include "OptionHistogram.h"

#include "core/base/ActivityCodes.h"
#include "core/base/CommonFunc.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/QuizComputeMethod.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/ResultSummary.h"
#include "core/engine/RunScoring.h"

int OptionHistogram::correctBarOf(const QString &answer, int optionCount)
{
    int bar = 0;
    if (answer == QLatin1String("True"))
        bar = 1;
    else if (answer == QLatin1String("False"))
        bar = 2;
    else if (!answer.isEmpty())
        bar = answer.at(0).unicode() - 64;
    return bar >= 1 && bar <= optionCount ? bar : 0;
}

OptionHistogram OptionHistogram::compute(int q, int activity, bool markCorrect)
{
    const QuizQuestions *qq = QuizQuestions::shareManager();
    const QuizParticipantData *qpd = QuizParticipantData::shareManager();
    OptionHistogram h;
    const bool trueFalse = qq->questionType(q) == QuestionType::TrueFalse;
    // The option count comes from the question file: hold it to the bars there are.
    h.optionCount = trueFalse ? 2 : qBound(0, qq->optionNum(q), MaxOptions);
    const QuizComputeMethod options;
    for (int k = 1; k <= h.optionCount; ++k)
        h.labels << options.optionText(k, q);

    const int logged = qpd->getSumOfLoginStudents();
    h.attending = logged;
    if (ActivityRules::eliminates(activity, qq->actionMode(q)))
        h.attending = qMax(0, logged - ResultSummary::eliminatedBefore(q));

    const RunScoring scoring(activity);
    const QList<QString> answers = QuizData::shareManager()->record(q).studentsAnswer();
    h.counts = QList<int>(h.optionCount + 1, 0);
    int chose = 0;
    for (int p = 0; p < logged; ++p) {
        const QString answer = p < answers.size() ? answers.at(p) : QString();
        for (int k = 0; k < h.optionCount; ++k) {
            if (myStringIsEqualToString(answer, h.labels.at(k))) {
                ++h.counts[k];
                ++chose;
                break;
            }
        }
        h.totalPoints += scoring.points(q, answer);
    }
    h.counts[h.optionCount] = qMax(0, h.attending - chose);
    for (int count : h.counts)
        h.fractions << (h.attending < 1 ? 0.0 : double(count) / double(h.attending));
    h.averagePoints = h.attending < 1 ? 0.0 : double(h.totalPoints) / double(h.attending);
    if (markCorrect)
        h.correctBar = correctBarOf(qq->answer(q), h.optionCount);
    return h;
}
