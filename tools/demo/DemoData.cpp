#include "DemoData.h"

#include "core/app/SystemFileUnpacker.h"
#include "core/base/ActivityCodes.h"
#include "core/base/AppDelegateBase.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/MyTextView.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/EndOfRunSave.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "core/store/XMLControl.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <functional>

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

const QStringList kPastDays{QStringLiteral("2024-09-02"), QStringLiteral("2024-09-09"), QStringLiteral("2024-09-16")};

void pastHeader(QuizEntity &quiz, const QString &day)
{
    quiz.setDate(day + QStringLiteral("T09:30:00"));
    quiz.setStartTime(day + QStringLiteral("T09:00:00"));
    quiz.setEndTime(day + QStringLiteral("T09:20:00"));
    quiz.setMachineName(QStringLiteral("3"));
    quiz.setClassName(DemoData::className());
    quiz.setSubject(QStringLiteral("Science"));
    quiz.setTeacherName(QStringLiteral("Ada Park"));
    quiz.setSessionType(QStringLiteral("Quiz"));
}

// The Test Title of the demo quiz's sessions: what a normal quiz run of "Demo Quiz.px" stores.
QString demoQuizTitle()
{
    return EndOfRunSave::testTitle(Activity::NormalQuiz, false, DemoData::questionFileName());
}

// The title an earlier demo gave its past quizzes, before they were stored as a run stores them.
const QString kEarlierTitle = QStringLiteral("Demo Quiz");

// The demo quiz as the class took it in one of the past weeks (0 to 2).
QuizEntity pastQuiz(int week)
{
    const QList<DemoQuestion> &qs = questions();
    const QString day = kPastDays.at(week);
    QuizEntity quiz;
    pastHeader(quiz, day);
    quiz.setName(QStringLiteral("Demo Quiz, week %1").arg(week + 1));
    quiz.setTitle(demoQuizTitle());
    quiz.setActionType(QString::number(StoredActivity::NormalQuiz));
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
    for (int i = 1; i <= DemoData::kStudents; ++i) {
        StudentEntity s = demoStudent(i);
        // Two students missed each session; the others answered every question.
        if ((i + week) % 12 == 0) {
            quiz.allStudents() << s;
            continue;
        }
        s.setLoginTime(day + QStringLiteral("T09:01:00"));
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
    return quiz;
}

// The points-only session: a lab report marked out of 100.
QuizEntity labReport()
{
    QuizEntity graded;
    pastHeader(graded, QStringLiteral("2024-09-20"));
    graded.setName(QStringLiteral("Lab report"));
    graded.setTitle(QStringLiteral("Lab report"));
    graded.setActionType(QStringLiteral("1"));
    graded.setSessionType(QStringLiteral("Homework"));
    graded.setTotalMark(QStringLiteral("100"));
    for (int i = 1; i <= DemoData::kStudents; ++i) {
        StudentEntity s = demoStudent(i);
        s.setTotalMark(QString::number(60 + (i * 17) % 41));
        graded.allStudents() << s;
    }
    return graded;
}

// A session of the demo is known by its class, title and day (the store reads back no more of
// the date), whatever its file is called; a past quiz of an earlier demo by its title then.
QString sessionKey(const QuizEntity &quiz)
{
    const QString title = quiz.title() == kEarlierTitle ? demoQuizTitle() : quiz.title();
    return quiz.className() + QLatin1Char('\n') + title + QLatin1Char('\n') + quiz.dateText().left(10);
}

struct StoredSession
{
    QString path;
    QuizEntity quiz;
};

QHash<QString, StoredSession> sessionsIn(const QString &folder)
{
    QHash<QString, StoredSession> out;
    for (const QFileInfo &f : QDir(folder).entryInfoList({QStringLiteral("*.xml")}, QDir::Files)) {
        if (const std::optional<QuizEntity> quiz = TovQuizXmlDatabase().getQuizInfoAll(f.absoluteFilePath()))
            out.insert(sessionKey(*quiz), {f.absoluteFilePath(), *quiz});
    }
    return out;
}

// The session written (by add) when the folder lacks it; one that a folder made by an earlier
// demo holds without a name, or under the title it had then, is mended where it is.
template <typename Store>
bool ensureSession(const QHash<QString, StoredSession> &present, QuizEntity &quiz,
                   const std::function<bool(QuizEntity &)> &add, QString *errorText)
{
    const auto it = present.constFind(sessionKey(quiz));
    if (it == present.cend())
        return add(quiz);
    if (!it->quiz.name().isEmpty() && it->quiz.title() == quiz.title())
        return true;
    QuizEntity mended = it->quiz;
    if (mended.name().isEmpty())
        mended.setName(quiz.name());
    mended.setTitle(quiz.title());
    return Store().upDataQuizForReport(it->path, mended, errorText);
}

template <typename Entity, typename Title>
bool hasTitled(const QList<Entity> &list, Title title, const QString &wanted)
{
    return std::any_of(list.cbegin(), list.cend(), [&](const Entity &e) { return title(e) == wanted; });
}

const auto byName = [](const auto &e) { return e.name(); };
const auto byTitle = [](const auto &e) { return e.title(); };
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
        QString why;
        const int classNo = classes->addClassWithName(className(), &why);
        if (classNo <= 0) {
            *errorText = QStringLiteral("cannot create the demo class: %1").arg(why);
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
        // The exam ID comes from the folder's counter, as the editor's does: the keypads keep a
        // question set by its ID, and a deck or file made later must not be given the same one.
        QString why;
        const std::optional<int> examId = XMLControl::sharedXMLUI()->getExamID(&why);
        if (!examId) {
            *errorText = QStringLiteral("cannot take an exam ID: %1").arg(why);
            return QString();
        }
        ExamPaperInfo paper;
        paper.setStrExamPaperTitle(QStringLiteral("Demo Quiz"));
        paper.setNExamPaperID(*examId);
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
        if (!paper.writeToFile(quizPath, &why)) {
            *errorText = QStringLiteral("cannot write %1: %2").arg(quizPath, why);
            return QString();
        }
    }
    return quizPath;
}

