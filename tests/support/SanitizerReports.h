#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The sanitizers' reports in a program's output, judged for Pollix's own code. A leak report is
// left out only when its allocation lies wholly in libraries that the leak suppressions name
// (tools/sanitizers/leak-suppressions.txt): every frame of its stack lies in one of them, but for
// the allocator and the C and C++ runtime that any allocation passes through. Every other report
// (a leak with a frame of Pollix's or of any other library, an AddressSanitizer or
// ThreadSanitizer error, undefined behaviour) counts. Frames are told apart by the module each
// names, which the stack format below adds.
namespace SanitizerReports {

struct Judgement
{
    QString counted; // the first report that counts, as printed; empty when none does
    int leftOut = 0; // leak reports left out
};

// output: what the program wrote to its standard error; suppressions: the suppressions file's
// text; ownFolder: where Pollix's programs are built (a frame there is Pollix's).
Judgement judge(const QString &output, const QString &suppressions, const QString &ownFolder);

// The ASAN_OPTIONS entry whose stack frames end in their module, "{/path/of/module}".
QByteArray stackFormatOption();

} // namespace SanitizerReports
