#include "SanitizerReports.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace SanitizerReports {

namespace {

QStringList suppressedLibraries(const QString &suppressions)
{
    QStringList out;
    for (QString line : suppressions.split(QLatin1Char('\n'))) {
        line = line.section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.startsWith(QLatin1String("leak:")) && line.size() > 5)
            out << line.mid(5);
    }
    return out;
}

bool isReportStart(const QString &line)
{
    return line.contains(QLatin1String("ERROR: AddressSanitizer")) || line.contains(QLatin1String("ERROR: LeakSanitizer"))
           || line.contains(QLatin1String("ThreadSanitizer: ")) || line.contains(QLatin1String("runtime error: "))
           || line.contains(QLatin1String("ERROR: UndefinedBehaviorSanitizer"));
}

// A leak block: its head line and frames, up to the blank line after them.
struct Leak
{
    QStringList lines;
    QStringList modules; // one per frame; "" where the frame names none
};

// The runtime that every allocation passes through, whoever asks for the memory: the sanitizer's
// own allocator (its malloc and operator new head every stack, its thread start may end one), the
// C library with the dynamic loader (a thread's or the program's entry at the bottom; strdup,
// dlopen or a thread's own storage allocating on behalf of the frame above) and the C++ runtime.
// A frame there tells nothing of whose allocation it is.
bool inRuntime(const QString &file)
{
    static const char *const runtime[] = {"libasan.so", "liblsan.so", "libubsan.so", "libtsan.so", "libclang_rt.",
                                          "libc.so",    "ld-linux",   "libpthread.so", "libdl.so",  "libstdc++.so",
                                          "libgcc_s.so"};
    return std::any_of(std::cbegin(runtime), std::cend(runtime),
                       [&](const char *name) { return file.startsWith(QLatin1String(name)); });
}

// Whether a leak's allocation lies wholly in the named libraries: each frame of its stack lies in
// one of them or in the runtime, and one at least in a named library. A frame of any other
// library makes it that library's too (Qt's multimedia allocating in a callback of the sound
// library is Qt's allocation); so does a frame of Pollix's, and a frame without a module, which
// cannot be told to be none of Pollix's.
bool leftOut(const Leak &leak, const QStringList &libraries, const QString &ownFolder)
{
    bool inLibrary = false;
    for (const QString &module : leak.modules) {
        if (module.isEmpty() || module.startsWith(ownFolder))
            return false;
        const QString file = QFileInfo(module).fileName();
        if (std::any_of(libraries.cbegin(), libraries.cend(), [&](const QString &library) { return file.contains(library); }))
            inLibrary = true;
        else if (!inRuntime(file))
            return false;
    }
    return inLibrary;
}

} // namespace

Judgement judge(const QString &output, const QString &suppressions, const QString &ownFolder)
{
    static const QRegularExpression leakHead(QStringLiteral("^(Direct|Indirect) leak of "));
    static const QRegularExpression frame(QStringLiteral("^\\s*#\\d+ 0x[0-9a-fA-F]+"));
    static const QRegularExpression module(QStringLiteral("\\{([^{}]*)\\}\\s*$"));
    const QStringList libraries = suppressedLibraries(suppressions);
    const QString own = ownFolder.endsWith(QLatin1Char('/')) ? ownFolder : ownFolder + QLatin1Char('/');
    const QStringList lines = output.split(QLatin1Char('\n'));
    Judgement out;
    const auto count = [&](const QStringList &report) {
        if (out.counted.isEmpty())
            out.counted = report.join(QLatin1Char('\n'));
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!isReportStart(lines.at(i)))
            continue;
        if (!lines.at(i).contains(QLatin1String("ERROR: LeakSanitizer"))) {
            // Up to the sanitizer's summary line, or the next few lines where it gives none.
            const qsizetype start = i;
            while (i + 1 < lines.size() && i - start < 60 && !lines.at(i).startsWith(QLatin1String("SUMMARY:")))
                ++i;
            count(lines.mid(start, i - start + 1));
            continue;
        }
        // A leak report read as nothing counts whole.
        const qsizetype head = i;
        int leaks = 0;
        for (++i; i < lines.size() && !lines.at(i).startsWith(QLatin1String("SUMMARY:")); ++i) {
            if (!leakHead.match(lines.at(i)).hasMatch())
                continue;
            ++leaks;
            Leak leak{{lines.at(i)}, {}};
            while (i + 1 < lines.size() && frame.match(lines.at(i + 1)).hasMatch()) {
                leak.lines << lines.at(++i);
                leak.modules << module.match(lines.at(i)).captured(1).trimmed();
            }
            if (!leak.modules.isEmpty() && leftOut(leak, libraries, own))
                ++out.leftOut;
            else
                count(leak.lines);
        }
        if (leaks == 0)
            count(lines.mid(head, i - head + 1));
    }
    return out;
}

QByteArray stackFormatOption()
{
    return QByteArrayLiteral("stack_trace_format=\"    #%n %p %F %L {%m}\"");
}

} // namespace SanitizerReports
