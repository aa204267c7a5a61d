#include "ActivityFrames.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/QuestionText.h"
#include "core/keypad/FrameBuilder.h"

namespace ActivityFrames {

namespace {
constexpr uint8_t kTextEnd = 0xEE;
constexpr int kMaxAnnouncedQuestions = 99;

QByteArray nameField(const QString &name)
{
    return FrameBuilder::nameBytes(name) + char(kTextEnd);
}

// The class and teacher names that several announcements start with.
QByteArray classAndTeacher(const QString &className, const QString &teacherName)
{
    return nameField(className) + nameField(teacherName);
}

// Data bytes from index from up to the first zero byte (or the end).
QByteArray bytesUpToZero(const QByteArray &data, int from)
{
    if (from >= data.size())
        return QByteArray();
    const qsizetype zero = data.indexOf('\0', from);
    return data.mid(from, (zero < 0 ? data.size() : zero) - from);
}

QByteArray longFrame(uint8_t cmd, KeypadAddress to, const QByteArray &data)
{
    return FrameBuilder::longFrame(cmd, to.lo, to.hi, data);
}

// The count, the test ID in two parts and the test's name, as the paper-quiz and run information
// frames carry them.
struct TestInfo
{
    int count;
    QByteArray id;
    QByteArray name;
};

TestInfo testInfo(int questionCount, int testID, const QString &testName)
{
    QByteArray id;
    id += char(testID % 100);
    id += char(testID / 100);
    return {qBound(0, questionCount, kMaxAnnouncedQuestions), id,
            nameField(testName.isEmpty() ? QStringLiteral("Null") : testName)};
}

QByteArray brevelAnswerBytes(const QString &answer)
{
    if (answer.isEmpty() || answer == QLatin1String(" "))
        return QByteArray(1, '\0');
    return FrameBuilder::textBytes(answer);
}

QByteArray brevelQuestionBytes(const BrevelQuestion &q)
{
    QByteArray data(1, char(0x03));
    data += char(q.questionNo);
    data += char(q.type);
    data += char(q.optionCount);
    data += char(q.mode);
    data += char(0xFF);
    data += brevelAnswerBytes(q.answer);
    return data;
}

// The lines of a frame text, each padded with zero bytes to 21. The keypads get the characters'
// low bytes with curly apostrophes made straight; the teacher keypad printable ASCII only.
QByteArray frameTextBytes(const QString &text, bool forTeacher)
{
    QByteArray out;
    const QStringList lines = text.split(QuestionText::kLineEnd);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == lines.size() - 1 && lines[i].isEmpty() && i > 0)
            break; // nothing after the last line end
        QByteArray line;
        for (QChar c : lines[i]) {
            const char16_t u = c.unicode();
            if (forTeacher)
                line += (u < 0x20 || u >= 0x80) ? '\0' : char(u);
            else if (u == 0x2018 || u == 0x2019)
                line += '\'';
            else
                line += char(u & 0xFF);
        }
        out += line.leftJustified(QuestionText::kLineLength, '\0', true);
    }
    return out;
}
} // namespace

// ---------------------------------------------------------------- mode bytes

int studentMode(int activity)
{
    switch (activity) {
    case Activity::PaperQuiz:
    case Activity::HomeWork: return 2;
    case Activity::RushQuiz: return 3;
    case Activity::Elimination: return 4;
    case Activity::MultipleMode: return 12;
    case Activity::Vote: return 9;
    case Activity::Attendance: return 8;
    default: return 1;
    }
}

int teacherMode(int activity, int participationMode, int freeMode)
{
    if (participationMode == 2) {
        if (freeMode >= Activity::FreeNormalQuiz && freeMode <= Activity::FreeElimination)
            return 5;
        if (freeMode == Activity::FreeVote)
            return 8;
    }
    switch (activity) {
    case Activity::MultipleMode: return 12;
    case Activity::Survey: return 7;
    case Activity::Vote: return 8;
    case Activity::Attendance: return 9;
    default: return activity; // 0 to 4 unchanged; others are not defined for the keypad
    }
}

