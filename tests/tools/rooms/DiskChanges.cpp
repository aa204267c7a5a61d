#include "DiskChanges.h"
#include "SourceFiles.h"

#include <QDir>
#include <QFileInfo>
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

// The classes whose open() opens a file by its name.
const QStringList &openingClasses()
{
    static const QStringList classes{QStringLiteral("QFile"), QStringLiteral("QSaveFile"), QStringLiteral("QTemporaryFile")};
    return classes;
}

// What a picture or a PDF may be written into instead of a file it names.
const QStringList &deviceClasses()
{
    static const QStringList classes{QStringLiteral("QBuffer"), QStringLiteral("QIODevice"), QStringLiteral("QFile"),
                                     QStringLiteral("QSaveFile"), QStringLiteral("QTemporaryFile")};
    return classes;
}

// The C library's calls that change the disk by a path and share their name with functions a
// class may have of its own (which are called bare inside it), with the number of arguments the
// C library's takes.
const QList<std::pair<QString, int>> &bareLibraryCalls()
{
    static const QList<std::pair<QString, int>> calls{{QStringLiteral("remove"), 1},   {QStringLiteral("rename"), 2},
                                                      {QStringLiteral("mkdir"), 2},    {QStringLiteral("link"), 2},
                                                      {QStringLiteral("truncate"), 2}, {QStringLiteral("creat"), 2}};
    return calls;
}

// The text of the call's arguments, from the opening parenthesis or brace at open to its match.
QString argumentsAt(const QString &code, qsizetype open)
{
    const QChar opening = code[open];
    const QChar closing = opening == QLatin1Char('{') ? QLatin1Char('}') : QLatin1Char(')');
    int depth = 0;
    for (qsizetype i = open; i < code.size(); ++i) {
        if (code[i] == opening)
            ++depth;
        else if (code[i] == closing && --depth == 0)
            return code.mid(open + 1, i - open - 1);
    }
    return code.mid(open + 1);
}

// The arguments, split at the commas outside parentheses, braces and angle brackets.
QStringList argumentList(const QString &arguments)
{
    QStringList out;
    int depth = 0;
    qsizetype from = 0;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QChar c = arguments[i];
        if (c == QLatin1Char('(') || c == QLatin1Char('<') || c == QLatin1Char('{') || c == QLatin1Char('['))
            ++depth;
        else if (c == QLatin1Char(')') || c == QLatin1Char('>') || c == QLatin1Char('}') || c == QLatin1Char(']'))
            --depth;
        else if (c == QLatin1Char(',') && depth == 0) {
            out << arguments.mid(from, i - from).trimmed();
            from = i + 1;
        }
    }
    const QString last = arguments.mid(from).trimmed();
    if (!last.isEmpty() || !out.isEmpty())
        out << last;
    return out;
}

const QRegularExpression &writeFlags()
{
    static const QRegularExpression flags(QStringLiteral(R"(\bO_(WRONLY|RDWR|CREAT|TRUNC|APPEND|TMPFILE)\b)"));
    return flags;
}

const QRegularExpression &identifier()
{
    static const QRegularExpression word(QStringLiteral(R"([A-Za-z_]\w*)"));
    return word;
}

// Whether open()'s flags are spelled out in the text: O_ constants and numbers alone.
bool spelledFlags(const QString &flags)
{
    if (flags.isEmpty())
        return false;
    for (auto it = identifier().globalMatch(flags); it.hasNext();)
        if (!it.next().captured().startsWith(QLatin1String("O_")))
            return false;
    return true;
}

// Whether a file class's open() with these arguments opens a file by its name to write: a mode
// that only reads does not, nor a descriptor opened again (its first argument, before the mode);
// a mode held in a variable or made elsewhere cannot be told from the text, and counts. Without
// arguments only a temporary file opens (and makes) one.
bool opensToWrite(const QString &type, const QString &arguments)
{
    static const QSet<QString> reading{QStringLiteral("QIODevice"),   QStringLiteral("QIODeviceBase"),
                                       QStringLiteral("QFileDevice"), QStringLiteral("QFile"),
                                       QStringLiteral("OpenMode"),    QStringLiteral("OpenModeFlag"),
                                       QStringLiteral("ReadOnly"),    QStringLiteral("Text"),
                                       QStringLiteral("Unbuffered"),  QStringLiteral("ExistingOnly")};
    const QStringList list = argumentList(arguments);
    if (list.size() > 1)
        return false;
    if (list.isEmpty())
        return type == QLatin1String("QTemporaryFile");
    bool any = false;
    for (auto it = identifier().globalMatch(list.first()); it.hasNext();) {
        any = true;
        if (!reading.contains(it.next().captured()))
            return true;
    }
    return !any;
}

