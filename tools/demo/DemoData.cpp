#include "DemoData.h"

#include "core/app/SystemFileUnpacker.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/MyTextView.h"
#include "core/authoring/QuestionSetView.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"

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
            StudentEntity s;
            s.setId(studentID(i));
            s.setFirstName(QString::fromLatin1(kFirst[(i - 1) % 24]));
            s.setLastName(QString::fromLatin1(kLast[(i - 1) % 24]));
            s.setDeviceNo(i);
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

} // namespace DemoData