bool ensureSessions(QString *errorText)
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    if (!app) {
        *errorText = QStringLiteral("no application folder");
        return false;
    }
    const QHash<QString, StoredSession> quizzes = sessionsIn(app->strQuizXmlDataFilePath());
    // Written as a run's end writes its session: the file is named after the session.
    const auto asARun = [errorText](QuizEntity &quiz) { return EndOfRunSave::write(quiz, nullptr, errorText); };
    for (int week = 0; week < kPastDays.size(); ++week) {
        QuizEntity quiz = pastQuiz(week);
        if (!ensureSession<TovQuizXmlDatabase>(quizzes, quiz, asARun, errorText))
            return false;
    }
    QuizEntity graded = labReport();
    return ensureSession<TovCourseGradeXmlDatabase>(
        sessionsIn(app->strCourseGradeFilePath()), graded,
        [errorText](QuizEntity &quiz) {
            return TovCourseGradeXmlDatabase().addQuizWithName(QStringLiteral("Lab report 2024-09-20T09:30:00"), quiz,
                                                               nullptr, errorText);
        },
        errorText);
}

bool ensureGradebook(QString *errorText)
{
    TovWeightAndSessionTypeXmlDatabase *weights = TovWeightAndSessionTypeXmlDatabase::sharedUI();
    if (!hasTitled(weights->sessionTypeList(), byName, QStringLiteral("Quiz"))) {
        SessionTypeEntity quiz;
        quiz.setName(QStringLiteral("Quiz"));
        if (weights->addSessionTypeWithData(quiz, errorText) < 0)
            return false;
    }
    TovPeriodXmlDatabase *periods = TovPeriodXmlDatabase::sharedUI();
    if (!hasTitled(periods->periodList(), byTitle, QStringLiteral("Fall 2024"))) {
        PeriodEntity fall;
        fall.setTitle(QStringLiteral("Fall 2024"));
        fall.setDateFrom(QStringLiteral("2024-09-01"));
        fall.setDateTo(QStringLiteral("2024-12-20"));
        if (periods->addWithData(fall, errorText) < 0)
            return false;
    }
    if (!hasTitled(weights->weightList(), byTitle, QStringLiteral("Quizzes and homework"))) {
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
    }
    TovGradeLetterXmlDatabase *scales = TovGradeLetterXmlDatabase::sharedUI();
    if (hasTitled(scales->gradeLetterList(), byTitle, QStringLiteral("Letters A to F")))
        return true;
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
    return scales->addWithData(scale, errorText) >= 0;
}

} // namespace DemoData
