#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

#include <pugixml.hpp>

// StudentRoster.xml held open for one operation or one batch, written once at the end.
class StudentRosterXmlHelper
{
public:
    // Parses the file, first creating it (root "ClassRoom" holding an empty "Students") when it
    // is missing. None when it cannot be parsed or created, or its root holds no "Students".
    static std::unique_ptr<StudentRosterXmlHelper> initWithXmlPath(const QString &path, QString *errorText = nullptr);
    static bool createXmlFileAtPath(const QString &path);
    // The "Students" element a roster or class file keeps its students in, under its root; null
    // when there is none (the file is then no roster).
    static pugi::xml_node studentsIn(const pugi::xml_document &doc);
    // The text of each "Student" element in students, by its ID folded to lower case (the first
    // of an ID in the file, as the stores find it): what a window read of each record.
    static QHash<QString, QByteArray> studentTexts(pugi::xml_node students);

    pugi::xml_document &xmlDoc() { return m_xmlDoc; }
    pugi::xml_node studentsElem() const { return m_studentsElem; }
    void setStudentsElem(pugi::xml_node elem) { m_studentsElem = elem; }

    // False when the write failed (the file on disk is then as it was).
    bool save(QString *errorText = nullptr);

private:
    StudentRosterXmlHelper() = default;

    pugi::xml_document m_xmlDoc;
    QString m_path;
    pugi::xml_node m_studentsElem;
};
