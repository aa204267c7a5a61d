#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class FolderHandle;
class QIODevice;
#include <QStringList>

#include <functional>
#include <optional>
#include <string_view>

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
    // The clock behind currentTimeDesp(); tests set a fixed one (an empty function restores it).
    static QDateTime currentDateTime();
    static void setClockForTesting(std::function<QDateTime()> clock);

    // Stored time stamps are read back in the fixed zone UTC+8, whatever the machine's zone.
    // "YYYY-MM-DD": that day at 00:00:00 +0800.
    static QDateTime dateFromStoredDay(const QString &day);
    // "YYYY-MM-DDTHH:MM:SS": that moment in +0800; an invalid date when the text is not one.
    static QDateTime dateFromStoredTimeStamp(const QString &stamp);
    // "YYYY-MM-DD HH:MM:SS +0800", the date printed in UTC+8 (so a stored day survives a round trip).
    static QString standardDateText(const QDateTime &date);
    // A standard date text or time stamp as a stored time stamp: blank at index 10 -> "T", 19 chars.
    static QString timeStampFromStandardText(const QString &text);
    // A calendar date as stored ("%Y-%m-%d", local date; "" for none) and back (local midnight;
    // an invalid date for an empty or malformed text).
    static QString dayText(const QDateTime &date);
    static QDateTime dateFromDayText(const QString &text);
    // Leading integer of a text as stored numbers are read: optional blanks and sign, then
    // digits; 0 when the text does not start with a number; clamped to the int range.
    static int intValue(const QString &text);
    // The same for UTF-8 text as a parsed file holds it.
    static int intValueOfUtf8(std::string_view text);
    // Leading decimal number of a text (blanks, sign, digits, a point, an exponent); 0 without
    // one. The point is always ".", whatever the locale.
    static float floatValue(const QString &text);
    // The same over UTF-8 text straight from a parsed file (blanks: ASCII white space).
    static float floatValueOfUtf8(std::string_view text);
    // A stored flag: true when the text, after blanks, a sign and leading zeros, starts with a
    // digit 1 to 9 or with Y, y, T or t.
    static bool boolValue(const QString &text);

    // Text of the first child element called tag; "" when there is none.
    static QString getValueByTagName(const QString &tag, const pugi::xml_node &parent);
    // Sets the first child called tag, appending it as the last child when there is none.
    static void setValue(const QString &value, const QString &tag, pugi::xml_node parent);
    static void deleteByTagName(const QString &tag, pugi::xml_node parent);
    // Text of the first node the expression selects; "" when none or when it fails.
    // The expression is always the program's own, never built from user text.
    static QString getValueByXPath(const QString &xpath, const pugi::xml_node &context);

    // Regular files under folder, at any depth, whose extension equals ext ignoring case:
    // relative paths without the extension. No value when the folder is missing. No link on the
    // way is followed but one the start took (TakenFolders).
    static std::optional<QStringList> fileListAtPath(const QString &folder, const QString &ext);
    // The file that fileListAtPath(folder, ext) lists as name: folder/name.ext, its extension in
    // whatever letter case it has on disk (A.XML as well as A.xml); folder/name.ext when there is
    // no such file.
    static QString filePathForListedName(const QString &folder, const QString &name, const QString &ext);
    static bool directoryExistsAtPath(const QString &path);
    static bool fileExistsAtPath(const QString &path);
    static QString classXmlDatabasePath();
    // A file in the data folder / the application folder; "" when no application delegate is set.
    static QString pathInDataFolder(const QString &fileName);
    static QString pathInApplicationFolder(const QString &fileName);

    // Replaces the whole file atomically (making its folder when missing); null data writes nothing
    // and succeeds.
    // False when the file could not be written, the old file then being intact; the reason
    // (disk full, read-only disk, no permission, ...) goes to *errorText. Every store write
    // below passes its errorText on to here.
    static bool createQXmlFileAtPath(const QString &path, const QByteArray &data, QString *errorText = nullptr);
    // Removes a store file (inside a StoreTransaction: with the transaction's commit). A file
    // that is not there counts as removed. False, with the reason, when it stays.
    static bool removeFileAtPath(const QString &path, QString *errorText = nullptr);
    // The folder at path held open, reached as Pollix's own folders are (TakenFolders::reach): the
    // data folder and the application folder as their paths lead (either may lie behind a link),
    // every folder below them without following a link but a link the start took, each made
    // first where missing with make. A folder elsewhere (one the teacher chose) as its path leads.
    // Closed, with *why, when it cannot be opened.
    static FolderHandle heldFolder(const QString &path, bool make, QString *why = nullptr);

    // The one serialised form of every store file: the declaration, a line break, then the root
    // with no indentation or line breaks; empty elements as start-end pairs.
    static QByteArray xmlData(const pugi::xml_document &doc);
    // A new root element; withNamespaces adds the "xsi" and "xsd" declarations (session and class files).
    static pugi::xml_node createRoot(pugi::xml_document &doc, const char *name, bool withNamespaces);
    // Appends a child element holding text (an empty text gives an empty element).
    static pugi::xml_node appendTextChild(pugi::xml_node parent, const char *name, const QString &text);
    // Parses a whole store file; the parser's error text goes to *error on failure. The version
    // read is noted (FileVersions): a later save of the file replaces only that one.
    static bool loadXmlFile(const QString &path, pugi::xml_document &doc, QString *error = nullptr);
    // The same for a read whose document feeds no save of the file (a rewrite of what an editor
    // read earlier looks up the times stored): it notes nothing, so that the save still replaces
    // only the version the editor read.
    static bool loadXmlFileToLook(const QString &path, pugi::xml_document &doc, QString *error = nullptr);
    // The same parse of a store file's bytes held in memory (an archive's entry, say).
    static bool parseXmlBytes(const QByteArray &bytes, pugi::xml_document &doc, QString *error = nullptr);
    // Parses the file, first writing a document holding only an empty root when there is none.
    static bool loadOrCreateXmlFile(const QString &path, const char *rootName, pugi::xml_document &doc,
                                    QString *errorText = nullptr);
    // The k-th (from 0) child element called name for which matches() holds; null when none.
    // Stores use it so that the k-th of several equal records in their list is the k-th equal
    // element of the file.
    static pugi::xml_node nthChildWhere(pugi::xml_node parent, const char *name, int k,
                                        const std::function<bool(pugi::xml_node)> &matches);
    // Outcome of editing one element of a store file in place.
    enum class FileEdit { Written, NotInFile, Failed };
    // Loads the file, hands the k-th child of the root called name for which matches() holds to
    // edit() and writes the file. NotInFile (nothing written) when there is no such child; Failed
    // when the file could not be read or written (the file is then as it was). With asRead (the
    // child's text as a window showed it) a child there must still be as read, else Failed, and
    // *errorText says another program changed the file (changedSinceRead), as it does for a child
    // gone; written gets the child's text as written.
    static FileEdit editNthRootChild(const QString &path, const char *name, int k,
                                     const std::function<bool(pugi::xml_node)> &matches,
                                     const std::function<void(pugi::xml_node)> &edit, QString *errorText = nullptr,
                                     const std::optional<QByteArray> &asRead = std::nullopt, QByteArray *written = nullptr);

    // A record's element whole, its attributes and children, as text: a record is as Pollix read
    // it while its text is.
    static QByteArray elementText(pugi::xml_node element);
    // A save that rewrites a record from a copy a window showed takes the file as it is at the save
    // (what another program changed in other records stays), but a record changed since that copy
    // was read would lose the other program's change, in fields the teacher never touched too.
    // Why element (the record as the file at path holds it now; null when it is gone) is no longer
    // the record read as asRead (empty: the file held none then), in the words of a save refused
    // over another program's; empty while it is as read.
    static QString changedSinceRead(pugi::xml_node element, const QByteArray &asRead, const QString &path);
    // Position in list of the record whose no() is no; -1 when none.
    template <typename Record>
    static qsizetype indexOfNo(const QList<Record> &list, int no)
    {
        for (qsizetype i = 0; i < list.size(); ++i)
            if (list.at(i).no() == no)
                return i;
        return -1;
    }
    // The localized "All" that number 0 stands for in every name-by-number lookup.
    static QString allText();
    // createQXmlFileAtPath(path, xmlData(doc), errorText).
    static bool saveXmlDocument(const QString &path, const pugi::xml_document &doc, QString *errorText = nullptr);
    // Puts why into *errorText (when asked for) and gives false: the failure of a store write
    // that is not the writer's own (a file to rename or remove, a record not in the file).
    static bool failWith(QString *errorText, const QString &why);

    // A name typed by the teacher made safe as a file name (an extension always follows it):
    // path separators and NUL become "_", so the file stays in its folder.
    static QString safeFileName(const QString &name);
    // folder/base + ext when nothing is there (not even a link), else folder/base (2) + ext, (3),
    // ...: a first write never replaces a file that is already there, nor follows a link whose
    // file is missing. base is cut at a whole character so that the
    // file name stays within 255 bytes. Empty, with *why naming the folder and the disk's reason,
    // where a look in the folder answers with an error (a share gone away, a folder that may not
    // be searched, a disk pulled out) or no name up to (kMostFreeNameTries) is free.
    static constexpr int kMostFreeNameTries = 10000;
    static QString freeFilePath(const QString &folder, const QString &base, const QString &ext, QString *why);

    // The session ID of a session file, read from its first 255 bytes without parsing it.
    static QString getIDOfXmlQuizFile(const QString &path);

    // Obscures a login password (XOR with a fixed key); the same text always gives the same result.
    static QString encryptForPasswordString(const QString &password);

    // pugixml works in UTF-8.
    static std::string utf8(const QString &s) { return s.toStdString(); }
    static QString fromUtf8(const char *s) { return QString::fromUtf8(s); }
};