uint8_t multipleQuestionByte(int actionMode)
{
    switch (actionMode) {
    case ActionMode::Rush: return 0x0D;
    case ActionMode::Elimination: return 0x04;
    default: return 0x01;
    }
}

// ---------------------------------------------------------------- to the student keypads

QByteArray wake()
{
    return FrameBuilder::shortFrame(0xF4, 0x00, 0xC0, 0x01);
}

QByteArray studentLogoutClass()
{
    return FrameBuilder::longFrame(0xF6, 0x00, 0x00, QByteArray::fromHex("01FFFF"));
}

QByteArray openReceiveArvel()
{
    return QByteArray::fromHex("5A80DA");
}

QByteArray closeReceiveArvel()
{
    return QByteArray::fromHex("5B80DB");
}

QByteArray studentLoginClass(int deviceType, const QString &className, const QString &teacherName, int classSize)
{
    QByteArray data = classAndTeacher(className, teacherName);
    FrameBuilder::appendWord(data, classSize);
    return FrameBuilder::longFrame(0xF9, 0x00, deviceType == DeviceType::Dravel ? 0xC0 : 0x00, data);
}

QByteArray agreeToSend(KeypadAddress keypad)
{
    return FrameBuilder::shortFrame(0xF3, keypad.lo, keypad.hi, 0xE0);
}

QByteArray stuToWaitForStart(KeypadAddress keypad)
{
    return FrameBuilder::shortFrame(0xF3, keypad.lo, keypad.hi, 0xE2);
}

namespace {
QByteArray quizMsgData(int deviceType, int deviceNo, uint8_t modeByte, int quizID, const QByteArray &loginData)
{
    QByteArray data;
    if (deviceType == DeviceType::Corvel)
        data += char(0xF7);
    FrameBuilder::appendWord(data, deviceNo);
    if (deviceType == DeviceType::Corvel || deviceType == DeviceType::Dravel)
        data += char(modeByte);
    FrameBuilder::appendWord(data, quizID);
    if (deviceType == DeviceType::Corvel)
        data += bytesUpToZero(loginData, 1);
    else if (deviceType == DeviceType::Dravel)
        data += bytesUpToZero(loginData, 0);
    return data;
}

QByteArray wrongIDData(int deviceType, int quizID, const QByteArray &loginData)
{
    QByteArray data;
    if (deviceType == DeviceType::Corvel)
        data += char(0xF7);
    data += QByteArray::fromHex("00FFFF");
    FrameBuilder::appendWord(data, quizID);
    data += bytesUpToZero(loginData, 0);
    return data;
}
} // namespace

QByteArray quizMsgToStudent(int deviceType, KeypadAddress keypad, int deviceNo, uint8_t modeByte, int quizID,
                            const QByteArray &loginData)
{
    return longFrame(0xFE, keypad, quizMsgData(deviceType, deviceNo, modeByte, quizID, loginData));
}

QByteArray wrongIDToStudent(int deviceType, KeypadAddress keypad, int quizID, const QByteArray &loginData)
{
    return longFrame(0xFE, keypad, wrongIDData(deviceType, quizID, loginData));
}

bool loginAnswerable(int deviceType, const QByteArray &loginData)
{
    // The check byte covers the head (command, address, length) and the data.
    constexpr int room = FrameBuilder::kMaxFrameBytes - 4;
    return quizMsgData(deviceType, 0, 0, 0, loginData).size() <= room && wrongIDData(deviceType, 0, loginData).size() <= room;
}

QByteArray stdExamInfoToStudent(int deviceNo, int questionCount, int testID, const QString &testName)
{
    const TestInfo info = testInfo(questionCount, testID, testName);
    if (info.count <= 0)
        return QByteArray();
    QByteArray data(1, char(0xFE));
    data += char(info.count);
    data += info.id;
    data += info.name;
    return longFrame(0xF7, KeypadAddress::word(deviceNo), data);
}

