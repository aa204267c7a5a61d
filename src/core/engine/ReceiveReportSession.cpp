#include "ReceiveReportSession.h"

#include "core/base/ActivityCodes.h"
#include "core/base/AppDelegateBase.h"
#include "core/base/CommonFunc.h"
#include "core/engine/QuizQuestionsElement.h"
#include "core/engine/TransferFrames.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"

#include <algorithm>
#include <optional>

namespace {
constexpr uint8_t kTextEnd = 0xEE;
constexpr uint8_t kAckSession = 0xE0, kAckQuestion = 0xE1, kAckAnswers = 0xE2, kAckStudent = 0xE3;
constexpr int kMaxAttendanceBytes = 13;
constexpr int kMaxQuestions = 99;

// The text from index `from` up to its end mark, which must come at index `lastEnd` at the
// latest and inside the data; none when it does not. *end gets the mark's index.
std::optional<QString> field(const QByteArray &data, int from, int lastEnd, int *end)
{
    for (int i = from; i < data.size() && i <= lastEnd; ++i) {
        if (uint8_t(data[i]) == kTextEnd) {
            *end = i;
            return QString::fromUtf8(data.mid(from, i - from));
        }
    }
    return std::nullopt;
}

// Answers chained in a frame: a first key (student or question) and text, then after each end
// mark the next key and its text. None when a text lacks its end mark.
std::optional<QList<QPair<int, QString>>> chained(const QByteArray &data, int firstKey, int start)
{
    QList<QPair<int, QString>> out;
    int key = firstKey;
    while (true) {
        int end = -1;
        const auto text = field(data, start, int(data.size()) - 1, &end);
        if (!text)
            return std::nullopt;
        out.append({key, *text});
        if (end + 1 >= data.size())
            return out;
        key = uint8_t(data[end + 1]);
        start = end + 2;
    }
}

QString sortedAnswer(const QString &answer, int questionType)
{
    if (questionType != QuestionType::MultipleAnswer || answer == QLatin1String("__N"))
        return answer;
    QString sorted = answer;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}
} // namespace

int ReceiveReportSession::deviceModeTransToHostMode(int mode)
{
    switch (mode) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 3;
    case 4: return 4;
    case 7: return 6;
    case 8: return 7;
    case 9: return 8;
    case 12: return 5;
    default: return 0;
    }
}

int ReceiveReportSession::hostModeTransToDataBaseMode(int activity)
{
    static const int codes[] = {1, 2, 3, 4, 5, 6, 10, 15, 13};
    return activity >= 0 && activity <= 8 ? codes[activity] : 0;
}

void ReceiveReportSession::clearSessionInfo()
{
    // The exam paper's information comes first and belongs to the session that follows it.
    m_sumOfStudentsInClass = 0;
    m_quizMode = 0;
    m_sessionID = 0;
    m_sessionName.clear();
    m_className.clear();
    m_studentsAttend.clear();
    m_questions.clear();
    m_studentIDs.clear();
    m_firstNames.clear();
    m_answers.clear();
}

void ReceiveReportSession::clearAll()
{
    clearSessionInfo();
    m_sumOfQuestions = 0;
    m_examID = 0;
    m_examTitle.clear();
}

int ReceiveReportSession::answeredQuestionCount() const
{
    QList<int> questions;
    for (auto it = m_answers.cbegin(); it != m_answers.cend(); ++it)
        if (!questions.contains(it.key().second))
            questions << it.key().second;
    return int(questions.size());
}

// ---------------------------------------------------------------- frames

ReceiveReportSession::Reply ReceiveReportSession::handleFrame(const ReceivedFrame &f)
{
    if (f.type() != 1 || f.cmd() != 0xF8 || !f.isTeacherCommand() || f.dataLen() < 1)
        return {};
    switch (f.at(0)) {
    case 0x09: return RX_ExamPaperInfo(f);
    case 0x0A: return RX_QuizInfo(f);
    case 0x0B: return RX_QuestionInfo(f, QStringLiteral("RX_QuestionInfo"));
    case 0x0C: return RX_AnswerOfStudents(f);
    case 0x0D: return RX_QuestionInfo(f, QStringLiteral("RX_QuestionInfoResend"));
    case 0x0E: return RX_StudentInfo(f);
    default: return {};
    }
}

