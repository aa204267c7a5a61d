#include "DemoData.h"

#include "core/app/SystemFileUnpacker.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/MyTextView.h"
#include "core/authoring/QuestionSetView.h"
#include "core/store/DataManager.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {
struct DemoQuestion
{
    const char *text;
    int type; // 0 single answer, 5 true or false
    QStringList options;
    const char *answer;
};

const QList<DemoQuestion> &questions()
{
    static const QList<DemoQuestion> list{
        {"Which planet is closest to the Sun?", 0, {"Venus", "Mercury", "Mars", "Earth"}, "B"},
        {"Water boils at 100 degrees Celsius at sea level.", 5, {"True", "False"}, "A"},
        {"Which gas do plants take in for photosynthesis?", 0, {"Oxygen", "Nitrogen", "Carbon dioxide", "Helium"}, "C"},
        {"What is 7 x 8?", 0, {"54", "56", "64", "48"}, "B"},
    };
    return list;
}

const char *const kFirst[] = {"Ava", "Ben", "Cleo", "Dan", "Eli", "Fay", "Gus", "Hana", "Ian", "Jade", "Kai", "Lena",
                              "Milo", "Nora", "Owen", "Pia", "Quinn", "Rosa", "Sam", "Tara", "Uma", "Vic", "Wes", "Yara"};
const char *const kLast[] = {"Adams", "Brown", "Chen", "Diaz", "Evans", "Fox", "Garcia", "Hill", "Ito", "Jones", "Khan", "Lopez",
                             "Moore", "Nguyen", "Ortiz", "Patel", "Quist", "Reyes", "Singh", "Taylor", "Usman", "Vega", "White", "Young"};

// Twelve- and thirteen-year-olds, as in one class of a school year, spread over the months.
QDate birthDate(int student)
{
    const int year = QDate::currentDate().year() - 12 - (student % 3 == 0 ? 1 : 0);
    return QDate(year, (student * 5) % 12 + 1, (student * 7) % 28 + 1);
}

StudentEntity demoStudent(int i)
{
    StudentEntity s;
    s.setId(DemoData::studentID(i));
    s.setFirstName(QString::fromLatin1(kFirst[(i - 1) % 24]));
    s.setLastName(QString::fromLatin1(kLast[(i - 1) % 24]));
    s.setDeviceNo(i);
    return s;
}
} // namespace

