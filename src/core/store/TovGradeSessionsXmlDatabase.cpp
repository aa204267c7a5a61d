#include "TovGradeSessionsXmlDatabase.h"

#include "core/store/GlobalFunctions.h"
#include "platform/Singleton.h"

#include <algorithm>
#include <cmath>

using GF = GlobalFunctions;

namespace {
const char kGrade[] = "CourseGrade";

QString text(pugi::xml_node node, const char *tag)
{
    return GF::fromUtf8(node.child_value(tag));
}

bool sameText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

PeriodEntity periodOf(pugi::xml_node grade)
{
    const pugi::xml_node period = grade.child("Period");
    PeriodEntity p;
    p.setTitle(text(period, "PeriodTitle"));
    p.setDateFrom(text(period, "PeriodFrom"));
    p.setDateTo(text(period, "PeriodTo"));
    return p;
}

// The head of a course grade as stored (no details).
CourseGradeEntity headOf(pugi::xml_node grade)
{
    CourseGradeEntity g;
    g.setPeriod(periodOf(grade));
    g.setClassName(text(grade, "ClassName"));
    g.setSubjectName(text(grade, "SubjectName"));
    g.setTeacherName(text(grade, "TeacherName"));
    return g;
}

QList<CourseGradeDetail> detailsOf(pugi::xml_node details)
{
    QList<CourseGradeDetail> out;
    for (pugi::xml_node d : details.children("Detail")) {
        CourseGradeDetail detail;
        detail.setStudentID(text(d, "StudentID"));
        detail.setStudentName(text(d, "StudentName"));
        detail.setMark(GF::floatValue(text(d, "Point")));
        detail.setLetterGrade(text(d, "LetterGrade"));
        out << detail;
    }
    return out;
}

void appendGrade(pugi::xml_node root, const CourseGradeEntity &g)
{
    pugi::xml_node element = root.append_child(kGrade);
    pugi::xml_node period = element.append_child("Period");
    GF::appendTextChild(period, "PeriodTitle", g.period().title());
    GF::appendTextChild(period, "PeriodFrom", g.period().dateFrom());
    GF::appendTextChild(period, "PeriodTo", g.period().dateTo());
    GF::appendTextChild(element, "ClassName", g.className());
    GF::appendTextChild(element, "SubjectName", g.subjectName());
    GF::appendTextChild(element, "TeacherName", g.teacherName());
    pugi::xml_node details = element.append_child("Details");
    for (const CourseGradeDetail &d : g.allGradeDetails()) {
        pugi::xml_node detail = details.append_child("Detail");
        GF::appendTextChild(detail, "StudentID", d.studentID());
        GF::appendTextChild(detail, "StudentName", d.studentName());
        GF::appendTextChild(detail, "Point", TovGradeSessionsXmlDatabase::markText(d.mark()));
        GF::appendTextChild(detail, "LetterGrade", d.letterGrade());
    }
}

bool samePeriod(const PeriodEntity &a, const PeriodEntity &b)
{
    return a.title() == b.title() && a.dateFrom() == b.dateFrom() && a.dateTo() == b.dateTo();
}

void addName(QStringList &list, const QString &name)
{
    if (!list.contains(name))
        list << name;
}
} // namespace

TovGradeSessionsXmlDatabase *TovGradeSessionsXmlDatabase::sharedUI()
{
    return Singleton<TovGradeSessionsXmlDatabase>::instance();
}

TovGradeSessionsXmlDatabase::TovGradeSessionsXmlDatabase()
    : GradebookXmlStore(QString::fromLatin1(kFileName), kRootName)
{
    loadGradeSessionList();
}

QString TovGradeSessionsXmlDatabase::markText(float mark)
{
    return QString::asprintf("%.5f", std::isfinite(mark) ? double(mark) : 0.0);
}

bool TovGradeSessionsXmlDatabase::sameKey(const CourseGradeEntity &a, const CourseGradeEntity &b)
{
    return sameText(a.className(), b.className()) && sameText(a.subjectName(), b.subjectName()) &&
           sameText(a.teacherName(), b.teacherName()) && sameText(a.period().title(), b.period().title()) &&
           a.period().dateFrom() == b.period().dateFrom() && a.period().dateTo() == b.period().dateTo();
}

void TovGradeSessionsXmlDatabase::noteNames(const CourseGradeEntity &grade)
{
    addName(m_classList, grade.className());
    addName(m_subjectList, grade.subjectName());
    addName(m_teacherList, grade.teacherName());
}

void TovGradeSessionsXmlDatabase::loadGradeSessionList()
{
    pugi::xml_document doc;
    if (!readDocument(doc))
        return;
    m_maxNo = 1;
    m_courseGradeList.clear();
    m_periodList.clear();
    m_classList.clear();
    m_subjectList.clear();
    m_teacherList.clear();
    int k = 0;
    for (pugi::xml_node element : doc.document_element().children(kGrade)) {
        ++k;
        CourseGradeEntity grade = headOf(element);
        grade.setNo(k);
        const bool known = std::any_of(m_periodList.begin(), m_periodList.end(), [&](const PeriodEntity &p) {
            return sameText(p.title(), grade.period().title()) && sameText(p.dateFrom(), grade.period().dateFrom()) &&
                   sameText(p.dateTo(), grade.period().dateTo());
        });
        if (!known)
            m_periodList << grade.period();
        noteNames(grade);
        const pugi::xml_node details = element.child("Details");
        if (!details)
            continue;
        grade.setAllGradeDetails(detailsOf(details));
        m_courseGradeList << grade;
        m_maxNo = k + 1;
    }
}

