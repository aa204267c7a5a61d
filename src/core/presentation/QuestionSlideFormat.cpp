#include "QuestionSlideFormat.h"

#include "core/store/XMLControl.h"
#include "platform/Log.h"
#include "platform/PPTEditor.h"
#include "platform/PptxPresentation.h"

#include <climits>

namespace {

const QString kTitle = QStringLiteral("Qu_Title");
const QString kStandard = QStringLiteral("standard");
const QString kAnswer = QStringLiteral("answer");
const QString kMark = QStringLiteral("mark");
const QString kTime = QStringLiteral("time");
const QString kDeduceMark = QStringLiteral("deducemark");
const QString kRushTime = QStringLiteral("rushtime");
const QString kMode = QStringLiteral("mode");
const QString kActivityMode = QStringLiteral("activity_mode");
const QString kLevel = QStringLiteral("level");
const QString kId = QStringLiteral("ID");
const QString kStandardSeparator = QStringLiteral("_&#");
const QString kNoCorrect = QStringLiteral("nocorrect");

constexpr int kSingle = 0, kMultiple = 1, kCloze = 2, kShort = 3, kTeachingPlan = 4, kTrueFalse = 5;
constexpr int kEditorVote = 3;

const QStringList &typeTexts()
{
    static const QStringList texts{QStringLiteral("Single Answer"), QStringLiteral("Multiple Answer"),
                                   QStringLiteral("Cloze Test"),    QStringLiteral("Short Answer"),
                                   QStringLiteral("Teaching Plan"), QStringLiteral("True or False")};
    return texts;
}

// The run knows five activity texts; the editor writes four of them and reads only those.
const QStringList &runActivityTexts()
{
    static const QStringList texts{QStringLiteral("Testing ---> Normal Quiz"), QStringLiteral("Gaming ---> Rush Quiz"),
                                   QStringLiteral("Gaming ---> Elimination"), QStringLiteral("Ad-hoc ---> Survey"),
                                   QStringLiteral("Ad-hoc ---> Vote")};
    return texts;
}

const QStringList &editorActivityTexts()
{
    static const QStringList texts{runActivityTexts().at(0), runActivityTexts().at(1), runActivityTexts().at(2),
                                   runActivityTexts().at(4)};
    return texts;
}

const QStringList &levelTexts()
{
    static const QStringList texts{QStringLiteral("Other"), QStringLiteral("Easy"), QStringLiteral("Normal"),
                                   QStringLiteral("Hard")};
    return texts;
}

QString optionName(int k)
{
    return QStringLiteral("Option") + QChar(u'A' + k);
}

int firstContained(const QString &text, const QStringList &candidates, int none)
{
    for (int i = 0; i < candidates.size(); ++i)
        if (text.contains(candidates.at(i)))
            return i;
    return none;
}

// What both readers take alike: texts, numbers, activity, level and the visible option count.
QuizQuestionsElement readCommon(PPTEditor &ppt, int slide, const QStringList &activities)
{
    QuizQuestionsElement q;
    auto text = [&](const QString &name) { return ppt.readTextBoxByName(name, slide); };
    q.setStrTitle(text(kTitle));
    for (int k = 0; k < 10; ++k)
        q.setStrOption(k, text(optionName(k)));
    q.setStrAnswer(text(kAnswer));
    q.setNPoint(QuestionSlideFormat::integerValue(text(kMark)));
    q.setNQuizTime(QuestionSlideFormat::integerValue(text(kTime)));
    q.setNRushPoint(QuestionSlideFormat::integerValue(text(kDeduceMark)));
    q.setNRushTime(QuestionSlideFormat::integerValue(text(kRushTime)));
    q.setNActionMode(firstContained(text(kActivityMode), activities, 0));
    q.setNOptionNum(ppt.getOptionCountbySlidePos(slide));
    q.setNDiffcult(firstContained(text(kLevel), levelTexts(), 0));
    return q;
}

} // namespace

QString QuestionSlideFormat::questionTypeText(int type)
{
    return typeTexts().value(type);
}

QString QuestionSlideFormat::activityText(int editorIndex)
{
    return editorActivityTexts().value(editorIndex);
}

QString QuestionSlideFormat::levelText(int level)
{
    return levelTexts().value(level);
}

