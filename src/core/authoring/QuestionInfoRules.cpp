#include "QuestionInfoRules.h"

#include "core/base/ActivityCodes.h"

namespace {
const QString kSingle = QStringLiteral("Single Answer");
const QString kMultiple = QStringLiteral("Multiple Answer");
const QString kTrueFalse = QStringLiteral("True or False");
const QString kCloze = QStringLiteral("Cloze Test");
const QString kShort = QStringLiteral("Short Answer");
const QString kPlan = QStringLiteral("Teaching Plan");
} // namespace

QList<QuestionInfoRules::Entry> QuestionInfoRules::questionTypes(int deviceType)
{
    using namespace QuestionType;
    if (DeviceType::isSmallFamily(deviceType))
        return {{kSingle, SingleAnswer}, {kTrueFalse, TrueFalse}, {kPlan, TeachingPlan}};
    if (deviceType == DeviceType::Brevel)
        return {{kSingle, SingleAnswer}, {kMultiple, MultipleAnswer}, {kTrueFalse, TrueFalse}, {kCloze, Cloze}, {kPlan, TeachingPlan}};
    return {{kSingle, SingleAnswer}, {kMultiple, MultipleAnswer}, {kTrueFalse, TrueFalse}, {kCloze, Cloze},
            {kShort, ShortAnswer}, {kPlan, TeachingPlan}};
}

bool QuestionInfoRules::isTypeOffered(int deviceType, int type)
{
    for (const Entry &e : questionTypes(deviceType))
        if (e.code == type)
            return true;
    return false;
}

QString QuestionInfoRules::questionTypeName(int type)
{
    switch (type) {
    case QuestionType::SingleAnswer: return kSingle;
    case QuestionType::MultipleAnswer: return kMultiple;
    case QuestionType::Cloze: return kCloze;
    case QuestionType::ShortAnswer: return kShort;
    case QuestionType::TeachingPlan: return kPlan;
    case QuestionType::TrueFalse: return kTrueFalse;
    default: return {};
    }
}

QList<QuestionInfoRules::Entry> QuestionInfoRules::actionModes(bool withVote)
{
    QList<Entry> modes{{QStringLiteral("Normal Quiz"), ActionMode::Normal},
                       {QStringLiteral("Rush Quiz"), ActionMode::Rush},
                       {QStringLiteral("Elimination"), ActionMode::Elimination}};
    if (withVote)
        modes.append({QStringLiteral("Vote"), ActionMode::Vote});
    return modes;
}

QString QuestionInfoRules::shownAnswer(const QString &answer, int type)
{
    if (answer.isEmpty())
        return QStringLiteral("nocorrect");
    if (type == QuestionType::SingleAnswer || type == QuestionType::MultipleAnswer || type == QuestionType::TrueFalse) {
        if (answer == QLatin1String("True"))
            return QStringLiteral("A");
        if (answer == QLatin1String("False"))
            return QStringLiteral("B");
    }
    return answer;
}

int QuestionInfoRules::singleAnswerCell(const QString &shown, bool *nowNoCorrect)
{
    *nowNoCorrect = false;
    if (shown == QLatin1String("nocorrect"))
        return kNoCorrectCell;
    if (shown.size() > 1) {
        *nowNoCorrect = true;
        return kNoCorrectCell;
    }
    if (shown.size() == 1 && shown[0] >= QLatin1Char('A') && shown[0] <= QLatin1Char('J'))
        return shown[0].unicode() - u'A';
    *nowNoCorrect = true;
    return kBlankCell;
}

QuestionInfoRules::Controls QuestionInfoRules::controls(int deviceType, int type, int mode)
{
    using namespace QuestionType;
    Controls c;
    if (type == TeachingPlan)
        return c;
    if (mode == ActionMode::Vote) {
        // A vote is timed but neither scored nor graded.
        c.timeLimit = true;
        c.applyTimePoint = true;
        return c;
    }
    c.point = c.timeLimit = c.dePoint = c.rushTime = c.difficulty = true;
    c.applyTimePoint = c.applyLevel = c.applyRush = true;
    switch (type) {
    case MultipleAnswer:
        c.area = AnswerArea::Multiple;
        break;
    case Cloze:
    case ShortAnswer:
        c.area = AnswerArea::Other;
        c.otherEditable = true;
        break;
    case SingleAnswer:
    case TrueFalse:
        c.area = AnswerArea::Single;
        break;
    default:
        break;
    }
    if (!isTypeOffered(deviceType, type)) {
        // The keypads cannot answer this type: nothing to answer until another type is chosen.
        c.area = AnswerArea::Other;
        c.otherEditable = false;
    }
    return c;
}
