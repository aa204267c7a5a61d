#include "VoteResult.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/QuizComputeMethod.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"

#include <QtGlobal>

ActivityFrames::ClassResult VoteResult::of(const QuizComputeMethod &counts, int q)
{
    ActivityFrames::ClassResult r;
    r.questionType = QuestionType::SingleAnswer;
    r.correctAnswer = QStringLiteral("nocorrect");
    r.students = QuizParticipantData::shareManager()->getSumOfLoginStudents();
    const int options = qBound(0, QuizQuestions::shareManager()->optionNum(q), 10);
    for (int k = 1; k <= options; ++k)
        r.options.append({counts.getNumOfOption(k, q), counts.getRateOption(k, q)});
    r.noAnswer = {counts.getNumOfNoAnswer(q), counts.getRateOfNoAnswer(q)};
    return r;
}

QByteArray VoteResult::frame(ActivityFrames::KeypadAddress to, const QuizComputeMethod &counts, int q)
{
    return ActivityFrames::resultOfClass(to, of(counts, q));
}
