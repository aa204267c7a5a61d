#include "DataManager.h"

#include "GlobalFunctions.h"
#include "TovQuizXmlDatabase.h"
#include "TovSessionXmlParsedResult.h"
#include "core/base/AppDelegateBase.h"
#include "core/base/CommonFunc.h"
#include "platform/Log.h"
#include "platform/RegularFile.h"
#include "platform/Singleton.h"

#include <QCoreApplication>
#include <QFile>

#include <QRegularExpression>

#include <unordered_map>

namespace {
using GF = GlobalFunctions;

struct SessionFolder
{
    QString path;
    int flag; // 1 session folder, 2 points-only folder
};

QList<SessionFolder> sessionFolders()
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    if (!app)
        return {};
    return {{app->strQuizXmlDataFilePath(), 1}, {app->strCourseGradeFilePath(), 2}};
}

std::optional<QStringList> listFolder(int flag)
{
    for (const SessionFolder &folder : sessionFolders())
        if (folder.flag == flag)
            return GF::fileListAtPath(folder.path, QStringLiteral("xml"));
    return std::nullopt;
}

QString pathOf(const SessionFolder &folder, const QString &name)
{
    return GF::filePathForListedName(folder.path, name, QStringLiteral("xml"));
}

// A student's points in a session: the sum of the points of the student's answers; in a session
// without questions (a points-only one) the student's total mark, the first line of an ID counting.
class PointsTally
{
public:
    explicit PointsTally(bool hasQuestions) : m_hasQuestions(hasQuestions) {}

    void student(const QString &id, const QString &totalMark)
    {
        if (!m_hasQuestions && !m_points.contains(id))
            m_points.insert(id, GF::floatValue(totalMark));
    }
    // The sum of the points of all of one student's answers.
    void answers(const QString &id, qint64 sum)
    {
        if (m_hasQuestions)
            m_points.insert(id, float(sum));
    }
    const QHash<QString, float> &result() const { return m_points; }

private:
    bool m_hasQuestions;
    QHash<QString, float> m_points;
};

bool loadSession(const QString &path, pugi::xml_document &doc, QString *errorText = nullptr)
{
    QString why;
    if (GF::loadXmlFile(path, doc, &why))
        return true;
    PollixLog(QStringLiteral("Failed to load Xml file because of %1").arg(why));
    if (errorText)
        *errorText = QStringLiteral("%1: %2").arg(path, why);
    return false;
}

// A session file read for its students and points alone (the session picker's counts): the
// file is parsed in place, without copying it and without the work that only texts need (line
// ends, comments, declarations), and the numbers are read straight from the parsed bytes, which
// keeps listing a thousand sessions of a period well under a second. bytes holds the text the
// document points into.
bool loadSessionToCount(const QString &path, QByteArray &bytes, pugi::xml_document &doc)
{
    QString why;
    if (std::optional<QByteArray> read = RegularFile::readAll(path, &why)) {
        bytes = std::move(*read);
        const pugi::xml_parse_result result =
            doc.load_buffer_inplace(bytes.data(), size_t(bytes.size()), pugi::parse_cdata | pugi::parse_escapes,
                                     pugi::encoding_utf8);
        if (!result)
            why = QStringLiteral("%1 at offset %2").arg(QString::fromUtf8(result.description())).arg(result.offset);
        else if (!doc.document_element())
            why = QStringLiteral("no root element");
    }
    if (why.isEmpty())
        return true;
    PollixLog(QStringLiteral("Failed to load Xml file because of %1").arg(why));
    return false;
}

// Unrounded: a report that sets it beside other figures rounds it once, for display.
float averageOf(float sum, int count)
{
    return count > 0 ? sum / float(count) : 0.0f;
}

QDate dayOf(const QString &stamp)
{
    const QDateTime d = GF::dateFromStoredDay(stamp.section(QLatin1Char('T'), 0, 0));
    return d.isValid() ? d.date() : QDate();
}

struct ActivityName
{
    int code;
    const char *name;
};