// Whether the name that begins at start is declared or defined there (a type, a pointer or a
// reference sign before it) rather than called.
bool declaredAt(const QString &code, qsizetype start)
{
    static const QSet<QString> beforeACall{QStringLiteral("return"), QStringLiteral("co_return"), QStringLiteral("co_yield"),
                                           QStringLiteral("co_await"), QStringLiteral("else"),     QStringLiteral("do"),
                                           QStringLiteral("throw"),    QStringLiteral("case"),     QStringLiteral("not"),
                                           QStringLiteral("and"),      QStringLiteral("or")};
    qsizetype i = start - 1;
    while (i >= 0 && code[i].isSpace())
        --i;
    if (i < 0)
        return false;
    const QChar c = code[i];
    if (c == QLatin1Char('*') || c == QLatin1Char('>') || (c == QLatin1Char('&') && (i == 0 || code[i - 1] != QLatin1Char('&'))))
        return true;
    if (!(c.isLetterOrNumber() || c == QLatin1Char('_')))
        return false;
    qsizetype from = i;
    while (from > 0 && (code[from - 1].isLetterOrNumber() || code[from - 1] == QLatin1Char('_')))
        --from;
    return !beforeACall.contains(code.mid(from, i - from + 1));
}

// The end of the brace block that opens at open (just after its closing brace).
qsizetype blockEnd(const QString &code, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < code.size(); ++i) {
        if (code[i] == QLatin1Char('{'))
            ++depth;
        else if (code[i] == QLatin1Char('}') && --depth == 0)
            return i + 1;
    }
    return code.size();
}

// A function the text defines, from the start of its definition to the end of its body, and its
// name as the definition gives it.
struct Body
{
    qsizetype begin = 0, end = 0;
    QString name;
};

// How a declaration read up to a brace goes on there.
enum class Head { Container, Function, InsideParentheses, MemberInitializer, Other };

// The name of the function a declaration head defines; empty when it defines none.
QString definedFunction(const QString &head, qsizetype *parametersEnd)
{
    static const QSet<QString> notNames{QStringLiteral("if"),       QStringLiteral("for"),      QStringLiteral("while"),
                                        QStringLiteral("switch"),   QStringLiteral("catch"),    QStringLiteral("return"),
                                        QStringLiteral("sizeof"),   QStringLiteral("decltype"), QStringLiteral("alignof"),
                                        QStringLiteral("noexcept"), QStringLiteral("alignas"),  QStringLiteral("static_assert")};
    static const QRegularExpression name(QStringLiteral(R"(([\w:~]+)\s*$)"));
    int parentheses = 0, angles = 0;
    for (qsizetype i = 0; i < head.size(); ++i) {
        const QChar c = head[i];
        if (c == QLatin1Char('<'))
            ++angles;
        else if (c == QLatin1Char('>') && !(i > 0 && head[i - 1] == QLatin1Char('-')))
            angles = std::max(0, angles - 1);
        else if (c == QLatin1Char('=') && parentheses == 0 && angles == 0)
            return QString(); // a variable with its initializer: a lambda, a table
        else if (c == QLatin1Char('(') && parentheses++ == 0 && angles == 0) {
            const QRegularExpressionMatch m = name.match(head.left(i));
            if (!m.hasMatch() || notNames.contains(m.captured(1)))
                return QString();
            int depth = 0;
            for (qsizetype k = i; k < head.size(); ++k) {
                if (head[k] == QLatin1Char('('))
                    ++depth;
                else if (head[k] == QLatin1Char(')') && --depth == 0) {
                    *parametersEnd = k + 1;
                    return m.captured(1);
                }
            }
            return QString();
        } else if (c == QLatin1Char(')'))
            --parentheses;
    }
    return QString();
}

