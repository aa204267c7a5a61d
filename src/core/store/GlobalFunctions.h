#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include <pugixml.hpp>

// The element access, file writing, listing and text cleaning that every XML store shares.
// Only static operations; never instantiated.
class GlobalFunctions
{
public:
    GlobalFunctions() = delete;

    // Each control character U+0001 to U+0019 becomes one blank.
    static QString toXmlString(const QString &text);
    // Local time now, "YYYY-MM-DDTHH:MM:SS".
    static QString currentTimeDesp();

    // Text of the first child element called tag; "" when there is none.
    static QString getValueByTagName(const QString &tag, const pugi::xml_node &parent);
    // Sets the first child called tag, appending it as the last child when there is none.
    static void setValue(const QString &value, const QString &tag, pugi::xml_node parent);
    static void deleteByTagName(const QString &tag, pugi::xml_node parent);
    // Text of the first node the expression selects; "" when none or when it fails.
    // The expression is always the program's own, never built from user text.
    static QString getValueByXPath(const QString &xpath, const pugi::xml_node &context);

    // Regular files under folder, at any depth, whose extension equals ext ignoring case:
    // relative paths without the extension. No value when the folder is missing.
    static std::optional<QStringList> fileListAtPath(const QString &folder, const QString &ext);
    static bool directoryExistsAtPath(const QString &path);
    static bool fileExistsAtPath(const QString &path);
    static QString classXmlDatabasePath();

    // Replaces the whole file atomically; null data writes nothing and succeeds.
    // False when the file could not be written, the old file then being intact.
    static bool createQXmlFileAtPath(const QString &path, const QByteArray &data);

    // The session ID of a session file, read from its first 255 bytes without parsing it.
    static QString getIDOfXmlQuizFile(const QString &path);

    // Obscures a login password (XOR with a fixed key); the same text always gives the same result.
    static QString encryptForPasswordString(const QString &password);

    // pugixml works in UTF-8.
    static std::string utf8(const QString &s) { return s.toStdString(); }
    static QString fromUtf8(const char *s) { return QString::fromUtf8(s); }
};
