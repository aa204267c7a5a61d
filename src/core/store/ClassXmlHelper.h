#pragma once

#include <QString>

#include <memory>

#include <pugixml.hpp>

// One class file held open for one operation or one batch of student edits, written once at the end.
class ClassXmlHelper
{
public:
    // None when the file cannot be parsed. A file without "Students" gets one.
    static std::unique_ptr<ClassXmlHelper> initWithXmlPath(const QString &path, QString *errorText = nullptr);

    pugi::xml_document &xmlDoc() { return m_xmlDoc; }
    pugi::xml_node studentsElem() const { return m_studentsElem; }
    void setStudentsElem(pugi::xml_node elem) { m_studentsElem = elem; }
    const QString &path() const { return m_path; }

    // Writes the whole document back to its path; false when the write failed (the file on disk
    // is then as it was).
    bool save(QString *errorText = nullptr);

private:
    ClassXmlHelper() = default;

    pugi::xml_document m_xmlDoc;
    pugi::xml_node m_studentsElem;
    QString m_path;
};