Head headKind(const QString &head, QString *function)
{
    static const QRegularExpression container(QStringLiteral(R"(^\s*(?:template\s*<.*>\s*)?(?:class|struct|union|namespace|inline\s+namespace)\b[^(]*$|^\s*extern\s*"[^(]*$)"),
                                              QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression initializers(QStringLiteral(R"((?<!:):(?!:))"));
    if (head.count(QLatin1Char('(')) > head.count(QLatin1Char(')')))
        return Head::InsideParentheses;
    if (container.match(head).hasMatch())
        return Head::Container;
    qsizetype parametersEnd = 0;
    *function = definedFunction(head, &parametersEnd);
    if (function->isEmpty())
        return Head::Other;
    // A constructor's member initializers may hold braces of their own ("m_list{a, b}"): one that
    // follows a name is theirs, the body follows the last of them.
    if (initializers.match(head.mid(parametersEnd)).hasMatch()) {
        const QString before = head.trimmed();
        const QChar last = before.isEmpty() ? QChar() : before.back();
        if (last.isLetterOrNumber() || last == QLatin1Char('_') || last == QLatin1Char('>'))
            return Head::MemberInitializer;
    }
    return Head::Function;
}

// The bodies of the functions a code text (codeOnly) defines. What a lambda or a block inside a
// function holds is that function's; what a class, a namespace or an extern "C" block holds is
// looked into for functions; any other block outside a function (a table, a lambda given to a
// variable, an enumeration) is no function's.
QList<Body> functionBodies(const QString &code)
{
    QList<Body> out;
    qsizetype headStart = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char(';') || c == QLatin1Char('}')) {
            headStart = i + 1;
            continue;
        }
        if (c != QLatin1Char('{'))
            continue;
        QString function;
        switch (headKind(code.mid(headStart, i - headStart), &function)) {
        case Head::Container:
            headStart = i + 1;
            break;
        case Head::Function: {
            // Its signature is the function's too: the types it takes and gives.
            const qsizetype end = blockEnd(code, i);
            out.append(Body{headStart, end, function});
            i = end - 1;
            headStart = end;
            break;
        }
        case Head::InsideParentheses:
        case Head::MemberInitializer:
            // The declaration goes on after it.
            i = blockEnd(code, i) - 1;
            break;
        case Head::Other:
            i = blockEnd(code, i) - 1;
            headStart = i + 1;
            break;
        }
    }
    return out;
}

struct Finder
{
    const QString &code;
    const QString &declarations; // the header's code, for what names are
    QList<std::pair<qsizetype, QString>> found; // offset, call

    void add(qsizetype at, const QString &call) { found.append({at, call}); }

    // Each match of pattern, its call named by name from the match.
    void each(const QString &pattern, const std::function<void(const QRegularExpressionMatch &)> &use)
    {
        const QRegularExpression re(pattern);
        for (auto it = re.globalMatch(code); it.hasNext();)
            use(it.next());
    }

    // The variables, members and parameters of the class, plain, held by a pointer or made with
    // new, in the code and in its header.
    QStringList namesOf(const QString &type) const
    {
        QStringList names;
        for (const QString *text : {&code, &declarations}) {
            const auto collect = [&](const QString &pattern) {
                const QRegularExpression re(pattern);
                for (auto it = re.globalMatch(*text); it.hasNext();)
                    names << it.next().captured(1);
            };
            collect(QStringLiteral(R"(\b%1\b\s*(?:[*&]\s*|>\s*)?(\w+)\s*(?=[;({=,)\[]))").arg(type));
            collect(QStringLiteral(R"(\b(\w+)\s*=\s*std::make_(?:shared|unique)<\s*%1\s*>)").arg(type));
            collect(QStringLiteral(R"(\b(\w+)\s*=\s*new\s+%1\b)").arg(type));
        }
        names.removeDuplicates();
        return names;
    }

