#include "TovQuizXmlDatabase.h"

#include "DataRemovals.h"
#include "DataSaves.h"
#include "GlobalFunctions.h"
#include "TovFastQuizXmlDatabase.h"
#include "core/base/AppDelegateBase.h"
#include "platform/AtomicFile.h"
#include "platform/FileVersions.h"
#include "platform/Log.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QSet>
#include <QUuid>

#include <mutex>

namespace {
std::mutex g_uuidMutex;
std::function<QString()> g_uuidGenerator;

using GF = GlobalFunctions;

// getValueByTagName for the program's own tags, without turning the tag into a QString and back:
// a session holds thousands of these.
QString text(pugi::xml_node node, const char *tag)
{
    const pugi::xml_node child = node.child(tag);
    return child ? GF::fromUtf8(child.text().get()) : QString();
}

int number(pugi::xml_node node, const char *tag)
{
    return GF::intValue(text(node, tag));
}

void add(pugi::xml_node parent, const char *tag, const QString &value)
{
    GF::appendTextChild(parent, tag, value);
}

void add(pugi::xml_node parent, const char *tag, int value)
{
    GF::appendTextChild(parent, tag, QString::number(value));
}

bool isAttendance(const QuizEntity &quiz)
{
    return quiz.actionType() == AppDelegateBase::getActModeByNo(8);
}

QString blankWhenEmpty(const QString &s)
{
    return s.isEmpty() ? QStringLiteral(" ") : s;
}

QString sessionFolder()
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    return app ? app->strQuizXmlDataFilePath() : QString();
}

// How the two writers differ: a first write adds a "Misc" to each student and takes login times
// as given; a rewrite gives students who answered the session's start time as login time.
enum class Write { First, Rewrite };

void appendQuestions(pugi::xml_node root, const QuizEntity &quiz)
{
    pugi::xml_node questions = root.append_child("Questions");
    for (const QuestionEntity &q : quiz.allQuestions()) {
        pugi::xml_node node = questions.append_child("Question");
        add(node, "ID", TovQuizXmlDatabase::genUUID());
        add(node, "No", q.quNo());
        add(node, "Timer", q.time());
        add(node, "Point", q.mark());
        add(node, "Type", q.quType());
        add(node, "Mode", q.quMode());
        add(node, "CAnswer", q.rightAns());
        add(node, "SCode", q.standard() ? q.standard()->code() : QString());
        add(node, "SName", q.standard() ? q.standard()->title() : QString());
        add(node, "Level", q.level());
        add(node, "FOption", q.desMark());
        add(node, "Text", q.title());
        pugi::xml_node options = node.append_child("Options");
        int position = 0;
        for (const QuestionOptionEntity &o : q.allOptions()) {
            pugi::xml_node option = options.append_child("Option");
            add(option, "ID", position++);
            add(option, "Text", o.text());
            add(option, "Point", o.point());
        }
    }
}

// Appends the answers; gives the IDs of the students who gave a real answer.
QSet<QString> appendAnswers(pugi::xml_node root, const QuizEntity &quiz)
{
    QSet<QString> answered;
    pugi::xml_node answers = root.append_child("StuentAnswers");
    for (const ResponseDataEntity &a : quiz.allStudentsAns()) {
        pugi::xml_node node = answers.append_child("SAnswer");
        add(node, "SID", a.studentID());
        add(node, "QNo", a.questionID());
        add(node, "Reply", a.response());
        add(node, "RTime", a.time());
        add(node, "Point", a.studentPoint());
        if (a.response() != QLatin1String("") && a.response() != QLatin1String(" ") &&
            a.response() != QLatin1String("__"))
            answered.insert(a.studentID());
    }
    return answered;
}