// Name lookup order of getActModeNoByName (the first hit wins).
constexpr ActivityName kActivities[] = {
    {4, "Rush Quiz"},   {2, "Paper Quiz"}, {1, "Normal Quiz"},    {3, "Homework"}, {5, "Elimination"},
    {6, "Multiple Mode"}, {13, "Attendance"}, {14, "Quick Grouping"}, {15, "Vote"},
};

QString activityName(const char *name)
{
    return QCoreApplication::translate("DataManager", name);
}

QString questionIdOf(int number)
{
    return QString::number(number);
}

bool hasAnswer(const QuizEntity &quiz, const QString &studentID)
{
    for (const ResponseDataEntity &a : quiz.allStudentsAns())
        if (a.studentID() == studentID)
            return true;
    return false;
}

// The parts of a picker row both folders fill alike.
SessionSelect rowFromHeader(const TovSessionXmlParsedResult &header, const QString &path, int flag)
{
    SessionSelect row;
    row.setFlag(flag);
    row.setActID(header.ID());
    row.setSession(header.Name());
    row.setTeacherName(header.TeacherName());
    row.setDate(header.DateCreated().section(QLatin1Char('T'), 0, 0));
    row.setClassName(header.ClassName());
    row.setSubjectName(header.Subject());
    row.setType(header.Type());
    row.setPoints(GF::intValue(header.TotalMark()));
    row.setFilePath(path);
    return row;
}
} // namespace

DataManager *DataManager::sharedDataManagement()
{
    return Singleton<DataManager>::instance();
}

std::optional<QStringList> DataManager::getAllFileNames()
{
    return listFolder(1);
}

std::optional<QStringList> DataManager::getCourseGradeFile()
{
    return listFolder(2);
}

std::optional<QuizEntity> DataManager::getQuizWhereActNoIs(const QString &actNo)
{
    std::optional<QuizEntity> result;
    for (const SessionFolder &folder : sessionFolders()) {
        const std::optional<QStringList> names = GF::fileListAtPath(folder.path, QStringLiteral("xml"));
        if (!names)
            continue;
        if (!result)
            result.emplace();
        for (const QString &name : *names) {
            const QString path = pathOf(folder, name);
            if (GF::getIDOfXmlQuizFile(path) != actNo)
                continue;
            pugi::xml_document doc;
            if (!loadSession(path, doc))
                continue;
            // A later file with the same ID replaces the whole record, never a part of it.
            *result = DataManager::quizFromRoot(doc.document_element());
            result->setActNo(actNo);
        }
    }
    return result;
}

QuizEntity DataManager::quizFromRoot(pugi::xml_node root)
{
    QuizEntity quiz;
    const QString created = GF::getValueByTagName(QStringLiteral("DateCreated"), root);
    QDateTime date;
    if (TovQuizXmlDatabase::isPointsOnlyRoot(root)) {
        TovQuizXmlDatabase::readPointsOnlySession(root, quiz);
        // Points-only sessions have no start time of their own to show.
        quiz.setStartTime(QStringLiteral(""));
        date = GF::dateFromStoredDay(created.section(QLatin1Char('T'), 0, 0));
    } else {
        TovQuizXmlDatabase::readFullSession(root, quiz);
        date = GF::dateFromStoredTimeStamp(created);
    }
    if (date.isValid())
        quiz.setDate(date);
    quiz.setActionType(DataManager::getActModeNameByActModeNo(GF::intValue(quiz.actionType())));
    return quiz;
}

std::optional<QuizEntity> DataManager::getQuizAtPath(const QString &path, QString *errorText)
{
    pugi::xml_document doc;
    if (!loadSession(path, doc, errorText))
        return std::nullopt;
    return quizFromRoot(doc.document_element());
}