    // Whether the text or its header declares a function of that name (a class's own, which it
    // calls bare).
    bool declaresFunction(const QString &name) const
    {
        const QRegularExpression re(QStringLiteral(R"((?<![\w.>:~])%1\s*\()").arg(name));
        for (const QString *text : {&code, &declarations})
            for (auto it = re.globalMatch(*text); it.hasNext();)
                if (declaredAt(*text, it.next().capturedStart()))
                    return true;
        return false;
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

QList<DiskChanges::Change> DiskChanges::changesIn(const QByteArray &text, const QByteArray &declarations)
{
    const QString code = QString::fromUtf8(codeOnly(text));
    const QString header = QString::fromUtf8(codeOnly(declarations));
    Finder f{code, header, {}};
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
    // Those a class may have a function of its own of: a call by the bare name, with as many
    // arguments as the C library's takes, where the source declares none of that name.
    for (const auto &[name, arity] : bareLibraryCalls()) {
        if (f.declaresFunction(name))
            continue;
        f.each(QStringLiteral(R"((?<![\w.>:~])%1\s*\()").arg(name), [&, name = name, arity = arity](const QRegularExpressionMatch &m) {
            if (!declaredAt(code, m.capturedStart()) && argumentList(argumentsAt(code, m.capturedEnd() - 1)).size() == arity)
                f.add(m.capturedStart(), QStringLiteral("::") + name);
        });
    }
    f.each(QStringLiteral(R"((?<![\w.>:])(?:::|std::)?(mkstemp|mkstemp64|mkostemp|mkstemps|mkostemps|mkdtemp|mktemp|tmpfile|)"
                          R"(tmpfile64|tmpnam)\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("::") + m.captured(1)); });
    f.each(QStringLiteral(R"(\bstd::(rename|remove)\s*\()"), [&](const QRegularExpressionMatch &m) {
        // std::remove of three arguments is the algorithm.
        if (m.captured(1) == QLatin1String("rename") || argumentList(argumentsAt(code, m.capturedEnd() - 1)).size() < 2)
            f.add(m.capturedStart(), QStringLiteral("std::") + m.captured(1));
    });
    // Opened to be written by a path, or made through a descriptor of its own. A bare open() with
    // the flags of a write is the system's, whatever a class may call its own; the system's own
    // names count too with flags the text does not spell (held in a variable, or openat2's).
    f.each(QStringLiteral(R"((?<![\w.>:])(::)?(open|open64|openat|openat2)\s*\()"), [&](const QRegularExpressionMatch &m) {
        const QString arguments = argumentsAt(code, m.capturedEnd() - 1);
        const bool systems = m.capturedLength(1) > 0 || m.captured(2) != QLatin1String("open");
        const int flagsAt = m.captured(2) == QLatin1String("openat") ? 2 : 1;
        if (writeFlags().match(arguments).hasMatch()
            || (systems && (m.captured(2) == QLatin1String("openat2") || !spelledFlags(argumentList(arguments).value(flagsAt)))))
            f.add(m.capturedStart(), QStringLiteral("::") + m.captured(2));
    });
    f.each(QStringLiteral(R"(\b(?:std::)?(fopen|fopen64|freopen)\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("fopen")); });
    f.each(QStringLiteral(R"((?<![\w:.>])(?:std::)?(ofstream|fstream|wofstream|wfstream|basic_ofstream|basic_fstream)\b)"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("std::") + m.captured(1)); });
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
    f.each(QStringLiteral(R"(\b(QSaveFile|QTemporaryFile|QTemporaryDir|QLockFile|QSettings)\b)"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), m.captured(1)); });
    f.each(QStringLiteral(R"((?:\.|->)\s*(mkdir|mkpath|rmdir|rmpath|removeRecursively)\s*\()"),
           [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("QDir.") + m.captured(1)); });
    const QString arguments = QStringLiteral(R"((?:\((?:[^()]|\((?:[^()]|\([^()]*\))*\))*\)|\{[^{};]*\}))");
    for (auto it = changingMembers().cbegin(); it != changingMembers().cend(); ++it) {
        const QString type = it.key(), members = it.value();
        f.each(QStringLiteral(R"(\b%1\s*%2\s*\.\s*(%3)\s*\()").arg(type, arguments, members),
               [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("%1.%2").arg(type, m.captured(1))); });
        for (const QString &name : f.namesOf(type))
            f.each(QStringLiteral(R"(\b%1\s*(?:\.|->)\s*(%2)\s*\()").arg(QRegularExpression::escape(name), members),
                   [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("%1.%2").arg(type, m.captured(1))); });
    }
    // Files opened to be written, by a variable or a temporary of a file class.
    for (const QString &type : openingClasses()) {
        const auto opened = [&](const QRegularExpressionMatch &m) {
            if (opensToWrite(type, argumentsAt(code, m.capturedEnd() - 1)))
                f.add(m.capturedStart(), type + QStringLiteral(".open"));
        };
        f.each(QStringLiteral(R"(\b%1\s*%2\s*\.\s*open\s*\()").arg(type, arguments), opened);
        for (const QString &name : f.namesOf(type))
            f.each(QStringLiteral(R"(\b%1\s*(?:\.|->)\s*open\s*\()").arg(QRegularExpression::escape(name)), opened);
    }