ReceiveReportSession::Reply ReceiveReportSession::RX_ExamPaperInfo(const ReceivedFrame &f)
{
    Reply r;
    r.handler = QStringLiteral("RX_ExamPaperInfo");
    const QByteArray &d = f.bytes();
    int end = -1;
    const auto title = d.size() >= 4 ? field(d, 4, 19, &end) : std::nullopt;
    if (!title)
        return r;
    m_sumOfQuestions = f.at(1);
    m_examID = f.at(2) + 256 * f.at(3);
    m_examTitle = *title;
    r.ack = TransferFrames::sessionAck(ActivityFrames::KeypadAddress::of(f), kAckSession, 0);
    r.progress = SessionInfo;
    return r;
}

ReceiveReportSession::Reply ReceiveReportSession::RX_QuizInfo(const ReceivedFrame &f)
{
    Reply r;
    r.handler = QStringLiteral("RX_QuizInfo");
    const QByteArray &d = f.bytes();
    int nameEnd = -1, classEnd = -1;
    const auto name = d.size() >= 5 ? field(d, 5, 20, &nameEnd) : std::nullopt;
    const auto cls = name ? field(d, nameEnd + 1, nameEnd + 16, &classEnd) : std::nullopt;
    if (!cls)
        return r;
    clearSessionInfo();
    m_sumOfStudentsInClass = f.at(1);
    m_quizMode = deviceModeTransToHostMode(f.at(2));
    m_sessionID = f.at(3) + 256 * f.at(4);
    m_sessionName = *name;
    m_className = *cls;
    m_studentsAttend = QList<bool>(m_sumOfStudentsInClass, false);
    m_studentIDs = QStringList(m_sumOfStudentsInClass, QString());
    m_firstNames = QStringList(m_sumOfStudentsInClass, QString());
    for (int i = 0; i < kMaxAttendanceBytes && classEnd + 1 + i < d.size(); ++i) {
        const uint8_t bits = uint8_t(d[classEnd + 1 + i]);
        for (int b = 0; b < 8; ++b) {
            const int s = 8 * i + b; // 0-based position
            if (s < m_sumOfStudentsInClass && (bits & (1u << b)))
                m_studentsAttend[s] = true;
        }
    }
    r.ack = TransferFrames::sessionAck(ActivityFrames::KeypadAddress::of(f), kAckSession, 0);
    return r;
}

ReceiveReportSession::Reply ReceiveReportSession::RX_QuestionInfo(const ReceivedFrame &f, const QString &name)
{
    Reply r;
    r.handler = name;
    const QByteArray &d = f.bytes();
    const int n = f.at(1);
    const int limit = m_sumOfQuestions > 0 ? qMin(m_sumOfQuestions, kMaxQuestions) : kMaxQuestions;
    int end = -1;
    const auto answer = d.size() >= 4 ? field(d, 4, 36, &end) : std::nullopt;
    if (!answer || n < 1 || n > limit)
        return r;
    while (m_questions.size() < n)
        m_questions.append(Question{-1, 0, QString()}); // -1: not received yet
    Question &q = m_questions[n - 1];
    q.questionType = f.at(2);
    q.optionCount = qMin(int(f.at(3)), 10);
    q.answer = answer->startsWith(QChar(0x01)) ? QString() : *answer;
    r.ack = TransferFrames::sessionAck(ActivityFrames::KeypadAddress::of(f), kAckQuestion, 0);
    return r;
}

