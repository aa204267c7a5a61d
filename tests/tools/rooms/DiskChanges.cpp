#include "DiskChanges.h"
#include "SourceFiles.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <cctype>
#include <functional>

#include <algorithm>

namespace {
// Members of Qt's file classes that change the disk, by the class that has them.
const QHash<QString, QString> &changingMembers()
{
    static const QHash<QString, QString> members{
        {QStringLiteral("QFile"), QStringLiteral("remove|rename|copy|link|moveToTrash|setPermissions|resize")},
        {QStringLiteral("QSaveFile"), QStringLiteral("remove|rename|copy|link|moveToTrash|setPermissions|resize|commit")},
        {QStringLiteral("QTemporaryFile"), QStringLiteral("remove|rename|copy|link|moveToTrash|setPermissions|resize")},
        {QStringLiteral("QDir"), QStringLiteral("remove|rename|mkdir|mkpath|rmdir|rmpath|removeRecursively")},
        {QStringLiteral("QTemporaryDir"), QStringLiteral("remove")},
    };
    return members;
}

// The text of the call's arguments, from the opening parenthesis at open to its match.
QString argumentsAt(const QString &code, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < code.size(); ++i) {
        if (code[i] == QLatin1Char('('))
            ++depth;
        else if (code[i] == QLatin1Char(')') && --depth == 0)
            return code.mid(open + 1, i - open - 1);
    }
    return code.mid(open + 1);
}

// Whether the arguments hold a comma outside parentheses: more than one argument.
bool severalArguments(const QString &arguments)
{
    int depth = 0;
    for (const QChar c : arguments) {
        if (c == QLatin1Char('(') || c == QLatin1Char('<') || c == QLatin1Char('{'))
            ++depth;
        else if (c == QLatin1Char(')') || c == QLatin1Char('>') || c == QLatin1Char('}'))
            --depth;
        else if (c == QLatin1Char(',') && depth == 0)
            return true;
    }
    return false;
}

const QRegularExpression &writeFlags()
{
    static const QRegularExpression flags(QStringLiteral(R"(\bO_(WRONLY|RDWR|CREAT|TRUNC|APPEND|TMPFILE)\b)"));
    return flags;
}

struct Finder
{
    const QString &code;
    QList<std::pair<qsizetype, QString>> found; // offset, call

    void add(qsizetype at, const QString &call) { found.append({at, call}); }

    // Each match of pattern, its call named by name from the match.
    void each(const QString &pattern, const std::function<void(const QRegularExpressionMatch &)> &use)
    {
        const QRegularExpression re(pattern);
        for (auto it = re.globalMatch(code); it.hasNext();)
            use(it.next());
    }
};
} // namespace

