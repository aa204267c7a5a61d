#include "DocLinks.h"
#include "SourceFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

namespace {
const QRegularExpression kFence(QStringLiteral("^\\s*```"));

// The text with its fenced code blocks blanked, every line kept where it was: a heading there is none.
QString withoutFences(const QByteArray &text)
{
    QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    bool inFence = false;
    for (QString &line : lines) {
        const bool fence = kFence.match(line).hasMatch();
        if (fence || inFence)
            line.fill(QLatin1Char(' '));
        if (fence)
            inFence = !inFence;
    }
    return lines.join(QLatin1Char('\n'));
}

// The text with its code blanked, fenced and in spans, every line kept where it was: a link there is none.
QString withoutCode(const QByteArray &text)
{
    QString out = withoutFences(text);
    static const QRegularExpression span(QStringLiteral("`[^`]*`"));
    for (auto it = span.globalMatch(out); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        for (qsizetype i = m.capturedStart(); i < m.capturedEnd(); ++i)
            if (out[i] != QLatin1Char('\n'))
                out[i] = QLatin1Char(' ');
    }
    return out;
}
} // namespace

QString DocLinks::anchorOf(const QString &heading)
{
    QString out;
    for (const QChar c : heading.trimmed().toLower()) {
        if (c == QLatin1Char(' '))
            out += QLatin1Char('-');
        else if (c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            out += c;
    }
    return out;
}

QStringList DocLinks::anchors(const QByteArray &text)
{
    static const QRegularExpression heading(QStringLiteral("^#{1,6}[ \\t]+(.*?)[ \\t#]*$"));
    QStringList out;
    QHash<QString, int> seen;
    for (const QString &line : withoutFences(text).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = heading.match(line);
        if (!m.hasMatch())
            continue;
        const QString anchor = anchorOf(m.captured(1));
        const int times = seen[anchor]++;
        out << (times == 0 ? anchor : QStringLiteral("%1-%2").arg(anchor).arg(times));
    }
    return out;
}

QStringList DocLinks::documents(const QString &root)
{
    QStringList out;
    if (QFileInfo::exists(QDir(root).filePath(QStringLiteral("README.md"))))
        out << QStringLiteral("README.md");
    const QStringList docs = QDir(QDir(root).filePath(QStringLiteral("docs"))).entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
    for (const QString &doc : docs)
        out << QStringLiteral("docs/") + doc;
    return out;
}

QStringList DocLinks::broken(const QString &root)
{
    // [text](target): the text may run over lines; an image's link is a link too.
    static const QRegularExpression link(QStringLiteral("\\[[^\\]]*\\]\\(([^()\\s]*)\\)"));
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    const QDir base(root);
    QStringList out;
    for (const QString &doc : documents(root)) {
        const std::optional<QByteArray> bytes = SourceFiles::read(base.filePath(doc));
        if (!bytes) {
            out << doc + QStringLiteral(": unreadable");
            continue;
        }
        const QString text = withoutCode(*bytes);
        for (auto it = link.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString target = m.captured(1);
            if (target.isEmpty() || scheme.match(target).hasMatch())
                continue;
            const qsizetype hash = target.indexOf(QLatin1Char('#'));
            const QString path = QUrl::fromPercentEncoding(target.left(hash).toUtf8());
            const QString anchor = hash < 0 ? QString() : target.mid(hash + 1);
            // A path from '/' starts at the repository's top, as GitHub reads it.
            const QString file = path.isEmpty()               ? doc
                                 : path.startsWith(QLatin1Char('/')) ? QDir::cleanPath(path.mid(1))
                                                                     : QDir::cleanPath(QFileInfo(doc).path() + QLatin1Char('/') + path);
            QString why;
            if (file.startsWith(QLatin1String("../")) || !QFileInfo::exists(base.filePath(file)))
                why = QStringLiteral("no such file");
            else if (!anchor.isEmpty()) {
                const std::optional<QByteArray> linked = SourceFiles::read(base.filePath(file));
                if (!file.endsWith(QLatin1String(".md")) || !linked || !anchors(*linked).contains(anchor))
                    why = QStringLiteral("no such heading");
            }
            if (!why.isEmpty()) {
                const int line = int(text.left(m.capturedStart(1)).count(QLatin1Char('\n'))) + 1;
                out << QStringLiteral("%1:%2: %3 (%4)").arg(doc).arg(line).arg(target, why);
            }
        }
    }
    return out;
}