int QuestionSlideFormat::integerValue(const QString &text)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i)
        value = qMin<qint64>(value * 10 + (text.at(i).unicode() - '0'), qint64(INT_MAX) + 1);
    if (negative)
        return int(qMax<qint64>(-value, INT_MIN));
    return int(qMin<qint64>(value, INT_MAX));
}

QuizQuestionsElement QuestionSlideFormat::readForRun(PPTEditor &ppt, int slide)
{
    QuizQuestionsElement q = readCommon(ppt, slide, runActivityTexts());
    const QString standard = ppt.readTextBoxByName(kStandard, slide);
    q.setStrStandard(standard);
    q.setStrStandardTitle(standard);
    const QString mode = ppt.readTextBoxByName(kMode, slide);
    if (mode.isEmpty()) {
        q.setNQuestionType(kTeachingPlan);
    } else {
        for (int i = 0; i < typeTexts().size(); ++i)
            if (mode.contains(typeTexts().at(i)))
                q.setNQuestionType(i);
    }
    return q;
}

QList<QuizQuestionsElement> QuestionSlideFormat::copyQuesInfoSlideToArray(PPTEditor &ppt, const std::function<void(int, int)> &progress)
{
    QList<QuizQuestionsElement> out;
    for (int i = 0; i < ppt.getCountOfSlide(); ++i) {
        if (progress)
            progress(i + 1, ppt.getCountOfSlide());
        out << readForRun(ppt, i);
    }
    return out;
}

QuizQuestionsElement QuestionSlideFormat::readForEditor(PPTEditor &ppt, int slide)
{
    QuizQuestionsElement q = readCommon(ppt, slide, editorActivityTexts());
    const QStringList standard = ppt.readTextBoxByName(kStandard, slide).split(kStandardSeparator);
    q.setStrStandard(standard.size() >= 2 ? standard.at(0) : QString());
    q.setStrStandardTitle(standard.size() >= 2 ? standard.at(1) : QString());
    if (q.strAnswer() == QLatin1String("True"))
        q.setStrAnswer(QStringLiteral("A"));
    else if (q.strAnswer() == QLatin1String("False"))
        q.setStrAnswer(QStringLiteral("B"));
    static const QList<int> order{kSingle, kMultiple, kTrueFalse, kCloze, kShort, kTeachingPlan};
    const QString mode = ppt.readTextBoxByName(kMode, slide);
    q.setNQuestionType(kSingle);
    for (int type : order)
        if (mode.contains(typeTexts().at(type))) {
            q.setNQuestionType(type);
            break;
        }
    return q;
}

bool QuestionSlideFormat::holdsQuestion(PPTEditor &ppt, int slide)
{
    for (int i = 0; i < ppt.getCountOfTextBoxBySlidePos(slide); ++i) {
        const std::optional<PptxPresentation::Shape> shape = ppt.readTextBoxBySliderPos(slide, i);
        // Written and read is the first shape of the name.
        if (shape && shape->name == kTitle)
            return shape->takesText;
    }
    return false;
}