QByteArray pcState(int deviceType, int quizID, int state, const AnnouncedQuestion &question)
{
    QByteArray data(1, char(state));
    if (state == 2) {
        data += QByteArray(4, '\0');
    } else if (state == 3) {
        int type = question.type == QuestionType::ShortAnswer ? QuestionType::Cloze : question.type;
        if (deviceType != DeviceType::Brevel && type == QuestionType::TrueFalse)
            type = QuestionType::SingleAnswer;
        data += char(question.questionNo & 0xFF);
        data += char(type);
        data += char(question.optionCount);
        data += char(question.modeByte);
        if (deviceType == DeviceType::Brevel)
            data += char(0xFF) + FrameBuilder::textBytes(question.answer);
    }
    return longFrame(0xF5, KeypadAddress::word(quizID), data);
}

QByteArray questionType(uint8_t r0, uint8_t r1, const BrevelQuestion &question)
{
    QByteArray data(1, char(0xF5));
    data += char(r0);
    data += char(r1);
    data += brevelQuestionBytes(question);
    return FrameBuilder::longFrame(0xF7, 0x00, 0x00, data);
}

QByteArray permitStuAns(uint8_t r0, uint8_t r1, const BrevelQuestion &question)
{
    return FrameBuilder::longFrame(0xF5, r0, r1, brevelQuestionBytes(question));
}

QByteArray questionFrame(const QStringList &texts, int n, int questionNo, int questionID)
{
    if (n < 1 || n > texts.size())
        return QByteArray();
    QByteArray data(1, char(0x01));
    data += char(texts.size());
    data += char(n);
    data += char(questionNo);
    data += char(questionID & 0xFF);
    data += frameTextBytes(texts[n - 1], false);
    return longFrame(0xF7, KeypadAddress::everyone(), data);
}

// ---------------------------------------------------------------- to the teacher keypad

QByteArray receiveState(KeypadAddress teacher, int state)
{
    return FrameBuilder::shortFrame(0xF3, teacher.lo, teacher.hi, uint8_t(state));
}

QByteArray quizMsgToTeacher(int deviceType, KeypadAddress keypad, const QString &className, const QString &teacherName,
                            int mode, int classSize, int loggedIn, uint8_t teacherLow)
{
    QByteArray data = classAndTeacher(className, teacherName);
    data += char(mode);
    FrameBuilder::appendWord(data, classSize);
    FrameBuilder::appendWord(data, loggedIn);
    data += char(teacherLow);
    if (deviceType == DeviceType::Corvel)
        data += char(0xF7);
    else if (deviceType == DeviceType::Brevel)
        data += char(0xF5);
    return longFrame(0xF9, keypad, data);
}

QByteArray classMsg(KeypadAddress keypad, const QString &className, const QString &teacherName, int classSize)
{
    QByteArray data = classAndTeacher(className, teacherName);
    FrameBuilder::appendWord(data, classSize);
    return longFrame(0xF9, keypad, data);
}

QByteArray quizInfoToTeacher(KeypadAddress keypad, int questionCount, int testID, bool allAnswered,
                             const QString &testName)
{
    const TestInfo info = testInfo(questionCount, testID, testName);
    QByteArray data(1, char(info.count));
    data += info.id;
    data += char(allAnswered ? 1 : 0);
    data += info.name;
    return longFrame(0xFA, keypad, data);
}

QByteArray sumOfStudentsInClass(KeypadAddress keypad, int classSize, int loggedIn)
{
    QByteArray data = QByteArray::fromHex("FFFF");
    FrameBuilder::appendWord(data, classSize);
    FrameBuilder::appendWord(data, loggedIn);
    return longFrame(0xF8, keypad, data);
}

QByteArray questionInfo(KeypadAddress keypad, int q, int type, int optionCount, int mode, const QString &answer)
{
    QString sent = answer;
    if (type == 0 || type == 5) {
        if (sent == QLatin1String("True"))
            sent = QStringLiteral("A");
        else if (sent == QLatin1String("False"))
            sent = QStringLiteral("B");
    }
    if (sent == QLatin1String("nocorrect"))
        sent = QStringLiteral("NoAnswer");
    QByteArray data;
    FrameBuilder::appendWord(data, q);
    data += char(type == 5 ? 0 : type);
    data += char(optionCount);
    data += char(mode);
    data += sent.isEmpty() ? QByteArray(1, '\x01') : FrameBuilder::textBytes(sent);
    data += char(kTextEnd);
    return longFrame(0xFA, keypad, data);
}

