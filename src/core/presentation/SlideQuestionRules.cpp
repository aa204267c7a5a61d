#include "SlideQuestionRules.h"

#include "core/authoring/QuestionInfoRules.h"
#include "core/base/ActivityCodes.h"

namespace {
constexpr int kOptions = 10;
const QString kNoCorrect = QStringLiteral("nocorrect");
} // namespace

QStringList SlideQuestionRules::activityNames(bool withVote)
{
    QStringList names{QStringLiteral("Normal Quiz"), QStringLiteral("Rush Quiz"), QStringLiteral("Elimination")};
    if (withVote)
        names << QStringLiteral("Vote");
    return names;
}

QuizQuestionsElement SlideQuestionRules::addedQuestion(const QString &title, const QStringList &options, int visibleOptions,
                                                       int templateIndex)
{
    QuizQuestionsElement q;
    q.setStrTitle(title);
    for (int k = 0; k < kOptions && k < options.size(); ++k)
        q.setStrOption(k, options[k]);
    q.setNPoint(10);
    q.setNQuizTime(30);
    q.setNRushPoint(30);
    q.setNRushTime(30);
    if (templateIndex == 0)
        q.setNQuestionType(QuestionType::TrueFalse);
    else
        q.setNQuestionType(visibleOptions > 0 ? QuestionType::SingleAnswer : QuestionType::Cloze);
    q.setNActionMode(0);
    q.setNOptionNum(visibleOptions);
    q.setNDiffcult(0);
    return q;
}

int SlideQuestionRules::optionCount(int type, int slideOptions)
{
    switch (type) {
    case QuestionType::Cloze:
    case QuestionType::ShortAnswer:
    case QuestionType::TeachingPlan:
        return 0;
    case QuestionType::TrueFalse:
        return 2;
    default:
        return qBound(0, slideOptions, kOptions);
    }
}

int SlideQuestionRules::shownOptions(int type, int optionCount)
{
    return type == QuestionType::TrueFalse ? 2 : qBound(0, optionCount, kOptions);
}

QString SlideQuestionRules::formAnswer(int type, const QString &answer)
{
    switch (type) {
    case QuestionType::SingleAnswer:
    case QuestionType::TrueFalse: {
        bool noCorrect = false;
        const QString shown = QuestionInfoRules::shownAnswer(answer, type);
        QuestionInfoRules::singleAnswerCell(shown, &noCorrect);
        return noCorrect ? kNoCorrect : shown;
    }
    case QuestionType::MultipleAnswer: {
        const QString shown = QuestionInfoRules::shownAnswer(answer, type);
        if (shown == kNoCorrect)
            return kNoCorrect;
        QString letters;
        for (int k = 0; k < kOptions; ++k)
            if (shown.contains(QChar(u'A' + k)))
                letters += QChar(u'A' + k);
        return letters.isEmpty() ? kNoCorrect : letters;
    }
    default:
        return answer;
    }
}

QString SlideQuestionRules::multipleAnswer(const QList<bool> &ticked, int maxLetters, int justTicked, bool *refused)
{
    *refused = false;
    QList<bool> boxes = ticked;
    int count = 0;
    for (int k = 0; k < boxes.size() && k < kOptions; ++k)
        count += boxes[k] ? 1 : 0;
    if (count > maxLetters && justTicked >= 0 && justTicked < boxes.size() && boxes[justTicked]) {
        boxes[justTicked] = false;
        *refused = true;
    }
    QString letters;
    for (int k = 0; k < boxes.size() && k < kOptions; ++k)
        if (boxes[k])
            letters += QChar(u'A' + k);
    return letters;
}

void SlideQuestionRules::applyToAll(QList<QuizQuestionsElement> &questions, ApplyToAll what, const QuizQuestionsElement &from)
{
    for (QuizQuestionsElement &q : questions) {
        switch (what) {
        case ApplyToAll::TimeAndPoints:
            q.setNPoint(from.nPoint());
            q.setNQuizTime(from.nQuizTime());
            break;
        case ApplyToAll::Level:
            q.setNDiffcult(from.nDiffcult());
            break;
        case ApplyToAll::RushTimeAndPoints:
            q.setNRushPoint(from.nRushPoint());
            q.setNRushTime(from.nRushTime());
            break;
        }
    }
}