ReceiveReportSession::Reply ReceiveReportSession::RX_AnswerOfStudents(const ReceivedFrame &f)
{
    Reply r;
    r.handler = QStringLiteral("RX_AnswerOfStudents");
    const QByteArray &d = f.bytes();
    if (d.size() < 4)
        return r;
    const bool onePerStudent = m_quizMode == Activity::PaperQuiz || m_quizMode == Activity::HomeWork;
    const int first = d[2] != 0 ? uint8_t(d[3]) : 1;
    const int start = d[2] != 0 ? 4 : 3;
    const auto answers = chained(d, first, start);
    if (!answers)
        return r;
    const auto received = [this](int q) {
        return q >= 1 && q <= m_questions.size() && m_questions[q - 1].questionType >= 0;
    };
    const int questionLimit = m_sumOfQuestions > 0 ? qMin(m_sumOfQuestions, kMaxQuestions) : kMaxQuestions;
    QList<std::tuple<int, int, QString>> kept;
    if (onePerStudent) {
        const int s = f.at(1);
        if (s < 1 || s > m_sumOfStudentsInClass)
            return r;
        for (const auto &[q, text] : *answers) {
            if (q < 1 || q > questionLimit)
                return r;
            kept.append({s, q, text});
        }
    } else {
        const int q = f.at(1);
        if (!received(q))
            return r; // the question has not come yet: the keypad sends the answers again
        for (const auto &[s, text] : *answers) {
            if (s < 1 || s > m_sumOfStudentsInClass)
                return r;
            kept.append({s, q, text});
        }
    }
    for (const auto &[s, q, text] : kept) {
        const int type = q <= m_questions.size() ? m_questions[q - 1].questionType : -1;
        m_answers.insert({s, q}, sortedAnswer(text, type));
    }
    r.ack = TransferFrames::sessionAck(ActivityFrames::KeypadAddress::of(f), kAckAnswers, uint8_t(first));
    int questionsReceived = 0;
    for (const Question &q : m_questions)
        questionsReceived += q.questionType >= 0 ? 1 : 0;
    if ((onePerStudent && f.at(1) == m_sumOfStudentsInClass) || (!onePerStudent && f.at(1) == questionsReceived))
        r.progress = Answers;
    return r;
}

ReceiveReportSession::Reply ReceiveReportSession::RX_StudentInfo(const ReceivedFrame &f)
{
    Reply r;
    r.handler = QStringLiteral("RX_StudentInfo");
    const QByteArray &d = f.bytes();
    const int s = f.at(1);
    if (s < 1 || s > m_sumOfStudentsInClass)
        return r;
    int idEnd = -1, nameEnd = -1;
    const auto id = d.size() >= 3 ? field(d, 2, 17, &idEnd) : std::nullopt;
    const auto first = id ? field(d, idEnd + 1, idEnd + 16, &nameEnd) : std::nullopt;
    if (!first)
        return r;
    m_studentIDs[s - 1] = *id;
    m_firstNames[s - 1] = *first;
    r.ack = TransferFrames::sessionAck(ActivityFrames::KeypadAddress::of(f), kAckStudent, uint8_t(s + 1));
    if (s + 1 > m_sumOfStudentsInClass)
        r.progress = All;
    return r;
}

// ---------------------------------------------------------------- texts and the record

QString ReceiveReportSession::progressText(int state) const
{
    const QString info = QStringLiteral("Session Info Received!");
    const QString answers = QStringLiteral("Student Answer Received!");
    QString stateText;
    switch (state) {
    case Waiting: return QStringLiteral("Waiting to start…");
    case Receiving: return QStringLiteral("Session Info Receiving...");
    case SessionInfo: stateText = QStringLiteral("%1\n\n%2").arg(info, QStringLiteral("Student Answer Receiving...")); break;
    case Answers:
        stateText = QStringLiteral("%1\n\n%2\n\n%3").arg(info, answers, QStringLiteral("Student Name Receiving..."));
        break;
    default:
        stateText = QStringLiteral("%1\n\n%2\n\n%3\n\n%4")
                        .arg(info, answers, QStringLiteral("Student Name Received!"),
                             QStringLiteral("Success! Please check the \"Save\" button to save sessions into the database."));
        break;
    }
    return QStringLiteral("%1\n\n%2\n\n%3\n\n%4\n\n%5\n\n\n%6")
        .arg(QStringLiteral("Session Name: %1").arg(m_sessionName), QStringLiteral("Class Name: %1").arg(m_className),
             QStringLiteral("Exam Title: %1").arg(m_examTitle),
             QStringLiteral("Number of questions: %1").arg(m_sumOfQuestions),
             QStringLiteral("Number of students: %1").arg(m_sumOfStudentsInClass), stateText);
}