bool QuestionSlideFormat::writeQuestion(PPTEditor &ppt, int slide, QuizQuestionsElement &q, int editorActivityIndex,
                                        QString *errorText)
{
    QString missing;
    if (!holdsQuestion(ppt, slide)) {
        if (errorText)
            *errorText = QStringLiteral("Slide %1 holds no question.").arg(slide + 1);
        return false;
    }
    // The options are the slide's own option shapes: a letter without one is not offered.
    auto writeOption = [&](int k, const QString &text) { ppt.writeTextBoxByName(optionName(k), slide, text); };
    auto write = [&](const QString &name, const QString &text) {
        if (ppt.writeTextBoxByName(name, slide, text))
            return;
        if (!ppt.addTextBox(slide, name, text, true) || ppt.readTextBoxByName(name, slide) != text)
            missing = name;
    };
    write(kTitle, q.strTitle());
    for (int k = 0; k < 10; ++k)
        writeOption(k, q.strOption(k));
    write(kStandard, q.strStandard() + kStandardSeparator + q.strStandardTitle());
    write(kAnswer, q.nQuestionType() == kTeachingPlan ? kNoCorrect : q.strAnswer());
    write(kMark, QString::number(q.nPoint()));
    write(kTime, QString::number(q.nQuizTime()));
    write(kDeduceMark, QString::number(q.nRushPoint()));
    write(kRushTime, QString::number(q.nRushTime()));

    const bool noAnswer = q.strAnswer().isEmpty() || q.strAnswer() == kNoCorrect;
    if (noAnswer && editorActivityIndex != kEditorVote) {
        write(kMode, typeTexts().at(kTeachingPlan));
        q.setNQuestionType(kTeachingPlan);
        q.setNOptionNum(0);
    } else {
        write(kMode, typeTexts().value(q.nQuestionType()));
        q.setNOptionNum(ppt.getAllOptionCountbySlidePos(slide));
    }
    write(kActivityMode, activityText(editorActivityIndex));
    write(kLevel, levelText(q.nDiffcult()));

    int wanted = q.nOptionNum();
    if (q.nQuestionType() == kTrueFalse)
        wanted = 2;
    else if (q.nQuestionType() == kCloze || q.nQuestionType() == kShort)
        wanted = 0;
    wanted = qBound(0, wanted, 10);
    const int visible = ppt.getOptionCountbySlidePos(slide);
    // The visible options are the first ones, OptionA onward.
    if (visible > wanted) {
        for (int k = visible - 1; k >= wanted; --k)
            ppt.setTextBoxVisible(false, optionName(k), slide);
        ppt.setOvalVisible(false, slide);
    } else if (visible < wanted) {
        for (int k = wanted - 1; k >= visible; --k)
            ppt.setTextBoxVisible(true, optionName(k), slide);
        ppt.setOvalVisible(true, slide);
    }
    if (q.nQuestionType() == kTrueFalse) {
        ppt.setTextBoxVisible(true, QStringLiteral("Oval 3"), slide);
        ppt.setTextBoxVisible(true, QStringLiteral("Oval 5"), slide);
        writeOption(0, QStringLiteral("True"));
        writeOption(1, QStringLiteral("False"));
    }
    if (missing.isEmpty())
        return true;
    if (errorText)
        *errorText = QStringLiteral("Slide %1 cannot take the box \"%2\".").arg(slide + 1).arg(missing);
    return false;
}

std::optional<int> QuestionSlideFormat::applyExamIdRule(PPTEditor &ppt, const std::function<std::optional<int>()> &nextExamId,
                                                        bool *changed, QString *errorText)
{
    if (changed)
        *changed = false;
    auto fail = [&](const QString &why) -> std::optional<int> {
        if (errorText)
            *errorText = why;
        return std::nullopt;
    };
    if (ppt.getCountOfSlide() < 1)
        return fail(QStringLiteral("The presentation has no slide."));
    const int current = integerValue(ppt.readTextBoxByName(kId, 0));
    if (current != 0)
        return current;
    const std::optional<int> id = nextExamId ? nextExamId() : std::nullopt;
    if (!id)
        return fail(QStringLiteral("No new exam ID could be recorded."));
    const QString text = QString::number(*id);
    if (!ppt.writeTextBoxByName(kId, 0, text) && !ppt.addTextBox(0, kId, text, true))
        return fail(QStringLiteral("The exam ID could not be written into the first slide."));
    if (changed)
        *changed = true;
    return *id;
}

std::optional<int> QuestionSlideFormat::applyExamIdRule(PPTEditor &ppt, bool *changed, QString *errorText)
{
    return applyExamIdRule(ppt, [] { return XMLControl::sharedXMLUI()->getExamID(); }, changed, errorText);
}

QuestionSlideFormat::ExamIdDraw QuestionSlideFormat::drawExamId(PPTEditor &ppt, QString *errorText)
{
    ExamIdDraw draw;
    draw.before = ppt.readTextBoxByName(kId, 0);
    draw.wasModified = ppt.isModified();
    draw.id = applyExamIdRule(ppt, &draw.drawn, errorText);
    return draw;
}

void QuestionSlideFormat::takeBackExamId(PPTEditor &ppt, const ExamIdDraw &draw)
{
    if (!draw.drawn || !draw.id)
        return;
    // A box the rule added stays, empty: it reads as no ID, as the missing box did.
    ppt.writeTextBoxByName(kId, 0, draw.before);
    ppt.setModified(draw.wasModified);
    QString why;
    if (!XMLControl::sharedXMLUI()->giveBackExamID(*draw.id, &why))
        PollixLog(QStringLiteral("exam ID %1 not given back: %2").arg(*draw.id).arg(why));
}
