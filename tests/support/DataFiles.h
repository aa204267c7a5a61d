#pragma once

#include <QByteArray>

#include <ostream>

// Small data files as Pollix writes them, for the tests that lay out an application folder.
namespace DataFiles {

// A login list of one account ("ann").
inline QByteArray accounts()
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ArrayOfTeacher><Teacher><UserName>ann</UserName>"
           "<Password>pw</Password></Teacher></ArrayOfTeacher>";
}

// A class file of one student.
inline QByteArray classFile(const char *name)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ClassRoom><ClassName>") + name +
           "</ClassName><Students><Student><SID>1</SID></Student></Students></ClassRoom>";
}

} // namespace DataFiles

// File bytes print as text when a comparison fails.
inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << '"';
}