QuizEntity ReceiveReportSession::toQuizEntity(const Context &context) const
{
    QuizEntity quiz;
    quiz.setName(m_sessionName);
    quiz.setTitle(m_examTitle);
    int code = hostModeTransToDataBaseMode(m_quizMode);
    // Kept as sessions received from the keypad have always been written: a multiple-mode
    // session goes in under code 5.
    if (code == StoredActivity::MultipleMode)
        code = 5;
    quiz.setActionType(QString::number(code));
    quiz.setSubject(context.subject);
    quiz.setQuestionNum(answeredQuestionCount());
    quiz.setMachineName(AppDelegateBase::getMachineTypeByNo(context.deviceType));
    switch (m_quizMode) {
    case Activity::RushQuiz:
    case Activity::Elimination: quiz.setSessionType(QStringLiteral("Game")); break;
    case Activity::Attendance: quiz.setSessionType(QStringLiteral("Attendance")); break;
    case Activity::HomeWork: quiz.setSessionType(QStringLiteral("Homework")); break;
    case Activity::Vote: quiz.setSessionType(QStringLiteral("Other")); break;
    default: quiz.setSessionType(QStringLiteral("Exam")); break;
    }
    quiz.setGroup(1);
    quiz.setIsCoureGrade(false);
    quiz.setClassName(m_className);
    quiz.setTeacherName(context.teacherName);
    quiz.setStartTime(context.now);
    quiz.setDate(context.now);

    QList<StudentEntity> students;
    for (int p = 1; p <= m_sumOfStudentsInClass; ++p) {
        StudentEntity s;
        s.setId(studentID(p));
        s.setFirstName(studentFirstName(p));
        s.setLastName(QString());
        s.setName(mergeFirstLastString(studentFirstName(p), QString()));
        s.setDeviceNo(p);
        s.setNo(0);
        s.setBAttend(m_studentsAttend.value(p - 1));
        students << s;
    }
    quiz.setAllStudents(students);

    if (m_quizMode == Activity::Attendance) {
        RollCallEntity rollCall;
        rollCall.setRollCallTime(context.now);
        QString absent = QStringLiteral("|");
        for (int p = 1; p <= m_sumOfStudentsInClass; ++p)
            if (!m_studentsAttend.value(p - 1) && !studentID(p).isEmpty())
                absent += studentID(p) + QLatin1Char('|');
        rollCall.setAbsenceStu(absent);
        quiz.setAllRollCall({rollCall});
        return quiz;
    }

    const QuizQuestionsElement defaults;
    QList<QuestionEntity> questions;
    QList<ResponseDataEntity> responses;
    int totalMark = 0;
    for (int n = 1; n <= m_questions.size(); ++n) {
        const Question &received = m_questions[n - 1];
        const int type = qMax(0, received.questionType);
        QuestionEntity q;
        q.setQuNo(n);
        q.setOptionNum(received.optionCount);
        q.setMark(defaults.nPoint());
        q.setDesMark(defaults.nPoint());
        q.setTime(defaults.nQuizTime());
        q.setLevel(QString::number(defaults.nDiffcult()));
        q.setRightAns(received.answer == QLatin1String("NoAnswer") ? QStringLiteral("No Answer") : received.answer);
        q.setQuType(AppDelegateBase::getQueTypeByNo(type));
        q.setQuMode(AppDelegateBase::getActModeByNo(defaults.nActionMode()));
        q.setTitle(defaults.strTitle());
        QList<QuestionOptionEntity> options;
        for (int k = 0; k < received.optionCount; ++k) {
            QuestionOptionEntity o;
            o.setOptionID(k);
            o.setText(QString());
            o.setPoint(0);
            options << o;
        }
        q.setAllOptions(options);
        questions << q;
        totalMark += defaults.nPoint();

        for (int p = 1; p <= m_sumOfStudentsInClass; ++p) {
            if (studentID(p).isEmpty())
                continue; // no student came for this position: nobody to credit
            QString a = answer(p, n);
            ResponseDataEntity r;
            r.setStudentID(studentID(p));
            r.setQuestionID(QString::number(n));
            r.setTime(0);
            if (a.isEmpty()) {
                if (!m_studentsAttend.value(p - 1))
                    continue;
                r.setResponse(QStringLiteral("__"));
                r.setStudentPoint(QStringLiteral("0"));
            } else {
                if (type == QuestionType::SingleAnswer || type == QuestionType::MultipleAnswer)
                    a = a.toUpper();
                int points = 0;
                if (a == received.answer)
                    points = defaults.nPoint();
                else if (code == StoredActivity::RushQuiz)
                    points = -defaults.nPoint();
                r.setResponse(a);
                r.setStudentPoint(QString::number(points));
            }
            responses << r;
        }
    }
    quiz.setAllQuestions(questions);
    quiz.setAllStudentsAns(responses);
    quiz.setTotalMark(QString::number(totalMark));
    return quiz;
}

