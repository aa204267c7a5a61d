#pragma once

#include <QByteArray>
#include <QString>

// A small streaming tag scanner for the start of session files: it reports start tags, text and
// end tags to its delegate as it reads the file in 1 KiB chunks, builds no tree, and stops as soon
// as the delegate is cleared, so listing sessions costs only their headers. Text arrives with its
// entity and character references decoded; values of any length are kept whole. Declarations,
// comments and other markup are skipped; attributes are not reported.
class MyXmlParser
{
public:
    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual void myParserDidStartElement(MyXmlParser &parser, const QString &name) = 0;
        // May come in pieces; the pieces of one run of text follow each other.
        virtual void myParserFoundCharacters(MyXmlParser &parser, const QString &text) = 0;
        // Also sent right after the start of an empty-element tag ("<X/>").
        virtual void myParserDidEndElement(MyXmlParser &parser, const QString &name) = 0;
    };

    explicit MyXmlParser(const QString &filePath) : m_filePath(filePath) {}

    // Not owned; clearing it (also from a callback) ends the scan.
    void setDelegate(Delegate *delegate) { m_delegate = delegate; }
    Delegate *delegate() const { return m_delegate; }
    const QString &filePath() const { return m_filePath; }

    // False when the file cannot be opened or a read of it fails; true otherwise, malformed input
    // included.
    bool parse();

    // Text with its entity ("&amp;" ...) and character ("&#38;", "&#x26;") references decoded;
    // an unknown or unterminated reference stays as it is.
    static QString decodeText(const QByteArray &raw);

private:
    void handleTag(const QByteArray &tag);
    void flushText();

    Delegate *m_delegate = nullptr;
    QString m_filePath;
    QByteArray m_text;
};
