#include "TovGradeLetterXmlDatabase.h"

#include "platform/Singleton.h"

#include <algorithm>

using GF = GlobalFunctions;

namespace {
const char kLetter[] = "Letter";

QString text(pugi::xml_node node, const char *tag)
{
    return GF::fromUtf8(node.child_value(tag));
}

void writeLetter(pugi::xml_node element, const LetterEntity &l)
{
    GF::setValue(l.letter(), QStringLiteral("Name"), element);
    GF::setValue(QString::number(l.pointFrom()), QStringLiteral("PointFrom"), element);
    GF::setValue(QString::number(l.pointTo()), QStringLiteral("PointTo"), element);
    GF::setValue(l.notes(), QStringLiteral("Note"), element);
}

void writeHead(pugi::xml_node element, const LetterGradeEntity &s)
{
    GF::setValue(s.title(), QStringLiteral("Title"), element);
    GF::setValue(s.className(), QStringLiteral("ClassName"), element);
    GF::setValue(s.subjectName(), QStringLiteral("SubjectName"), element);
    GF::setValue(s.teacherName(), QStringLiteral("TeacherName"), element);
}

// The scale's "LetterList" holds exactly the letters given: a letter found by its exact name is
// rewritten in place, a new one appended, and one the scale no longer has removed (so that a
// letter renamed or deleted in the settings window does not come back at the next load).
void writeLetters(pugi::xml_node element, const QList<LetterEntity> &given)
{
    pugi::xml_node letters = element.child("LetterList");
    if (!letters)
        letters = element.append_child("LetterList");
    QList<pugi::xml_node> kept;
    for (const LetterEntity &l : given) {
        pugi::xml_node letter = letters.find_child([&](pugi::xml_node n) {
            return std::string_view(n.name()) == kLetter && !kept.contains(n) && text(n, "Name") == l.letter();
        });
        if (!letter)
            letter = letters.append_child(kLetter);
        writeLetter(letter, l);
        kept << letter;
    }
    QList<pugi::xml_node> gone;
    for (pugi::xml_node n : letters.children(kLetter))
        if (!kept.contains(n))
            gone << n;
    for (const pugi::xml_node &n : gone)
        letters.remove_child(n);
}
} // namespace

TovGradeLetterXmlDatabase *TovGradeLetterXmlDatabase::sharedUI()
{
    return Singleton<TovGradeLetterXmlDatabase>::instance();
}

TovGradeLetterXmlDatabase::TovGradeLetterXmlDatabase()
    : GradebookXmlStore(QString::fromLatin1(kFileName), kRootName),
      m_scales{nullptr, "GradeLetter", "Title", [](const LetterGradeEntity &s) { return s.title(); },
               QStringLiteral("no such letter scale")}
{
    loadGradeLetterList();
}

bool TovGradeLetterXmlDatabase::loadGradeLetterList()
{
    pugi::xml_document doc;
    if (!readDocument(doc))
        return false;
    QList<LetterGradeEntity> loaded;
    for (pugi::xml_node n : elementsOf(m_scales, doc.document_element())) {
        LetterGradeEntity scale;
        scale.setTitle(text(n, "Title"));
        scale.setClassName(text(n, "ClassName"));
        scale.setSubjectName(text(n, "SubjectName"));
        scale.setTeacherName(text(n, "TeacherName"));
        for (pugi::xml_node l : n.child("LetterList").children(kLetter)) {
            LetterEntity letter;
            letter.setLetter(text(l, "Name"));
            letter.setPointFrom(GF::intValue(text(l, "PointFrom")));
            letter.setPointTo(GF::intValue(text(l, "PointTo")));
            letter.setNotes(text(l, "Note"));
            scale.letterList() << letter;
        }
        std::stable_sort(scale.letterList().begin(), scale.letterList().end(),
                         [](const LetterEntity &a, const LetterEntity &b) { return a.letter() < b.letter(); });
        loaded << scale;
    }
    const bool changed = setLoaded(
        m_scales, loaded, [](const LetterGradeEntity &a, const LetterGradeEntity &b) { return a.title() < b.title(); },
        doc.document_element());
    if (!loaded.isEmpty())
        m_scales.maxNo = int(loaded.size()) + 1;
    return changed;
}

std::optional<LetterGradeEntity> TovGradeLetterXmlDatabase::letterGradeByNo(int no) const
{
    const qsizetype i = m_scales.indexOfNo(no);
    if (i < 0)
        return std::nullopt;
    return m_scales.list.at(i);
}

bool TovGradeLetterXmlDatabase::existLetterGradeWithTitle(const QString &title) const
{
    return std::any_of(m_scales.list.begin(), m_scales.list.end(),
                       [&](const LetterGradeEntity &s) { return s.title() == title; });
}

int TovGradeLetterXmlDatabase::addWithData(LetterGradeEntity &scale, QString *errorText)
{
    if (scale.letterList().isEmpty()) {
        GF::failWith(errorText, QStringLiteral("the letter scale has no letters"));
        return -1;
    }
    return addRecord(
        m_scales, scale,
        [&](pugi::xml_node element) {
            writeHead(element, scale);
            writeLetters(element, scale.letterList());
        },
        errorText);
}

bool TovGradeLetterXmlDatabase::updateWithData(const LetterGradeEntity &data, QString *errorText)
{
    const qsizetype i = editRecord(
        m_scales, data.no(),
        [&](pugi::xml_node element, QString *) {
            writeHead(element, data);
            writeLetters(element, data.letterList());
            return true;
        },
        errorText);
    if (i < 0)
        return false;
    m_scales.list[i] = data;
    return true;
}

bool TovGradeLetterXmlDatabase::deleteWithNo(int no, QString *errorText)
{
    return deleteRecord(m_scales, no, errorText);
}

bool TovGradeLetterXmlDatabase::deleteWithData(const LetterGradeEntity *scale, QString *errorText)
{
    if (!scale)
        return GF::failWith(errorText, QStringLiteral("no letter scale"));
    return deleteWithNo(scale->no(), errorText);
}

bool TovGradeLetterXmlDatabase::deleteGradeLetterByTeacherName(const QString &name, QString *errorText)
{
    return deleteRecordsWhere(m_scales, "TeacherName", name, errorText);
}

bool TovGradeLetterXmlDatabase::deleteGradeLetterBySubjectName(const QString &name, QString *errorText)
{
    return deleteRecordsWhere(m_scales, "SubjectName", name, errorText);
}

bool TovGradeLetterXmlDatabase::deleteGradeLetterByClassName(const QString &name, QString *errorText)
{
    return deleteRecordsWhere(m_scales, "ClassName", name, errorText);
}
