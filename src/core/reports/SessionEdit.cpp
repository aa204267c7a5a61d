#include "SessionEdit.h"

#include "AnswerTextRules.h"

#include "core/base/CommonFunc.h"
#include "core/engine/AnswerScoring.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/GlobalFunctions.h"


namespace {
using Kind = AnswerTextRules::Kind;

bool isFreeText(Kind kind)
{
    return kind == Kind::Cloze || kind == Kind::Short;
}

} // namespace

QStringList SessionEdit::levelNames()
{
    return {QStringLiteral("Other"), QStringLiteral("Easy"), QStringLiteral("Normal"), QStringLiteral("Hard")};
}

QString SessionEdit::levelName(const QString &stored)
{
    bool ok = false;
    const int level = stored.trimmed().toInt(&ok);
    return ok && level >= 0 && level < 4 ? levelNames().at(level) : levelNames().at(0);
}

QList<ActionDetail> SessionEdit::questionRows(const QuizEntity &quiz)
{
    const StoredAnswers replies(quiz);
    QList<ActionDetail> rows;
    int position = 0;
    for (const QuestionEntity &q : quiz.allQuestions()) {
        ActionDetail row;
        row.setQuNo(q.quNo());
        row.setActQuNo(++position);
        row.setQuMode(AnswerTextRules::nameOfCode(q.quType()));
        row.setActMode(q.quMode());
        row.setNumOfOptions(int(q.allOptions().size()));
        row.setQuLevel(levelName(q.level()));
        row.setCorrectAnswer(q.rightAns());
        row.setPoint(q.mark());
        row.setQuestion(q.title());
        row.setStandard(q.standard() ? q.standard()->title() : QString());
        row.setCode(q.standard() ? q.standard()->code() : QString());
        row.setRushPoint(q.desMark());
        for (const StudentEntity &s : quiz.allStudents()) {
            SingleColumnString cell;
            cell.setStr(replies.reply(s.id(), position - 1));
            cell.setStuID(s.id());
            cell.setNum(GlobalFunctions::intValue(s.id()));
            cell.setQuModeNo(AnswerTextRules::reportTypeNo(row.quMode()));
            cell.setQuTypeNo(GlobalFunctions::intValue(q.quMode()));
            row.studentAnswerArray().append(cell);
        }
        rows.append(row);
    }
    return rows;
}

QList<SingleColumnString> SessionEdit::studentRows(const QuizEntity &quiz)
{
    QList<SingleColumnString> rows;
    for (const StudentEntity &s : quiz.allStudents()) {
        SingleColumnString row;
        row.setNum(s.no());
        row.setStr(mergeFirstLastString(s.firstName(), s.lastName()));
        row.setStuID(s.id());
        rows.append(row);
    }
    return rows;
}

int SessionEdit::cellPoints(const QString &activityCode, const ActionDetail &row, const SingleColumnString &cell)
{
    return AnswerScoring::points(cell.str(), row.correctAnswer(), row.point(),
                                 AnswerScoring::storedWrongAnswerRule(activityCode, row.actMode()));
}

float SessionEdit::averagePoints(const QString &activityCode, QList<ActionDetail> &rows, int studentCount)
{
    int sum = 0;
    for (ActionDetail &row : rows) {
        const Kind kind = AnswerTextRules::kindOfName(row.quMode());
        if (!isFreeText(kind))
            row.setCorrectAnswer(row.correctAnswer().trimmed());
        if (kind == Kind::Multiple)
            row.setCorrectAnswer(sortString(row.correctAnswer()));
        for (SingleColumnString &cell : row.studentAnswerArray()) {
            if (!isFreeText(kind))
                cell.setStr(cell.str().trimmed());
            if (kind == Kind::Multiple)
                cell.setStr(sortString(cell.str()));
            sum += cellPoints(activityCode, row, cell);
        }
    }
    return studentCount > 0 ? float(sum) / float(studentCount) : 0.0f;
}

QString SessionEdit::refusal(QList<ActionDetail> &rows, int *row)
{
    QList<ActionDetail> settled = rows;
    for (int i = 0; i < settled.size(); ++i) {
        ActionDetail &r = settled[i];
        const Kind kind = AnswerTextRules::kindOfName(r.quMode());
        if (kind == Kind::TrueFalse)
            r.setNumOfOptions(2);
        QString correct = r.correctAnswer();
        const QString why = AnswerTextRules::editSaveRefusal(&correct, kind, r.numOfOptions());
        if (!why.isEmpty()) {
            if (row)
                *row = i;
            return why;
        }
        r.setCorrectAnswer(correct);
    }
    rows = settled;
    return QString();
}

QuizEntity SessionEdit::saved(const QuizEntity &loaded, const QList<ActionDetail> &rows, const QString &name,
                              const QString &sessionType, const QString &subject, int hostType)
{
    QuizEntity quiz = loaded;
    quiz.setName(name);
    quiz.setSessionType(sessionType);
    quiz.setSubject(subject);

    const qsizetype count = std::min(quiz.allQuestions().size(), rows.size());
    for (qsizetype i = 0; i < count; ++i) {
        QuestionEntity &q = quiz.allQuestions()[i];
        const ActionDetail &row = rows.at(i);
        // A question of a type the editor does not name (a page that is no question) keeps its
        // stored type; a level the teacher left alone stays as stored.
        if (!row.quMode().isEmpty())
            q.setQuType(AnswerTextRules::codeOfName(row.quMode()));
        if (row.quLevel() != levelName(q.level()))
            q.setLevel(QString::number(qMax(0, levelNames().indexOf(row.quLevel()))));
        q.setRightAns(row.correctAnswer());
        q.setOptionNum(row.numOfOptions());
        q.setMark(row.point());
        q.setTitle(row.question());
        StandardEntity standard;
        standard.setCode(row.code());
        standard.setTitle(row.standard());
        q.setStandard(standard);
        QList<QuestionOptionEntity> &options = q.allOptions();
        while (options.size() > row.numOfOptions())
            options.removeLast();
        while (options.size() < row.numOfOptions()) {
            QuestionOptionEntity o;
            o.setOptionID(int(options.size()));
            o.setPoint(0);
            options.append(o);
        }
    }

    // Each answer is written under its question's own stored number, so that it reads back under
    // the same question whatever the numbers' order; and keeps the time of the record the editor
    // showed.
    const StoredAnswers shown(loaded);
    QList<ResponseDataEntity> answers;
    for (qsizetype i = 0; i < count; ++i) {
        const ActionDetail &row = rows.at(i);
        const QString storedNumber = QString::number(loaded.allQuestions().at(i).quNo());
        // Where several questions share a number, a student's records go to them by order: an
        // unanswered one must keep its record so that the next answer does not move up to it.
        const bool shared = shown.numberIsShared(int(i));
        for (const SingleColumnString &cell : row.studentAnswerArray()) {
            const QString answer = cell.str();
            if (!shared && !AnswerTextRules::recordsAnswer(answer, hostType))
                continue;
            ResponseDataEntity a;
            a.setStudentID(cell.stuID());
            a.setResponse(answer);
            a.setQuestionID(storedNumber);
            a.setStudentPoint(QString::number(cellPoints(loaded.actionType(), row, cell)));
            const ResponseDataEntity *before = shown.find(cell.stuID(), int(i));
            a.setTime(before ? before->time() : 0);
            answers.append(a);
        }
    }
    quiz.setAllStudentsAns(answers);
    return quiz;
}
