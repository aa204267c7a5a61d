#include "RunQuestionRecord.h"

#include "core/authoring/QuestionSetView.h"
#include "core/base/ActivityCodes.h"

namespace {
constexpr int kMaxOptions = 10;
const QString kNoCorrect = QStringLiteral("nocorrect");
} // namespace

int RunQuestionRecord::runActionMode(int stored)
{
    switch (stored) {
    case ActionMode::Stored::Rush: return ActionMode::Rush;
    case ActionMode::Stored::Elimination: return ActionMode::Elimination;
    default: return stored;
    }
}

QString RunQuestionRecord::runAnswer(int questionType, const QString &stored, int actionMode, int activity)
{
    if (actionMode == ActionMode::Vote && activity != Activity::Vote)
        return kNoCorrect;
    if (questionType != QuestionType::TrueFalse)
        return stored;
    if (stored == QLatin1String("A") || stored == QLatin1String("True"))
        return QStringLiteral("True");
    if (stored == QLatin1String("B") || stored == QLatin1String("False"))
        return QStringLiteral("False");
    return kNoCorrect;
}

QuizQuestionsElement RunQuestionRecord::fromPage(const QuestionSetView &page, int activity)
{
    QuizQuestionsElement e;
    if (page.getQuestionTitle())
        e.setStrTitle(page.questionText());
    for (int k = 0; k < kMaxOptions; ++k)
        if (page.getOption(k))
            e.setStrOption(k, page.optionText(k));
    e.setNPoint(page.nQuestionPoint());
    e.setNQuizTime(page.nQuestionTimeLimit());
    e.setNRushTime(page.nQuestionRushTimeLimit());
    e.setNRushPoint(page.nQuestionDePoint());
    e.setNActionMode(runActionMode(page.nQuestionActionMode()));
    e.setNQuestionType(page.nQuestionType());
    e.setNOptionNum(page.nQuestionType() == QuestionType::TrueFalse ? 2 : page.getOptionNum());
    e.setStrAnswer(runAnswer(page.nQuestionType(), page.strAnswer(), e.nActionMode(), activity));
    e.setStrStandard(page.strStandardCode());
    e.setStrStandardTitle(page.strStandardTitle());
    e.setNDiffcult(page.nQuestionDifficulty());
    return e;
}

QList<QuizQuestionsElement> RunQuestionRecord::fromPages(const QList<std::shared_ptr<QuestionSetView>> &pages, int activity)
{
    QList<QuizQuestionsElement> list;
    list.reserve(pages.size());
    for (const auto &page : pages)
        if (page)
            list.append(fromPage(*page, activity));
    return list;
}

QString RunQuestionRecord::readAloudText(const QuizQuestionsElement &q)
{
    QString text = q.strTitle();
    int options = 0;
    if (q.nQuestionType() == QuestionType::TrueFalse)
        options = 2;
    else if (q.nQuestionType() == QuestionType::SingleAnswer || q.nQuestionType() == QuestionType::MultipleAnswer)
        options = q.nOptionNum() < 2 ? 0 : qMin(kMaxOptions, q.nOptionNum());
    for (int k = 0; k < options; ++k)
        text += QStringLiteral("\n Option%1: %2 \n").arg(QChar(u'A' + k), q.strOption(k));
    return text.isEmpty() ? QStringLiteral(" ") : text;
}