    // Pictures and PDFs written to a file they name, rather than into a device (a buffer then
    // saved through the folder held open).
    QStringList devices;
    for (const QString &type : deviceClasses())
        devices << f.namesOf(type);
    const auto namesAFile = [&devices](const QString &arguments) {
        const QString first = argumentList(arguments).value(0);
        return !first.isEmpty() && !first.startsWith(QLatin1Char('&')) && !devices.contains(first);
    };
    f.each(QStringLiteral(R"(\b(QPdfWriter|QImageWriter)\b\s*>?\s*[*&]?\s*(?:\w+\s*)?([({]))"), [&](const QRegularExpressionMatch &m) {
        if (namesAFile(argumentsAt(code, m.capturedStart(2))))
            f.add(m.capturedStart(), m.captured(1));
    });
    for (const QString &name : f.namesOf(QStringLiteral("QImageWriter")))
        f.each(QStringLiteral(R"(\b%1\s*(?:\.|->)\s*setFileName\s*\()").arg(QRegularExpression::escape(name)),
               [&](const QRegularExpressionMatch &m) { f.add(m.capturedStart(), QStringLiteral("QImageWriter.setFileName")); });
    for (const QString &type : {QStringLiteral("QImage"), QStringLiteral("QPixmap")}) {
        const auto saved = [&](const QRegularExpressionMatch &m) {
            if (namesAFile(argumentsAt(code, m.capturedEnd() - 1)))
                f.add(m.capturedStart(), type + QStringLiteral(".save"));
        };
        f.each(QStringLiteral(R"(\b%1\s*%2\s*\.\s*save\s*\()").arg(type, arguments), saved);
        for (const QString &name : f.namesOf(type))
            f.each(QStringLiteral(R"(\b%1\s*(?:\.|->)\s*save\s*\()").arg(QRegularExpression::escape(name)), saved);
    }
    // A picture made by a call and saved at once: a capture of the screen, a conversion.
    f.each(QStringLiteral(R"(\b(?:grab|grabWindow|grabWidget|grabFramebuffer|toImage|toPixmap)\s*%1\s*\.\s*save\s*\()").arg(arguments),
           [&](const QRegularExpressionMatch &m) {
               if (namesAFile(argumentsAt(code, m.capturedEnd() - 1)))
                   f.add(m.capturedStart(), QStringLiteral("QImage.save"));
           });

    std::sort(f.found.begin(), f.found.end());
    const QList<Body> bodies = functionBodies(code);
    QList<Change> out;
    QSet<std::pair<int, QString>> seen;
    for (const auto &[at, call] : std::as_const(f.found)) {
        const int line = int(QStringView(code).left(at).count(QLatin1Char('\n'))) + 1;
        if (seen.contains({line, call}))
            continue;
        seen.insert({line, call});
        const auto body = std::find_if(bodies.cbegin(), bodies.cend(), [at = at](const Body &b) { return at >= b.begin && at < b.end; });
        out.append(Change{QString(), line, call, body == bodies.cend() ? QString() : body->name});
    }
    return out;
}

QList<DiskChanges::Change> DiskChanges::changesBelow(const QString &root, const QString &folder, const QList<Allowed> &allowed)
{
    QList<Change> out;
    for (const QString &file : SourceFiles::below(root, folder)) {
        const std::optional<QByteArray> text = SourceFiles::read(QDir(root).filePath(file));
        if (!text) {
            out.append(Change{file, 0, QStringLiteral("unreadable"), QString()});
            continue;
        }
        // The class's header says what its members are.
        QByteArray declarations;
        if (const QFileInfo info(file); info.suffix() != QLatin1String("h"))
            declarations = SourceFiles::read(QDir(root).filePath(info.path() + QLatin1Char('/') + info.completeBaseName()
                                                                 + QStringLiteral(".h")))
                               .value_or(QByteArray());
        for (Change change : changesIn(*text, declarations)) {
            const bool allowedHere = std::any_of(allowed.cbegin(), allowed.cend(), [&](const Allowed &a) {
                return a.file == file && (a.calls.isEmpty() || a.calls.contains(change.call))
                       && (a.functions.isEmpty() || a.functions.contains(change.function));
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