bool TovGradeSessionsXmlDatabase::existCourseGrade(const CourseGradeEntity &grade) const
{
    return std::any_of(m_courseGradeList.begin(), m_courseGradeList.end(),
                       [&](const CourseGradeEntity &g) { return sameKey(g, grade); });
}

bool TovGradeSessionsXmlDatabase::addCourseGradeSession(CourseGradeEntity &grade, QString *errorText)
{
    if (!changeFile(
            [&](pugi::xml_node root, QString *) {
                appendGrade(root, grade);
                return true;
            },
            errorText))
        return false;
    grade.setNo(m_maxNo++);
    m_courseGradeList << grade;
    if (!std::any_of(m_periodList.begin(), m_periodList.end(),
                     [&](const PeriodEntity &p) { return samePeriod(p, grade.period()); }))
        m_periodList << grade.period();
    noteNames(grade);
    return true;
}

bool TovGradeSessionsXmlDatabase::updateCourseGradeSession(CourseGradeEntity &grade, QString *errorText)
{
    if (!GF::fileExistsAtPath(filePath()))
        return GF::failWith(errorText, QStringLiteral("there are no course grades"));
    if (!changeFile(
            [&](pugi::xml_node root, QString *why) {
                for (pugi::xml_node element : root.children(kGrade)) {
                    if (sameKey(headOf(element), grade)) {
                        root.remove_child(element);
                        appendGrade(root, grade);
                        return true;
                    }
                }
                *why = QStringLiteral("the course grade is not in the file");
                return false;
            },
            errorText))
        return false;
    const auto old = std::find_if(m_courseGradeList.begin(), m_courseGradeList.end(),
                                  [&](const CourseGradeEntity &g) { return sameKey(g, grade); });
    if (old == m_courseGradeList.end()) {
        // The file held it without details: from now on it is listed.
        grade.setNo(m_maxNo++);
        m_courseGradeList << grade;
    } else {
        grade.setNo(old->no());
        *old = grade;
    }
    noteNames(grade);
    return true;
}

bool TovGradeSessionsXmlDatabase::deleteStudentGradeByPeriod(const QString &periodTitle, const QString &subject,
                                                             const QString &className, const QString &teacherName,
                                                             QString *errorText)
{
    const auto matches = [&](const CourseGradeEntity &g) {
        return sameText(g.period().unique_title(), periodTitle) && sameText(g.subjectName(), subject) &&
               sameText(g.className(), className) && sameText(g.teacherName(), teacherName);
    };
    if (!GF::fileExistsAtPath(filePath()))
        return GF::failWith(errorText, QString());
    // Nothing to remove leaves the file untouched and no reason.
    QString why;
    const bool written = changeFile(
        [&](pugi::xml_node root, QString *) {
            QList<pugi::xml_node> doomed;
            for (pugi::xml_node element : root.children(kGrade))
                if (matches(headOf(element)))
                    doomed << element;
            for (const pugi::xml_node &element : doomed)
                root.remove_child(element);
            return !doomed.isEmpty();
        },
        &why);
    if (!written)
        return GF::failWith(errorText, why);
    loadGradeSessionList();
    return true;
}

std::optional<PeriodEntity> TovGradeSessionsXmlDatabase::periodByTitle(const QString &label) const
{
    for (const PeriodEntity &p : m_periodList)
        if (sameText(p.unique_title(), label))
            return p;
    return std::nullopt;
}

QList<CourseGradeEntity> TovGradeSessionsXmlDatabase::getStudentGradeByPeriod(const QString &periodTitle,
                                                                             const QString &subject) const
{
    QList<CourseGradeEntity> out;
    pugi::xml_document doc;
    if (!GF::fileExistsAtPath(filePath()) || !GF::loadXmlFile(filePath(), doc))
        return out;
    for (pugi::xml_node element : doc.document_element().children(kGrade)) {
        CourseGradeEntity grade = headOf(element);
        const pugi::xml_node details = element.child("Details");
        if (grade.subjectName() != subject || !sameText(grade.period().unique_title(), periodTitle) || !details)
            continue;
        grade.setAllGradeDetails(detailsOf(details));
        out << grade;
    }
    return out;
}

bool TovGradeSessionsXmlDatabase::isStored(const CourseGradeEntity &grade, QString *errorText) const
{
    pugi::xml_document doc;
    if (!GF::fileExistsAtPath(filePath()))
        return GF::failWith(errorText, QStringLiteral("%1 is missing").arg(filePath()));
    if (!GF::loadXmlFile(filePath(), doc, errorText))
        return false;
    for (pugi::xml_node element : doc.document_element().children(kGrade)) {
        if (!sameKey(headOf(element), grade))
            continue;
        const QList<CourseGradeDetail> stored = detailsOf(element.child("Details"));
        const QList<CourseGradeDetail> &wanted = grade.allGradeDetails();
        // Marks as the file writes them: five decimals.
        const bool same = stored.size() == wanted.size() &&
                          std::equal(stored.begin(), stored.end(), wanted.begin(),
                                     [](const CourseGradeDetail &a, const CourseGradeDetail &b) {
                                         return a.studentID() == b.studentID() && a.studentName() == b.studentName() &&
                                                markText(a.mark()) == markText(b.mark()) &&
                                                a.letterGrade() == b.letterGrade();
                                     });
        if (same)
            return true;
    }
    return GF::failWith(errorText, QStringLiteral("%1 does not hold the course grade as it was saved").arg(filePath()));
}