std::optional<SessionPoints> DataManager::getStudentPointsAtPath(const QString &path, QString *errorText)
{
    pugi::xml_document doc;
    if (!loadSession(path, doc, errorText))
        return std::nullopt;
    const pugi::xml_node root = doc.document_element();
    SessionPoints out;
    out.setTotalMark(GF::fromUtf8(root.child_value("TotalMark")));
    const bool pointsOnly = TovQuizXmlDatabase::isPointsOnlyRoot(root);
    bool hasQuestions = false;
    for (pugi::xml_node questions : root.children("Questions"))
        hasQuestions = hasQuestions || questions.child("Question");
    PointsTally tally(hasQuestions);
    for (pugi::xml_node students : root.children("Students")) {
        for (pugi::xml_node node : students.children("Student")) {
            const QString id = GF::fromUtf8(node.child_value(pointsOnly ? "SID" : "ID"));
            out.studentIDs() << id;
            if (pointsOnly || !node.child("FName")) {
                out.firstNames() << GF::fromUtf8(node.child(pointsOnly && node.child("FirstName") ? "FirstName" : "Name").child_value());
                out.lastNames() << GF::fromUtf8(node.child_value("LastName"));
            } else {
                out.firstNames() << GF::fromUtf8(node.child_value("FName"));
                out.lastNames() << GF::fromUtf8(node.child_value("LName"));
            }
            tally.student(id, GF::fromUtf8(node.child_value("TotalMark")));
        }
    }
    // Summed on the parsed text: a period's sessions hold millions of answers.
    std::unordered_map<std::string_view, qint64> sums;
    for (pugi::xml_node answers : root.children("StuentAnswers"))
        for (pugi::xml_node node : answers.children("SAnswer"))
            sums[node.child_value("SID")] += GF::intValueOfUtf8(node.child_value("Point"));
    for (const auto &[id, sum] : sums)
        tally.answers(QString::fromUtf8(id.data(), qsizetype(id.size())), sum);
    out.setPoints(tally.result());
    return out;
}

QStringList DataManager::getElementByTag(const QString &tag)
{
    QStringList out;
    const std::string name = GF::utf8(tag);
    for (const SessionFolder &folder : sessionFolders()) {
        const std::optional<QStringList> names = GF::fileListAtPath(folder.path, QStringLiteral("xml"));
        for (const QString &file : names.value_or(QStringList())) {
            pugi::xml_document doc;
            if (!loadSession(pathOf(folder, file), doc))
                continue;
            for (pugi::xml_node node : doc.document_element().children(name.c_str()))
                out << GF::fromUtf8(node.child_value());
        }
    }
    return out;
}

QString DataManager::getActModeNameByActModeNo(int actMode)
{
    for (const ActivityName &a : kActivities)
        if (a.code == actMode)
            return activityName(a.name);
    return QString();
}

int DataManager::getActModeNoByName(const QString &name)
{
    for (const ActivityName &a : kActivities)
        if (name == activityName(a.name) || name == QString::number(a.code))
            return a.code;
    return -1;
}

int DataManager::getQuTypeNoByName(const QString &name)
{
    static const char *const names[] = {"Single Answer", "Multiple Answer", "Cloze Test", "Short Answer", nullptr,
                                        "True or False"};
    for (int type = 0; type <= 5; ++type) {
        if (!names[type])
            continue; // a teaching plan page is no question
        const QString code = AppDelegateBase::getQueTypeByNo(type);
        if (name == code || name == QLatin1String(names[type]))
            return code.toInt();
    }
    return -1;
}

int DataManager::getMachineName(const QString &model)
{
    for (int type : {1, 0, 2, 3, 4})
        if (model == AppDelegateBase::getMachineTypeByNo(type))
            return type;
    return -1;
}

int DataManager::getAppendMarkByGroupNo(int groupNo, const QuizEntity &quiz)
{
    return quiz.groupAppendPoints().value(groupNo);
}

// ---- Counts ----

const QuestionEntity *DataManager::getQuestionByQuNo(int quNo, const QuizEntity &quiz)
{
    for (const QuestionEntity &q : quiz.allQuestions())
        if (q.quNo() == quNo)
            return &q;
    return nullptr;
}

QList<QuestionOptionEntity> DataManager::getAllOptionsOfOneQuestion(const QuestionEntity &question)
{
    return question.allOptions();
}

QString DataManager::storedReplyOf(const QuestionEntity &question, const QString &ans)
{
    // The option letter F of a many-option question must not turn into "False".
    return question.quType() == QLatin1String("5") && ans != QLatin1String("F") ? stringToTureFalseString(ans) : ans;
}

