#include "FakeSources.h"
#include "ReportWrapping.h"

#include <gtest/gtest.h>

// Every text a report page wraps breaks by one rule (ReportDrawing's getWordWrappedStrings): a
// page that broke, fitted or measured text its own way would cut words the rule keeps whole, and
// its row count would part from what its page cut counted.
namespace {
QStringList found(const QByteArray &code)
{
    QStringList out;
    for (const ReportWrapping::Found &f : ReportWrapping::foundIn(code))
        out << QStringLiteral("%1 %2").arg(f.line).arg(f.what);
    return out;
}
} // namespace

TEST(ReportWrapping, NoReportPageWrapsOrMeasuresTextOutsideTheOneRule)
{
    QStringList described;
    for (const ReportWrapping::Found &f : ReportWrapping::foundBelow(QStringLiteral(POLLIX_SOURCE_DIR)))
        described << ReportWrapping::describe(f);
    EXPECT_TRUE(described.isEmpty()) << "Wrap with getWordWrappedStrings, shorten with getStringWithSuspensionPoint and "
                                        "measure with textWidthF (src/core/reports/ReportDrawing.h):\n"
                                     << described.join(QLatin1Char('\n')).toStdString();
}

TEST(ReportWrapping, EveryOtherWayOfBreakingOrFittingTextIsFoundAndNothingElse)
{
    const struct
    {
        QByteArray code;
        QStringList found;
    } rows[] = {
        {"lines = getStrings(title, 700, font);\nfor (auto &l : getStringsWithin(t, w, f)) {}", {"1 getStrings", "2 getStringsWithin"}},
        {"p.drawText(box, Qt::AlignLeft | Qt::TextWordWrap, t);\nopt.setWrapMode(QTextOption::WrapAnywhere);",
         {"1 TextWordWrap", "2 QTextOption", "2 WrapAnywhere"}},
        {"QTextLayout layout(text, font);\nconst QString s = fm.elidedText(t, Qt::ElideRight, 100);", {"1 QTextLayout", "2 elidedText"}},
        {"const double w = QFontMetricsF(font).horizontalAdvance(text);\nr = fm.boundingRect(text);",
         {"1 horizontalAdvance", "2 boundingRect"}},
        // A character at a time: the loop of a wrap by characters.
        {"running += textWidthF(text.mid(i, 1), font);\nw = textWidth(QString(text.at(k)), font);\n"
         "x += textWidthF(QString(QChar(c)), font);\ny = textWidthF(QString(chars[k]), font);",
         {"1 textWidthF", "2 textWidth", "3 textWidthF", "4 textWidthF"}},
        // The rule's own calls, whole texts measured, comments, literals and the font's height.
        {"lines = getWordWrappedStrings(t, 700, f, 3);\nw = textWidthF(letterLabel(line), font);\nw = textWidth(text.mid(2), f);\n"
         "w = textWidthF(shares.at(i), font);",
         {}},
        {"// getStrings(t, 1, f)\nlog(\"Qt::TextWordWrap horizontalAdvance(\");\nconst double h = QFontMetricsF(f).height();", {}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(found(row.code), row.found) << row.code.toStdString();
}

TEST(ReportWrapping, OnlyThePageFoldersAreLookedAtAndTheRuleItselfIsLeftOut)
{
    FakeSources tree;
    tree.write("src/core/reports/ReportDrawing.cpp", "return getStrings(t, w, f);\n");
    tree.write("src/core/reports/Page.cpp", "\nlines = getStringsWithin(t, w, f);\n");
    tree.write("src/core/gradebook/Head.h", "inline double w(const QFontMetricsF &m) { return m.horizontalAdvance(\"x\"); }\n");
    tree.write("src/ui/reports/Frame.cpp", "label->setMinimumWidth(fm.horizontalAdvance(t));\n");
    QStringList described;
    for (const ReportWrapping::Found &f : ReportWrapping::foundBelow(tree.dir()))
        described << ReportWrapping::describe(f);
    EXPECT_EQ(described, (QStringList{"src/core/reports/Page.cpp:2: getStringsWithin", "src/core/gradebook/Head.h:1: horizontalAdvance"}));
}