bool ReceiveReportSession::save(const Context &context, QString *path, QString *errorText) const
{
    QuizEntity quiz = toQuizEntity(context);
    return TovQuizXmlDatabase().addQuizWithName(m_examTitle, quiz, path, errorText);
}

bool ReceiveReportSession::holdsSameData(const QuizEntity &stored, const QuizEntity &received)
{
    // The store writes an empty title as a blank.
    const auto title = [](const QuizEntity &q) { return q.title().isEmpty() ? QStringLiteral(" ") : q.title(); };
    if (stored.isCoureGrade() || stored.name() != received.name() || stored.className() != received.className()
        || title(stored) != title(received) || stored.actionType() != received.actionType()
        || stored.allQuestions().size() != received.allQuestions().size()
        || stored.allStudents().size() != received.allStudents().size()
        || stored.allStudentsAns().size() != received.allStudentsAns().size()
        || stored.allRollCall().size() != received.allRollCall().size())
        return false;
    for (qsizetype i = 0; i < stored.allQuestions().size(); ++i) {
        const QuestionEntity &s = stored.allQuestions().at(i), &r = received.allQuestions().at(i);
        if (s.quNo() != r.quNo() || s.quType() != r.quType() || s.rightAns() != r.rightAns()
            || s.allOptions().size() != r.allOptions().size())
            return false;
    }
    for (qsizetype i = 0; i < stored.allStudents().size(); ++i) {
        const StudentEntity &s = stored.allStudents().at(i), &r = received.allStudents().at(i);
        if (s.id() != r.id() || s.firstName() != r.firstName() || s.deviceNo() != r.deviceNo())
            return false;
    }
    for (qsizetype i = 0; i < stored.allStudentsAns().size(); ++i) {
        const ResponseDataEntity &s = stored.allStudentsAns().at(i), &r = received.allStudentsAns().at(i);
        if (s.studentID() != r.studentID() || s.questionID() != r.questionID() || s.response() != r.response())
            return false;
    }
    for (qsizetype i = 0; i < stored.allRollCall().size(); ++i)
        if (stored.allRollCall().at(i).AbsenceStu() != received.allRollCall().at(i).AbsenceStu())
            return false;
    return true;
}

QStringList ReceiveReportSession::savedCopies(const Context &context) const
{
    const QuizEntity received = toQuizEntity(context);
    QStringList copies;
    // The heads sort out the few files worth reading whole.
    for (const TovSessionXmlParsedResult &head : TovFastQuizXmlDatabase::readHeaders()) {
        if (head.flag() != 1 || head.Name() != received.name() || head.ClassName() != received.className())
            continue;
        pugi::xml_document doc;
        if (GlobalFunctions::loadXmlFileToLook(head.filePath(), doc)
            && holdsSameData(TovQuizXmlDatabase::sessionIn(doc), received))
            copies << head.filePath();
    }
    copies.sort();
    return copies;
}