int DataManager::getSpecifiedAnsOfOneQuestion(const QuestionEntity &question, const QString &ans, const QuizEntity &quiz)
{
    const QString reply = storedReplyOf(question, ans);
    const QString qid = questionIdOf(question.quNo());
    int count = 0;
    for (const ResponseDataEntity &a : quiz.allStudentsAns())
        if (a.questionID() == qid && a.response() == reply)
            ++count;
    return count;
}

int DataManager::getCountOfSpecifiedAnsInOneQuestion(const QuestionEntity &question, const QString &ans,
                                                     const QString &studentID, const QuizEntity &quiz)
{
    const QString qid = questionIdOf(question.quNo());
    int count = 0;
    for (const ResponseDataEntity &a : quiz.allStudentsAns())
        if (a.questionID() == qid && a.studentID() == studentID && a.response() == ans)
            ++count;
    return count;
}

QList<StudentEntity> DataManager::getAttendStudentInfoInOneQuiz(const QuizEntity &quiz)
{
    QList<StudentEntity> out;
    for (const StudentEntity &s : quiz.allStudents()) {
        const bool present = s.loginTime().isNull() ? hasAnswer(quiz, s.id()) : !s.loginTime().isEmpty();
        if (present)
            out << s;
    }
    return out;
}

QList<StudentEntity> DataManager::getAbsentStudentInfoInOneQuiz(const QuizEntity &quiz)
{
    QList<StudentEntity> out;
    for (const StudentEntity &s : quiz.allStudents())
        if (s.loginTime().isEmpty() && !hasAnswer(quiz, s.id()))
            out << s;
    return out;
}

int DataManager::getCorrectCountOfOneQuiz(const QuizEntity &quiz, const QString &studentID, int *totalPoint)
{
    int points = 0;
    int correct = 0;
    QList<const ResponseDataEntity *> mine;
    for (const ResponseDataEntity &a : quiz.allStudentsAns())
        if (a.studentID() == studentID)
            mine << &a;
    for (qsizetype k = 0; k < quiz.allQuestions().size(); ++k) {
        const QString qid = questionIdOf(int(k + 1));
        for (const ResponseDataEntity *a : mine) {
            if (a->questionID() != qid)
                continue;
            if (a->response() == quiz.allQuestions().at(k).rightAns())
                ++correct;
            points += GF::intValue(a->studentPoint());
            break; // only the first answer to a question counts
        }
    }
    if (totalPoint)
        *totalPoint = points;
    return correct;
}

float DataManager::getTotalPointInQuizWhichStuIDIs(const QString &studentID, const QuizEntity &quiz)
{
    return getTotalPointsOfStudentsInQuiz(quiz).value(studentID, 0.0f);
}

QHash<QString, float> DataManager::getTotalPointsOfStudentsInQuiz(const QuizEntity &quiz)
{
    PointsTally tally(!quiz.allQuestions().isEmpty());
    for (const StudentEntity &s : quiz.allStudents())
        tally.student(s.id(), s.totalMark());
    QHash<QString, qint64> sums;
    for (const ResponseDataEntity &a : quiz.allStudentsAns())
        sums[a.studentID()] += GF::intValue(a.studentPoint());
    for (auto it = sums.cbegin(); it != sums.cend(); ++it)
        tally.answers(it.key(), it.value());
    return tally.result();
}

// ---- Gradebook ----