QByteArray DiskChanges::codeOnly(const QByteArray &text)
{
    QByteArray out = text;
    const qsizetype n = text.size();
    const auto blank = [&](qsizetype from, qsizetype to) {
        for (qsizetype k = from; k < to && k < n; ++k)
            if (out[k] != '\n')
                out[k] = ' ';
    };
    bool lineStart = true;
    for (qsizetype i = 0; i < n;) {
        const char c = text[i];
        const char next = i + 1 < n ? text[i + 1] : '\0';
        if (c == '\n') {
            lineStart = true;
            ++i;
            continue;
        }
        if (lineStart && c == '#') {
            // A preprocessor line, continued lines too: what it includes is no call.
            qsizetype end = i;
            while (end < n && (text[end] != '\n' || (end > 0 && text[end - 1] == '\\')))
                ++end;
            blank(i, end);
            i = end;
            continue;
        }
        if (c != ' ' && c != '\t')
            lineStart = false;
        if (c == '/' && next == '/') {
            const qsizetype end = text.indexOf('\n', i);
            blank(i, end < 0 ? n : end);
            i = end < 0 ? n : end;
        } else if (c == '/' && next == '*') {
            const qsizetype end = text.indexOf("*/", i + 2);
            blank(i, end < 0 ? n : end + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == 'R' && next == '"' && (i == 0 || !(std::isalnum(uchar(text[i - 1])) || text[i - 1] == '_'))) {
            // A raw string: R"delimiter( ... )delimiter"
            const qsizetype open = text.indexOf('(', i + 2);
            const QByteArray close = ')' + text.mid(i + 2, open - i - 2) + '"';
            const qsizetype end = open < 0 ? -1 : text.indexOf(close, open);
            const qsizetype stop = end < 0 ? n : end + close.size();
            blank(i + 2, stop - 1);
            i = stop;
        } else if (c == '"' || (c == '\'' && !(i > 0 && std::isalnum(uchar(text[i - 1]))))) {
            // A string or a character; a quote after a digit separates digits (1'000).
            qsizetype k = i + 1;
            while (k < n && text[k] != c && text[k] != '\n')
                k += text[k] == '\\' ? 2 : 1;
            blank(i + 1, k);
            i = k + 1;
        } else {
            ++i;
        }
    }
    return out;
}

QList<DiskChanges::Change> DiskChanges::changesIn(const QByteArray &text)
{
    const QString code = QString::fromUtf8(codeOnly(text));
    Finder f{code, {}};
    const QString before = QStringLiteral(R"((?<![\w:.>]))");

    // System calls of their own, by path or by a descriptor (the global ones, and those no
    // method of Pollix's shares a name with when called bare).
    f.each(before + QStringLiteral(R"(::(rename|renameat|renameat2|unlink|unlinkat|link|linkat|symlink|symlinkat|mkdir|mkdirat|)"
                                   R"(rmdir|remove|mknod|mknodat|mkfifo|mkfifoat|truncate|chmod|fchmodat|chown|lchown|fchownat|)"
                                   R"(utimensat|utimes|creat)\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("::") + m.captured(1)); });
    f.each(before + QStringLiteral(R"((unlink|unlinkat|renameat|renameat2|linkat|symlink|symlinkat|mkdirat|rmdir|mknodat|mkfifo|)"
                                   R"(mkfifoat|utimensat)\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("::") + m.captured(1)); });
    f.each(QStringLiteral(R"(\bstd::(rename|remove)\s*\()"), [&](const QRegularExpressionMatch &m) {
        // std::remove of three arguments is the algorithm.
        if (m.captured(1) == QLatin1String("rename") || !severalArguments(argumentsAt(code, m.capturedEnd() - 1)))
            f.add(m.capturedStart(), QStringLiteral("std::") + m.captured(1));
    });
    // Opened to be written by a path, or made through a descriptor of its own.
    f.each(QStringLiteral(R"((?<![\w.>:])(?:::)?(open|openat|openat2)\s*\()"), [&](const QRegularExpressionMatch &m) {
        const bool global = code.mid(m.capturedStart(), 2) == QLatin1String("::");
        if ((global || m.captured(1) != QLatin1String("open")) && writeFlags().match(argumentsAt(code, m.capturedEnd() - 1)).hasMatch())
            f.add(m.capturedStart(), QStringLiteral("::") + m.captured(1));
    });
    f.each(QStringLiteral(R"(\b(?:std::)?(fopen|fopen64|freopen)\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("fopen")); });
    f.each(QStringLiteral(R"(\bzipOpen(?:64)?\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("zipOpen")); });
    f.each(QStringLiteral(R"(\b(?:std::(?:experimental::)?filesystem|fs)::(remove|remove_all|rename|copy|copy_file|copy_symlink|)"
                          R"(create_directory|create_directories|create_hard_link|create_symlink|create_directory_symlink|)"
                          R"(resize_file|permissions|last_write_time)\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("std::filesystem::") + m.captured(1)); });

    // Qt: the static calls, the classes that make files and folders of their own, and the members
    // that change the disk, of a temporary or of a variable of that class.
    f.each(QStringLiteral(R"(\bQFile::(remove|rename|copy|link|moveToTrash|setPermissions|resize)\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("QFile::") + m.captured(1)); });
    f.each(QStringLiteral(R"(\b(QSaveFile|QTemporaryFile|QTemporaryDir|QLockFile)\b)"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), m.captured(1)); });
    f.each(QStringLiteral(R"((?:\.|->)\s*(mkdir|mkpath|rmdir|rmpath|removeRecursively)\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("QDir.") + m.captured(1)); });
    const QString arguments = QStringLiteral(R"((?:\((?:[^()]|\((?:[^()]|\([^()]*\))*\))*\)|\{[^{};]*\}))");
    for (auto it = changingMembers().cbegin(); it != changingMembers().cend(); ++it) {
        const QString type = it.key(), members = it.value();
        f.each(QStringLiteral(R"(\b%1\s*%2\s*\.\s*(%3)\s*\()").arg(type, arguments, members),
               [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("%1.%2").arg(type, m.captured(1))); });
        // Variables, members and parameters of the class, plain or held by a pointer.
        QStringList names;
        f.each(QStringLiteral(R"(\b%1\b\s*(?:[*&]\s*|>\s*)?(\w+)\s*(?=[;({=,)\[]))").arg(type),
               [&](const QRegularExpressionMatch &m) { names << m.captured(1); });
        f.each(QStringLiteral(R"(\b(\w+)\s*=\s*std::make_(?:shared|unique)<\s*%1\s*>)").arg(type),
               [&](const QRegularExpressionMatch &m) { names << m.captured(1); });
        names.removeDuplicates();
        for (const QString &name : std::as_const(names)) {
            f.each(QStringLiteral(R"(\b%1\s*(?:\.|->)\s*(%2)\s*\()").arg(QRegularExpression::escape(name), members),
                   [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("%1.%2").arg(type, m.captured(1))); });
            if (type != QLatin1String("QDir") && type != QLatin1String("QTemporaryDir"))
                f.each(QStringLiteral(R"(\b%1\s*(?:\.|->)\s*open\s*\(\s*(?:QIODevice|QIODeviceBase|QFile|QFileDevice)::[^;]*?\b)"
                                      R"((WriteOnly|ReadWrite|Append|Truncate|NewOnly)\b)")
                           .arg(QRegularExpression::escape(name)),
                       [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("%1.open").arg(type)); });
        }
    }

    std::sort(f.found.begin(), f.found.end());
    QList<Change> out;
    QSet<std::pair<int, QString>> seen;
    for (const auto &[at, call] : std::as_const(f.found)) {
        const int line = int(QStringView(code).left(at).count(QLatin1Char('\n'))) + 1;
        if (!seen.contains({line, call})) {
            seen.insert({line, call});
            out.append(Change{QString(), line, call});
        }
    }
    return out;
}

QList<DiskChanges::Change> DiskChanges::changesBelow(const QString &root, const QString &folder, const QList<Allowed> &allowed)
{
    QList<Change> out;
    for (const QString &file : SourceFiles::below(root, folder)) {
        const std::optional<QByteArray> text = SourceFiles::read(QDir(root).filePath(file));
        if (!text) {
            out.append(Change{file, 0, QStringLiteral("unreadable")});
            continue;
        }
        for (Change change : changesIn(*text)) {
            const bool allowedHere = std::any_of(allowed.cbegin(), allowed.cend(), [&](const Allowed &a) {
                return a.file == file && (a.calls.isEmpty() || a.calls.contains(change.call));
            });
            if (allowedHere)
                continue;
            change.file = file;
            out.append(change);
        }
    }
    return out;
}

QString DiskChanges::describe(const Change &change)
{
    return QStringLiteral("%1:%2: %3").arg(change.file).arg(change.line).arg(change.call);
}
