#include "ReportWrapping.h"

#include "DiskChanges.h"
#include "SourceFiles.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace ReportWrapping {

namespace {
const QStringList kPageFolders{QStringLiteral("src/core/reports"), QStringLiteral("src/core/gradebook")};
const QStringList kTheRule{QStringLiteral("src/core/reports/ReportDrawing.cpp"), QStringLiteral("src/core/reports/ReportDrawing.h")};

// Each way of wrapping or fitting text other than the rule, named by its first capture.
const QList<QRegularExpression> &patterns()
{
    static const QList<QRegularExpression> list{
        QRegularExpression(QStringLiteral("\\b(getStrings|getStringsWithin)\\s*\\(")),
        QRegularExpression(QStringLiteral("\\b(TextWrapAnywhere|TextWordWrap|WrapAnywhere|WrapAtWordBoundaryOrAnywhere|"
                                          "QTextLayout|QTextOption|QTextDocument|elidedText)\\b")),
        QRegularExpression(QStringLiteral("\\b(horizontalAdvance|boundingRect|tightBoundingRect)\\s*\\(")),
        // One character measured: a text's width taken a character at a time.
        QRegularExpression(QStringLiteral("\\b(textWidthF?)\\s*\\(\\s*(?:QString\\s*\\(\\s*(?:QChar\\b|[\\w.>\\[\\]-]+"
                                          "\\s*(?:\\.\\s*at\\s*\\(|\\[))|[\\w.>\\[\\]-]+\\s*\\.\\s*mid\\s*\\([^,()]*,\\s*1\\s*\\))")),
    };
    return list;
}
} // namespace

QList<Found> foundIn(const QByteArray &text)
{
    const QString code = QString::fromUtf8(DiskChanges::codeOnly(text));
    QList<Found> found;
    for (const QRegularExpression &pattern : patterns()) {
        for (auto it = pattern.globalMatch(code); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            found.append({QString(), int(QStringView(code).left(m.capturedStart()).count(QLatin1Char('\n'))) + 1,
                          m.captured(1)});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) { return a.line < b.line; });
    return found;
}

QList<Found> foundBelow(const QString &root)
{
    QList<Found> found;
    for (const QString &folder : kPageFolders) {
        for (const QString &file : SourceFiles::below(root, folder)) {
            if (kTheRule.contains(file))
                continue;
            for (Found f : foundIn(SourceFiles::read(QDir(root).filePath(file)).value_or(QByteArray()))) {
                f.file = file;
                found.append(f);
            }
        }
    }
    return found;
}

QString describe(const Found &found)
{
    return QStringLiteral("%1:%2: %3").arg(found.file).arg(found.line).arg(found.what);
}

} // namespace ReportWrapping