void appendStudents(pugi::xml_node root, const QuizEntity &quiz, Write kind, const QSet<QString> &answered)
{
    pugi::xml_node students = root.append_child("Students");
    for (const StudentEntity &s : quiz.allStudents()) {
        pugi::xml_node node = students.append_child("Student");
        add(node, "ID", s.id());
        add(node, "FName", s.firstName());
        add(node, "LName", s.lastName());
        add(node, "DNo", s.deviceNo());
        add(node, "GNo", s.groupNo());
        QString loginTime = s.loginTime();
        if (kind == Write::Rewrite && loginTime.isEmpty() && answered.contains(s.id()))
            loginTime = quiz.startTime();
        add(node, "LTime", loginTime);
        if (kind == Write::First)
            add(node, "Misc", QString());
    }
}

// The groups' extra points come last, and only where a group was given any: every reader takes
// the elements it knows by name, so a Pollix that does not know this one reads the session as
// before, and a session without extra points is written as it always was.
void appendGroups(pugi::xml_node root, const QuizEntity &quiz)
{
    const QMap<int, int> points = quiz.groupAppendPoints();
    if (points.isEmpty())
        return;
    pugi::xml_node groups = root.append_child("AppendPoints");
    for (auto it = points.cbegin(); it != points.cend(); ++it) {
        pugi::xml_node node = groups.append_child("AppendPoint");
        add(node, "GNo", it.key());
        add(node, "Point", it.value());
    }
}

// The whole document; the record already holds whatever defaults the writer applies.
pugi::xml_document sessionDocument(const QuizEntity &quiz, const QString &id, const QString &dateCreated, Write kind)
{
    pugi::xml_document doc;
    pugi::xml_node root = GF::createRoot(doc, TovQuizXmlDatabase::kRootName, true);
    add(root, "ID", id);
    add(root, "Version", TovQuizXmlDatabase::versionString());
    add(root, "DateCreated", dateCreated);
    add(root, "Name", quiz.name());
    add(root, "Title", blankWhenEmpty(quiz.title()));
    add(root, "Mode", quiz.actionType());
    add(root, "Model", quiz.machineName());
    add(root, "PassGrade", QStringLiteral("60"));
    add(root, "ClassName", quiz.className());
    add(root, "Subject", quiz.subject());
    add(root, "TeacherName", quiz.teacherName());
    add(root, "Groups", quiz.group());
    add(root, "Type", quiz.sessionType());
    add(root, "StartTime", quiz.startTime());
    add(root, "EndTime", quiz.endTime());
    add(root, "TimeElapsed", quiz.timeElapsed());
    add(root, "TotalMark", quiz.totalMark());
    const bool attendance = isAttendance(quiz);
    QSet<QString> answered;
    if (!attendance) {
        appendQuestions(root, quiz);
        answered = appendAnswers(root, quiz);
    }
    appendStudents(root, quiz, kind, answered);
    if (attendance) {
        pugi::xml_node rollcalls = root.append_child("Rollcalls");
        if (!quiz.allRollCall().isEmpty()) {
            pugi::xml_node node = rollcalls.append_child("Rollcall");
            add(node, "RTime", quiz.allRollCall().first().rollCallTime());
            add(node, "Absence", quiz.allRollCall().first().AbsenceStu());
        }
    }
    appendGroups(root, quiz);
    return doc;
}

QDateTime createdDay(const QString &stored)
{
    return GF::dateFromStoredDay(stored.section(QLatin1Char('T'), 0, 0));
}

// The day of a stored DateCreated as a date value; text that is no date stays text, so a rewrite
// puts it back as it was.
QVariant createdDate(pugi::xml_node root)
{
    const QString stored = text(root, "DateCreated");
    const QDateTime day = createdDay(stored);
    return day.isValid() ? QVariant(day) : QVariant(stored);
}
// The header fields both shapes share.
void readHeader(pugi::xml_node root, QuizEntity &quiz)
{
    quiz.setActNo(text(root, "ID"));
    quiz.setDate(createdDate(root));
    quiz.setName(text(root, "Name"));
    quiz.setTitle(text(root, "Title"));
    quiz.setActionType(text(root, "Mode"));
    quiz.setMachineName(text(root, "Model"));
    quiz.setPassGrade(number(root, "PassGrade"));
    quiz.setClassName(text(root, "ClassName"));
    quiz.setSubject(text(root, "Subject"));
    quiz.setTeacherName(text(root, "TeacherName"));
    quiz.setGroup(number(root, "Groups"));
    quiz.setSessionType(text(root, "Type"));
    quiz.setStartTime(text(root, "StartTime"));
    quiz.setTotalMark(text(root, "TotalMark"));
}
} // namespace