namespace DemoData {

QString className() { return QStringLiteral("Demo Class"); }
QString questionFileName() { return QStringLiteral("Demo Quiz.px"); }
QString studentID(int i) { return QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')); }

QStringList answers()
{
    QStringList out;
    for (const DemoQuestion &q : questions())
        out << QString::fromLatin1(q.answer);
    return out;
}

QString ensure(const QString &folder, const QString &archive, QString *errorText)
{
    const QString quizPath = QDir(folder).filePath(questionFileName());
    QDir().mkpath(folder);
    if (!archive.isEmpty() && SystemFileUnpacker::unZipSystemFile(archive, folder) == SystemFileUnpacker::Failed) {
        *errorText = QStringLiteral("cannot unpack %1 into %2").arg(archive, folder);
        return QString();
    }

    auto *classes = TovClassXmlDatabase::sharedClassUI();
    if (!classes->existClassWithName(className())) {
        const int classNo = classes->addClassWithName(className());
        if (classNo <= 0) {
            *errorText = QStringLiteral("cannot create the demo class");
            return QString();
        }
        QList<StudentEntity> students;
        for (int i = 1; i <= kStudents; ++i) {
            StudentEntity s = demoStudent(i);
            s.setGroupNo((i - 1) % 4 + 1);
            s.setGender(i % 2 ? 2 : 1);
            s.setBirthday(QDateTime(birthDate(i), QTime(0, 0)));
            students << s;
        }
        if (!classes->addSomeStudents(students, classNo)) {
            *errorText = QStringLiteral("cannot write the demo class's students");
            return QString();
        }
    }
    // The school roster holds the class's students too, as it does for a class typed in or
    // imported, so Manage Students offers them; a demo folder made without them gains them.
    auto *roster = TovStudentRoster::sharedUI();
    QList<StudentEntity> missing;
    for (const StudentEntity &s : classes->getStudentListByClassNo(classes->classNoByName(className())))
        if (!roster->existStudentWithID(s.id()))
            missing << s;
    QString rosterWhy;
    if (!missing.isEmpty() && !roster->addSomeStudentsToRoster(missing, &rosterWhy)) {
        *errorText = QStringLiteral("cannot write the demo students into the roster: %1").arg(rosterWhy);
        return QString();
    }
    auto *subjects = TovSubjectXmlDatabase::sharedSubjectUI();
    if (!subjects->existSubjectWithName(QStringLiteral("Science"))) {
        SubjectEntity science;
        science.setName(QStringLiteral("Science"));
        if (!subjects->addSubjectWithData(science)) {
            *errorText = QStringLiteral("cannot write the subject");
            return QString();
        }
    }
    auto *teachers = TovTeacherXmlDatabase::sharedUI();
    if (!teachers->existTeacherWithName(QStringLiteral("Ada Park"))) {
        TeacherEntity ada;
        ada.setFirstName(QStringLiteral("Ada"));
        ada.setLastName(QStringLiteral("Park"));
        ada.setTitle(QStringLiteral("Ms"));
        ada.setGender(2);
        if (!teachers->addTeacherWithData(ada)) {
            *errorText = QStringLiteral("cannot write the teacher");
            return QString();
        }
    }

    if (!QFileInfo::exists(quizPath)) {
        ExamPaperInfo paper;
        paper.setStrExamPaperTitle(QStringLiteral("Demo Quiz"));
        paper.setNExamPaperID(1);
        QList<QuestionSetViewPtr> pages;
        for (const DemoQuestion &q : questions()) {
            auto page = QuestionSetView::createTemplate(int(q.options.size()), QSizeF(794, 560));
            page->setNQuestionType(q.type);
            page->setNOptionNum(int(q.options.size()));
            page->setStrAnswer(QString::fromLatin1(q.answer));
            page->setNQuestionPoint(10);
            page->setNQuestionTimeLimit(30);
            if (MyTextView *title = page->getQuestionTitle())
                title->textview()->setString(QString::fromLatin1(q.text));
            for (int i = 0; i < q.options.size(); ++i)
                page->setOption(i, q.options.at(i));
            pages << page;
        }
        paper.setArrayQuestionsInfo(pages);
        QString why;
        if (!paper.writeToFile(quizPath, &why)) {
            *errorText = QStringLiteral("cannot write %1: %2").arg(quizPath, why);
            return QString();
        }
    }
    return quizPath;
}

bool ensureSessions(QString *errorText)
{
    if (!DataManager::getAllFileNames().value_or(QStringList()).isEmpty())
        return true;
    const auto header = [](QuizEntity &quiz, const QString &day) {
        quiz.setDate(day + QStringLiteral("T09:30:00"));
        quiz.setStartTime(day + QStringLiteral("T09:00:00"));
        quiz.setEndTime(day + QStringLiteral("T09:20:00"));
        quiz.setMachineName(QStringLiteral("3"));
        quiz.setClassName(className());
        quiz.setSubject(QStringLiteral("Science"));
        quiz.setTeacherName(QStringLiteral("Ada Park"));
        quiz.setSessionType(QStringLiteral("Quiz"));
    };
    const QList<DemoQuestion> &qs = questions();
    const QStringList days{QStringLiteral("2024-09-02"), QStringLiteral("2024-09-09"), QStringLiteral("2024-09-16")};
    for (int week = 0; week < days.size(); ++week) {
        QuizEntity quiz;
        header(quiz, days[week]);
        quiz.setTitle(QStringLiteral("Demo Quiz"));
        quiz.setActionType(QStringLiteral("1"));
        quiz.setTotalMark(QString::number(10 * qs.size()));
        quiz.setTimeElapsed(1200);
        for (int q = 0; q < qs.size(); ++q) {
            QuestionEntity question;
            question.setQuNo(q + 1);
            question.setQuType(qs[q].type == 5 ? QStringLiteral("5") : QStringLiteral("1"));
            question.setQuMode(QStringLiteral("1"));
            question.setRightAns(qs[q].type == 5 ? QStringLiteral("True") : QString::fromLatin1(qs[q].answer));
            question.setTitle(QString::fromLatin1(qs[q].text));
            for (const QString &text : qs[q].options) {
                QuestionOptionEntity option;
                option.setText(text);
                question.allOptions() << option;
            }
            quiz.allQuestions() << question;
        }
        for (int i = 1; i <= kStudents; ++i) {
            StudentEntity s = demoStudent(i);
            // Two students missed each session; the others answered every question.
            if ((i + week) % 12 == 0) {
                quiz.allStudents() << s;
                continue;
            }
            s.setLoginTime(days[week] + QStringLiteral("T09:01:00"));
            quiz.allStudents() << s;
            for (int q = 0; q < qs.size(); ++q) {
                const QuestionEntity &question = quiz.allQuestions()[q];
                // Most are right; a few pick the next option.
                const bool right = (i * 7 + q * 3 + week) % 5 != 0;
                QString reply = question.rightAns();
                if (!right)
                    reply = question.quType() == QLatin1String("5") ? QStringLiteral("False")
                                                                    : QString(QChar(reply.at(0).unicode() == 'D' ? 'A' : reply.at(0).unicode() + 1));
                ResponseDataEntity answer;
                answer.setStudentID(s.id());
                answer.setQuestionID(QString::number(q + 1));
                answer.setResponse(reply);
                answer.setTime(3 + (i + q) % 9);
                answer.setStudentPoint(right ? QStringLiteral("10") : QStringLiteral("0"));
                quiz.allStudentsAns() << answer;
            }
        }
        if (!TovQuizXmlDatabase().addQuizWithName(QStringLiteral("Demo Quiz "), quiz, nullptr, errorText))
            return false;
    }
    QuizEntity graded;
    header(graded, QStringLiteral("2024-09-20"));
    graded.setName(QStringLiteral("Lab report"));
    graded.setTitle(QStringLiteral("Lab report"));
    graded.setActionType(QStringLiteral("1"));
    graded.setSessionType(QStringLiteral("Homework"));
    graded.setTotalMark(QStringLiteral("100"));
    for (int i = 1; i <= kStudents; ++i) {
        StudentEntity s = demoStudent(i);
        s.setTotalMark(QString::number(60 + (i * 17) % 41));
        graded.allStudents() << s;
    }
    return TovCourseGradeXmlDatabase().addQuizWithName(QStringLiteral("Lab report 2024-09-20T09:30:00"), graded, nullptr,
                                                       errorText);
}

bool ensureGradebook(QString *errorText)
{
    TovPeriodXmlDatabase *periods = TovPeriodXmlDatabase::sharedUI();
    if (!periods->periodList().isEmpty())
        return true;
    TovWeightAndSessionTypeXmlDatabase *weights = TovWeightAndSessionTypeXmlDatabase::sharedUI();
    SessionTypeEntity quiz;
    quiz.setName(QStringLiteral("Quiz"));
    if (weights->addSessionTypeWithData(quiz, errorText) < 0)
        return false;
    PeriodEntity fall;
    fall.setTitle(QStringLiteral("Fall 2024"));
    fall.setDateFrom(QStringLiteral("2024-09-01"));
    fall.setDateTo(QStringLiteral("2024-12-20"));
    if (periods->addWithData(fall, errorText) < 0)
        return false;
    WeightEntity list;
    list.setTitle(QStringLiteral("Quizzes and homework"));
    for (const SessionTypeEntity &type : weights->sessionTypeList()) {
        SessionTypeInWeight entry;
        entry.setSessionTypeNo(type.no());
        entry.setSessionType(type.name());
        entry.setIsSelect(type.name() == QLatin1String("Quiz") || type.name() == QLatin1String("Homework"));
        entry.setWeight(type.name() == QLatin1String("Quiz") ? 60.0f : entry.isSelect() ? 40.0f : 0.0f);
        list.sessionTypesInWeight() << entry;
    }
    if (weights->addWeightWithData(list, errorText) < 0)
        return false;
    LetterGradeEntity scale;
    scale.setTitle(QStringLiteral("Letters A to F"));
    const struct
    {
        const char *letter;
        int from, to;
    } letters[] = {{"A", 90, 100}, {"B", 80, 89}, {"C", 70, 79}, {"D", 60, 69}, {"F", 0, 59}};
    for (const auto &l : letters) {
        LetterEntity letter;
        letter.setLetter(QString::fromLatin1(l.letter));
        letter.setPointFrom(l.from);
        letter.setPointTo(l.to);
        scale.letterList() << letter;
    }
    return TovGradeLetterXmlDatabase::sharedUI()->addWithData(scale, errorText) >= 0;
}

} // namespace DemoData
