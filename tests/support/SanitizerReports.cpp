#include "SanitizerReports.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

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

// Whether a leak lies in a named library and in nothing of Pollix's; a frame without a module
// cannot be told to be none of Pollix's.
bool leftOut(const Leak &leak, const QStringList &libraries, const QString &ownFolder)
{
    bool inLibrary = false;
    for (const QString &module : leak.modules) {
        if (module.isEmpty() || module.startsWith(ownFolder))
            return false;
        const QString file = QFileInfo(module).fileName();
        inLibrary = inLibrary || std::any_of(libraries.cbegin(), libraries.cend(),
                                             [&](const QString &library) { return file.contains(library); });
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