QString TovQuizXmlDatabase::genUUID()
{
    {
        std::lock_guard lock(g_uuidMutex);
        if (g_uuidGenerator)
            return g_uuidGenerator();
    }
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void TovQuizXmlDatabase::setUuidGeneratorForTesting(std::function<QString()> generator)
{
    std::lock_guard lock(g_uuidMutex);
    g_uuidGenerator = std::move(generator);
}

QString TovQuizXmlDatabase::versionString()
{
    return QStringLiteral(POLLIX_VERSION);
}

bool TovQuizXmlDatabase::addQuizWithName(const QString &name, QuizEntity &quiz, QString *writtenPath, QString *errorText)
{
    const QString now = GF::currentTimeDesp();
    // A session without a creation time could never be found by date; it was made now.
    if (quiz.date().toString().isEmpty() && quiz.date().userType() != QMetaType::QDateTime)
        quiz.setDate(now);
    if (quiz.title().isEmpty())
        quiz.setTitle(QStringLiteral(" "));
    if (quiz.totalMark().isEmpty())
        quiz.setTotalMark(QStringLiteral(" "));
    if (quiz.startTime().isEmpty())
        quiz.setStartTime(now);
    if (quiz.endTime().isEmpty())
        quiz.setEndTime(now);
    if (isAttendance(quiz) && !quiz.allRollCall().isEmpty() && quiz.allRollCall().first().rollCallTime().isEmpty())
        quiz.allRollCall().first().setRollCallTime(now);

    const QString folder = sessionFolder();
    if (folder.isEmpty())
        return GF::failWith(errorText, QStringLiteral("no data folder"));
    const QString dateText = quiz.date().userType() == QMetaType::QDateTime ? quiz.dateText() : quiz.date().toString();
    const QString base = GF::safeFileName((name.isEmpty() ? QStringLiteral(" ") : name) + dateText);
    const QString path = GF::freeFilePath(folder, base, QStringLiteral(".xml"), errorText);
    if (path.isEmpty())
        return false;
    const QString id = genUUID();
    if (!GF::saveXmlDocument(path, sessionDocument(quiz, id, dateText, Write::First), errorText))
        return false;
    TovFastQuizXmlDatabase::sharedFastQuiz()->addQuizWithPath(path, id, 1, quiz);
    if (writtenPath)
        *writtenPath = path;
    return true;
}

bool TovQuizXmlDatabase::upDataQuizForReport(const QString &path, const QuizEntity &quiz, QString *errorText)
{
    const QString dateCreated = quiz.dateText();
    QString why;
    if (!GF::saveXmlDocument(path, sessionDocument(quiz, quiz.actNo(), dateCreated, Write::Rewrite), &why)) {
        // The list follows the disk: another program's version is what the file holds.
        if (FileVersions::isChangedText(why))
            TovFastQuizXmlDatabase::sharedFastQuiz()->readAgainWithPath(path);
        return GF::failWith(errorText, why);
    }
    QuizEntity written = quiz;
    written.setTitle(blankWhenEmpty(quiz.title()));
    TovFastQuizXmlDatabase::sharedFastQuiz()->updateQuizWithPath(path, dateCreated, written);
    return true;
}

bool TovQuizXmlDatabase::deleteQuizWithName(const QString &path)
{
    if (!GF::removeFileAtPath(path))
        return false;
    DataRemovals::removed(path);
    TovFastQuizXmlDatabase::sharedFastQuiz()->deleteQuizWithPath(path);
    return true;
}

bool TovQuizXmlDatabase::isPointsOnlyRoot(pugi::xml_node root)
{
    const pugi::xml_node totalMark = root.child("TotalMark");
    return totalMark && std::string_view(totalMark.next_sibling().name()) == "StartTime";
}

std::optional<QuizEntity> TovQuizXmlDatabase::getQuizInfoAll(const QString &path) const
{
    pugi::xml_document doc;
    if (!GF::loadXmlFile(path, doc)) {
        PollixLog(QStringLiteral("no xmlDoc TovQuizXmlDatabase"));
        return std::nullopt;
    }
    return sessionIn(doc);
}

QuizEntity TovQuizXmlDatabase::sessionIn(const pugi::xml_document &doc)
{
    QuizEntity quiz;
    const pugi::xml_node root = doc.document_element();
    if (isPointsOnlyRoot(root))
        readPointsOnlySession(root, quiz);
    else
        readFullSession(root, quiz);
    return quiz;
}

void TovQuizXmlDatabase::readFullSession(pugi::xml_node root, QuizEntity &quiz)
{
    readHeader(root, quiz);
    // Read so that a rewrite of a loaded session keeps them.
    quiz.setEndTime(text(root, "EndTime"));
    quiz.setTimeElapsed(number(root, "TimeElapsed"));

    for (pugi::xml_node questions : root.children("Questions")) {
        for (pugi::xml_node node : questions.children("Question")) {
            QuestionEntity q;
            q.setQuNo(number(node, "No"));
            q.setTime(number(node, "Timer"));
            q.setMark(number(node, "Point"));
            q.setQuType(text(node, "Type"));
            q.setQuMode(text(node, "Mode"));
            q.setRightAns(text(node, "CAnswer"));
            StandardEntity standard;
            standard.setCode(text(node, "SCode"));
            standard.setTitle(text(node, "SName"));
            q.setStandard(standard);
            q.setLevel(text(node, "Level"));
            if (node.child("FOption"))
                q.setDesMark(number(node, "FOption"));
            q.setTitle(text(node, "Text"));
            for (pugi::xml_node option : node.child("Options").children("Option")) {
                QuestionOptionEntity o;
                o.setOptionID(number(option, "ID"));
                o.setText(text(option, "Text"));
                o.setPoint(number(option, "Point"));
                q.allOptions().append(o);
            }
            quiz.allQuestions().append(q);
        }
    }
    for (pugi::xml_node answers : root.children("StuentAnswers")) {
        for (pugi::xml_node node : answers.children("SAnswer")) {
            ResponseDataEntity a;
            a.setStudentID(text(node, "SID"));
            a.setQuestionID(text(node, "QNo"));
            a.setResponse(text(node, "Reply"));
            a.setTime(number(node, "RTime"));
            a.setStudentPoint(text(node, "Point"));
            quiz.allStudentsAns().append(a);
        }
    }
    for (pugi::xml_node students : root.children("Students")) {
        for (pugi::xml_node node : students.children("Student")) {
            StudentEntity s;
            s.setId(text(node, "ID"));
            s.setDeviceNo(number(node, "DNo"));
            s.setGroupNo(number(node, "GNo"));
            if (node.child("FName")) {
                s.setFirstName(text(node, "FName"));
                s.setLastName(text(node, "LName"));
            } else {
                s.setFirstName(text(node, "Name"));
            }
            if (node.child("LTime"))
                s.setLoginTime(text(node, "LTime"));
            quiz.allStudents().append(s);
        }
    }
    for (pugi::xml_node rollcalls : root.children("Rollcalls")) {
        for (pugi::xml_node node : rollcalls.children("Rollcall")) {
            RollCallEntity r;
            r.setRollCallTime(text(node, "RTime"));
            r.setAbsenceStu(text(node, "Absence"));
            quiz.allRollCall().append(r);
        }
    }
    for (pugi::xml_node groups : root.children("AppendPoints")) {
        for (pugi::xml_node node : groups.children("AppendPoint")) {
            GroupEntity g;
            g.setGroupNo(number(node, "GNo"));
            g.setAppendMark(QString::number(number(node, "Point")));
            quiz.allGroups().append(g);
        }
    }
}

void TovQuizXmlDatabase::readPointsOnlySession(pugi::xml_node root, QuizEntity &quiz)
{
    readHeader(root, quiz);
    quiz.setIsCoureGrade(true);
    for (pugi::xml_node students : root.children("Students")) {
        for (pugi::xml_node node : students.children("Student")) {
            StudentEntity s;
            s.setId(text(node, "SID"));
            s.setFirstName(node.child("FirstName") ? text(node, "FirstName") : text(node, "Name"));
            // The points-only writer stores last names as "LastName"; keep them.
            if (node.child("LastName"))
                s.setLastName(text(node, "LastName"));
            s.setTotalMark(text(node, "TotalMark"));
            quiz.allStudents().append(s);
        }
    }
}

bool TovQuizXmlDatabase::getQuizInfoIsCorseGrade(const QString &path) const
{
    pugi::xml_document doc;
    return GF::loadXmlFile(path, doc) && isPointsOnlyRoot(doc.document_element());
}

QString TovQuizXmlDatabase::getQuizMessage(const QString &path) const
{
    pugi::xml_document doc;
    if (!GF::loadXmlFile(path, doc)) {
        PollixLog(QStringLiteral("no xmlDoc TovQuizXmlDatabase"));
        return QString();
    }
    const pugi::xml_node root = doc.document_element();
    const auto questions = root.children("Questions");
    return text(root, "Title") + QString::number(std::distance(questions.begin(), questions.end()));
}

bool TovQuizXmlDatabase::readsBackAs(const QString &path, const QuizEntity &record, QString *errorText) const
{
    const std::optional<QuizEntity> read = getQuizInfoAll(path);
    if (!read)
        return GF::failWith(errorText, QStringLiteral("%1 cannot be read back").arg(path));
    const auto differs = [&](const char *what) {
        return GF::failWith(errorText, QStringLiteral("%1 reads back with other %2").arg(path, QLatin1String(what)));
    };
    if (read->name() != record.name() || read->totalMark() != record.totalMark())
        return differs("header");
    if (read->allQuestions().size() != record.allQuestions().size())
        return differs("questions");
    for (qsizetype i = 0; i < read->allQuestions().size(); ++i) {
        const QuestionEntity &r = read->allQuestions().at(i), &w = record.allQuestions().at(i);
        if (r.quNo() != w.quNo() || r.mark() != w.mark() || r.rightAns() != w.rightAns())
            return differs("questions");
    }
    if (read->allStudents().size() != record.allStudents().size())
        return differs("students");
    for (qsizetype i = 0; i < read->allStudents().size(); ++i) {
        const StudentEntity &r = read->allStudents().at(i), &w = record.allStudents().at(i);
        if (r.id() != w.id() || (read->isCoureGrade() && r.totalMark() != w.totalMark()))
            return differs("students");
    }
    if (read->groupAppendPoints() != record.groupAppendPoints())
        return differs("extra points of groups");
    if (read->allStudentsAns().size() != record.allStudentsAns().size())
        return differs("answers");
    for (qsizetype i = 0; i < read->allStudentsAns().size(); ++i) {
        const ResponseDataEntity &r = read->allStudentsAns().at(i), &w = record.allStudentsAns().at(i);
        if (r.studentID() != w.studentID() || r.questionID() != w.questionID() || r.response() != w.response()
            || r.studentPoint() != w.studentPoint())
            return differs("answers");
    }
    return true;
}

bool TovQuizXmlDatabase::copyFileFrom(const QString &source, const QString &target, QString *errorText) const
{
    QString why;
    const std::optional<QByteArray> bytes = RegularFile::readAll(source, &why);
    if (!bytes)
        return GF::failWith(errorText, why);
    DataSaves::saving(target, *bytes);
    return AtomicFile::write(target, *bytes, errorText);
}