QByteArray questionInfoEnd(KeypadAddress keypad, int questionCount)
{
    QByteArray data(1, char(0xE1));
    FrameBuilder::appendWord(data, questionCount);
    return longFrame(0xFF, keypad, data);
}

QByteArray studentLogined(KeypadAddress teacher, int page, const QList<int> &entries)
{
    QByteArray data(1, char(page + 1));
    for (int entry : entries)
        FrameBuilder::appendWord(data, entry);
    return longFrame(0xFF, teacher, data);
}

QByteArray studentLoginedEnd(KeypadAddress teacher, int loggedIn)
{
    QByteArray data(1, char(0xE0));
    FrameBuilder::appendWord(data, loggedIn);
    return longFrame(0xFF, teacher, data);
}

QByteArray resultOfStudent(KeypadAddress teacher, int deviceNo, int k, const QString &answer,
                           const QString &correctAnswer, int points)
{
    char mark = 'F';
    QString sent = answer;
    if (k == 0) {
        sent = QStringLiteral("_N");
    } else if (!answer.isEmpty() && answer == correctAnswer && points != 0) {
        mark = 'T';
    } else if (answer.isEmpty()) {
        mark = 'N';
    }
    QByteArray data;
    FrameBuilder::appendWord(data, deviceNo);
    data += mark;
    data += char(k);
    data += FrameBuilder::textBytes(sent);
    return longFrame(0xF7, teacher, data);
}

QByteArray studentQuestioned(KeypadAddress teacher, const QString &studentName)
{
    return longFrame(0xFC, teacher, nameField(studentName));
}

QByteArray studentInClass(KeypadAddress teacher, int index, const QString &studentID, const QString &studentName)
{
    const QByteArray id = FrameBuilder::textBytes(studentID);
    QByteArray data;
    FrameBuilder::appendWord(data, index);
    data += char(id.size() & 0xFF);
    data += id;
    data += char(kTextEnd);
    data += char(studentName.size() & 0xFF);
    data += nameField(studentName);
    return longFrame(0xF8, teacher, data);
}

QByteArray questionFrameToTeacher(KeypadAddress keypad, const QStringList &texts, int f, int q, int questionID)
{
    if (f < 1 || f > texts.size())
        return QByteArray();
    QByteArray data(1, char(0xE0));
    data += char(texts.size());
    data += char(f);
    data += char(q);
    data += char(questionID & 0xFF);
    data += frameTextBytes(texts[f - 1], true);
    return longFrame(0xFA, keypad, data);
}

QByteArray resultOfClass(KeypadAddress teacher, const ClassResult &result)
{
    const int t = result.questionType;
    QByteArray data;
    if (t == 1 || t == 2 || t == 3) {
        data += QByteArray(3, '\0');
        FrameBuilder::appendWord(data, result.students);
        FrameBuilder::appendWord(data, result.rightAnswers);
        data += char(result.students == 0 ? 0 : result.rightAnswers * 100 / result.students);
    } else if (t == 0 || t == 5) {
        const QString &answer = result.correctAnswer;
        if (answer.isEmpty() || answer == QLatin1String("nocorrect")) {
            data += char(2);
            data += 'X';
        } else {
            data += char(1);
            if (t == 5 && answer == QLatin1String("True"))
                data += 'A';
            else if (t == 5 && answer == QLatin1String("False"))
                data += 'B';
            else
                data += char(answer.at(0).unicode() & 0xFF);
        }
        data += char(result.options.size() + 1);
        FrameBuilder::appendWord(data, result.students);
        for (const ClassResult::Option &option : result.options) {
            FrameBuilder::appendWord(data, option.count);
            data += char(option.rate);
        }
        FrameBuilder::appendWord(data, result.noAnswer.count);
        data += char(result.noAnswer.rate);
    }
    return longFrame(0xFD, teacher, data);
}

} // namespace ActivityFrames
