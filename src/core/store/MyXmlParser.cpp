#include "MyXmlParser.h"
#include "platform/RegularFile.h"
#include "platform/Uninterrupted.h"

#include <QFile>
#include <QScopeGuard>

#include <cerrno>

#include <unistd.h>

namespace {
constexpr qint64 kChunk = 1024;

enum class Mode { Text, Tag, Comment, CData };

bool isNameEnd(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '/';
}

// The character a reference body (between "&" and ";") stands for; an invalid code point gives
// nothing.
QString referenceText(const QByteArray &body)
{
    if (body == "amp")
        return QStringLiteral("&");
    if (body == "lt")
        return QStringLiteral("<");
    if (body == "gt")
        return QStringLiteral(">");
    if (body == "quot")
        return QStringLiteral("\"");
    if (body == "apos")
        return QStringLiteral("'");
    if (body.size() > 1 && body.at(0) == '#') {
        bool ok = false;
        const uint code = (body.at(1) == 'x' || body.at(1) == 'X') ? body.mid(2).toUInt(&ok, 16) : body.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
            const char32_t c = code;
            return QString::fromUcs4(&c, 1);
        }
    }
    return QString();
}
} // namespace

QString MyXmlParser::decodeText(const QByteArray &raw)
{
    if (!raw.contains('&'))
        return QString::fromUtf8(raw);
    QByteArray out;
    out.reserve(raw.size());
    qsizetype i = 0;
    while (i < raw.size()) {
        const qsizetype amp = raw.indexOf('&', i);
        if (amp < 0) {
            out.append(raw.mid(i));
            break;
        }
        out.append(raw.mid(i, amp - i));
        const qsizetype semi = raw.indexOf(';', amp + 1);
        // References are short; a far-away ";" belongs to later text.
        const QString decoded = (semi > amp && semi - amp <= 12) ? referenceText(raw.mid(amp + 1, semi - amp - 1)) : QString();
        if (decoded.isEmpty()) {
            out.append('&');
            i = amp + 1;
        } else {
            out.append(decoded.toUtf8());
            i = semi + 1;
        }
    }
    return QString::fromUtf8(out);
}

void MyXmlParser::flushText()
{
    if (!m_text.isEmpty() && m_delegate)
        m_delegate->myParserFoundCharacters(*this, decodeText(m_text));
    m_text.clear();
}

void MyXmlParser::handleTag(const QByteArray &tag)
{
    if (!m_delegate || tag.isEmpty() || tag.at(0) == '?' || tag.at(0) == '!')
        return;
    if (tag.at(0) == '/') {
        m_delegate->myParserDidEndElement(*this, QString::fromUtf8(tag.mid(1).trimmed()));
        return;
    }
    qsizetype end = 0;
    while (end < tag.size() && !isNameEnd(tag.at(end)))
        ++end;
    const QString name = QString::fromUtf8(tag.left(end));
    m_delegate->myParserDidStartElement(*this, name);
    if (tag.endsWith('/') && m_delegate)
        m_delegate->myParserDidEndElement(*this, name);
}

bool MyXmlParser::parse()
{
    // Read straight from the descriptor: a list reads the head of every session.
    const int fd = RegularFile::openDescriptor(m_filePath, nullptr);
    if (fd < 0)
        return false;
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    m_text.clear();
    QByteArray tag;
    Mode mode = Mode::Text;
    char quote = 0;
    char chunk[kChunk];
    ssize_t got = 0;
    while (m_delegate && (got = Uninterrupted::call([&] { return ::read(fd, chunk, kChunk); })) > 0) {
        for (qint64 i = 0; i < got && m_delegate; ++i) {
            const char c = chunk[i];
            switch (mode) {
            case Mode::Text:
                if (c == '<') {
                    flushText();
                    tag.clear();
                    mode = Mode::Tag;
                } else {
                    m_text.append(c);
                }
                break;
            case Mode::Tag:
                if (quote) {
                    tag.append(c);
                    if (c == quote)
                        quote = 0;
                } else if (c == '>') {
                    handleTag(tag);
                    mode = Mode::Text;
                } else {
                    tag.append(c);
                    if (tag == "!--") {
                        tag.clear();
                        mode = Mode::Comment;
                    } else if (tag == "![CDATA[") {
                        tag.clear();
                        mode = Mode::CData;
                    } else if ((c == '"' || c == '\'') && tag.at(0) != '!') {
                        quote = c;
                    }
                }
                break;
            case Mode::Comment:
                tag.append(c);
                if (c == '>' && tag.endsWith("-->"))
                    mode = Mode::Text;
                break;
            case Mode::CData:
                tag.append(c);
                if (c == '>' && tag.endsWith("]]>")) {
                    tag.chop(3);
                    flushText();
                    if (m_delegate && !tag.isEmpty())
                        m_delegate->myParserFoundCharacters(*this, QString::fromUtf8(tag));
                    mode = Mode::Text;
                }
                break;
            }
        }
    }
    // A read the disk answered with an error is no end of the file.
    return got >= 0;
}