std::optional<QList<SessionSelect>> DataManager::getAllQuizsWhereClassName(const QString &className,
                                                                            const QString &subjectName,
                                                                            const QString &teacherName,
                                                                            const QString &dateFrom,
                                                                            const QString &dateTo)
{
    const QDate from = dayOf(dateFrom);
    const QDate to = dayOf(dateTo);
    std::optional<QList<SessionSelect>> rows;
    for (const SessionFolder &folder : sessionFolders()) {
        const std::optional<QStringList> names = GF::fileListAtPath(folder.path, QStringLiteral("xml"));
        if (!names)
            continue;
        // The points-only folder's presence alone makes an (empty) answer.
        if (folder.flag == 2 && !rows)
            rows.emplace();
        for (const QString &name : *names) {
            const QString path = pathOf(folder, name);
            TovSessionXmlParsedResult header;
            if (!header.parseXMLFile(path))
                continue;
            if (header.ClassName() != className || header.Subject() != subjectName ||
                header.TeacherName() != teacherName)
                continue;
            QDate day;
            if (folder.flag == 1) {
                // Hand raise, survey, attendance and vote give no points.
                const int mode = GF::intValue(header.Mode());
                if (mode == 9 || mode == 10 || mode == 13 || mode == 15)
                    continue;
                day = dayOf(header.StartTime());
                if (!day.isValid())
                    day = dayOf(header.DateCreated());
            } else {
                day = dayOf(header.DateCreated());
            }
            // A session without a day belongs to no period; an unreadable bound admits nothing.
            if (!day.isValid() || !from.isValid() || !to.isValid() || day < from || day > to)
                continue;
            if (!rows)
                rows.emplace();
            QByteArray bytes;
            pugi::xml_document doc;
            if (!loadSessionToCount(path, bytes, doc))
                continue;
            const pugi::xml_node root = doc.document_element();
            SessionSelect row = rowFromHeader(header, path, folder.flag);
            int students = 0;
            float sum = 0.0f;
            for (pugi::xml_node list : root.children("Students")) {
                for (pugi::xml_node student : list.children("Student")) {
                    ++students;
                    if (folder.flag == 2)
                        sum += float(GF::intValueOfUtf8(student.child_value("TotalMark")));
                }
            }
            if (folder.flag == 1)
                for (pugi::xml_node list : root.children("StuentAnswers"))
                    for (pugi::xml_node answer : list.children("SAnswer"))
                        sum += GF::floatValueOfUtf8(answer.child_value("Point"));
            row.setTotalStudents(students);
            row.setAvg(averageOf(sum, students));
            rows->append(row);
        }
    }
    return rows;
}

std::optional<QList<CourseGradeEntity>> DataManager::getAllCourseGradeWherePeriod(const QString &period,
                                                                                  const QString &teacher,
                                                                                  const QString &className)
{
    pugi::xml_document doc;
    if (!GF::loadXmlFile(GF::pathInDataFolder(QStringLiteral("CourseGrade.xml")), doc))
        return std::nullopt;
    const QString anyPeriod = QStringLiteral("--Select--");
    const QString all = QStringLiteral("All");
    const auto text = [](pugi::xml_node node, const char *tag) { return GF::fromUtf8(node.child_value(tag)); };
    QList<CourseGradeEntity> out;
    for (pugi::xml_node grade : doc.document_element().children("CourseGrade")) {
        const pugi::xml_node periodNode = grade.child("Period");
        PeriodEntity p;
        p.setNo(0);
        p.setDateFrom(text(periodNode, "PeriodFrom"));
        p.setDateTo(text(periodNode, "PeriodTo"));
        if (period != anyPeriod) {
            p.setTitle(text(periodNode, "PeriodTitle"));
            if (p.unique_title() != period)
                continue;
        }
        if (className != all && (!grade.child("ClassName") || text(grade, "ClassName") != className))
            continue;
        if (teacher != all && (!grade.child("TeacherName") || text(grade, "TeacherName") != teacher))
            continue;
        // A course-grade report covers one period: the first kept record's.
        if (!out.isEmpty() && (p.dateFrom() != out.first().period().dateFrom() ||
                               p.dateTo() != out.first().period().dateTo()))
            continue;
        CourseGradeEntity record;
        record.setNo(0);
        record.setPeriod(p);
        record.setSubjectName(text(grade, "SubjectName"));
        record.setClassName(text(grade, "ClassName"));
        record.setTeacherName(text(grade, "TeacherName"));
        for (pugi::xml_node details : grade.children("Details")) {
            QList<CourseGradeDetail> list;
            for (pugi::xml_node d : details.children("Detail")) {
                CourseGradeDetail detail;
                detail.setStudentID(text(d, "StudentID"));
                detail.setStudentName(text(d, "StudentName"));
                detail.setLetterGrade(text(d, "LetterGrade"));
                detail.setMark(GF::floatValue(text(d, "Point")));
                list << detail;
            }
            record.setAllGradeDetails(list);
        }
        out << record;
    }
    return out;
}
