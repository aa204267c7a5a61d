#include "QuestionInfoRules.h"

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
    switch (deviceType) {
    case 0:
    case 1:
        return {{kSingle, 0}, {kTrueFalse, 5}, {kPlan, 4}};
    case 4:
        return {{kSingle, 0}, {kMultiple, 1}, {kTrueFalse, 5}, {kCloze, 2}, {kPlan, 4}};
    default:
        return {{kSingle, 0}, {kMultiple, 1}, {kTrueFalse, 5}, {kCloze, 2}, {kShort, 3}, {kPlan, 4}};
    }
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
    case 0: return kSingle;
    case 1: return kMultiple;
    case 2: return kCloze;
    case 3: return kShort;
    case 4: return kPlan;
    case 5: return kTrueFalse;
    default: return {};
    }
}

QList<QuestionInfoRules::Entry> QuestionInfoRules::actionModes(bool withVote)
{
    QList<Entry> modes{{QStringLiteral("Normal Quiz"), 0}, {QStringLiteral("Rush Quiz"), 3}, {QStringLiteral("Elimination"), 4}};
    if (withVote)
        modes.append({QStringLiteral("Vote"), 7});
    return modes;
}

QString QuestionInfoRules::shownAnswer(const QString &answer, int type)
{
    if (answer.isEmpty())
        return QStringLiteral("nocorrect");
    if (type == 0 || type == 1 || type == 5) {
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
    Controls c;
    if (type == 4)
        return c;
    if (mode == 7) {
        // A vote is timed but neither scored nor graded.
        c.timeLimit = true;
        c.applyTimePoint = true;
        return c;
    }
    c.point = c.timeLimit = c.dePoint = c.rushTime = c.difficulty = true;
    c.applyTimePoint = c.applyLevel = c.applyRush = true;
    switch (type) {
    case 1:
        c.area = AnswerArea::Multiple;
        break;
    case 2:
    case 3:
        c.area = AnswerArea::Other;
        c.otherEditable = true;
        break;
    case 0:
    case 5:
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
