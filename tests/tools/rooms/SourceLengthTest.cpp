#include "FakeSources.h"
#include "SourceLength.h"

#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {
// The most lines a source file may have; a longer one is split along its roles.
constexpr int kMaxLines = 1000;
const QStringList kSourceFolders{"src", "tools", "tests", "fuzz", "bench"};

QByteArray lines(int count, const QByteArray &end = "\n")
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "int line" + QByteArray::number(i) + ";" + end;
    return text;
}
} // namespace

TEST(SourceLength, NoSourceFileIsLongerThanAReaderCanHold)
{
    const QStringList tooLong = SourceLength::filesOver(QStringLiteral(POLLIX_SOURCE_DIR), kSourceFolders, kMaxLines);
    EXPECT_TRUE(tooLong.isEmpty()) << "Source files over " << kMaxLines << " lines:\n"
                                   << tooLong.join(QLatin1Char('\n')).toStdString();
}

TEST(SourceLength, LinesAreCountedAsAnEditorNumbersThem)
{
    EXPECT_EQ(SourceLength::lineCount(""), 0);
    EXPECT_EQ(SourceLength::lineCount("\n"), 1);
    EXPECT_EQ(SourceLength::lineCount("one"), 1);
    EXPECT_EQ(SourceLength::lineCount("one\ntwo"), 2);
    EXPECT_EQ(SourceLength::lineCount("one\r\ntwo\r\n"), 2);
    EXPECT_EQ(SourceLength::lineCount("\n\n\n"), 3);
}

TEST(SourceLength, FilesOverTheLimitInTheSourceFoldersAreNamedWithTheirLength)
{
    FakeSources tree;
    tree.write("src/core/Limit.cpp", lines(1000));
    tree.write("src/core/Over.cpp", lines(1001));
    tree.write("src/ui/deep/er/Long.h", lines(1200, "\r\n"));
    tree.write("tests/NoLastNewline.cpp", lines(1000) + "int last;");
    tree.write("fuzz/Plain.c", lines(1500));
    tree.write("bench/Header.hpp", lines(1001));
    tree.write("tools/Fine.cpp", lines(10));
    // Not sources, or not in the folders looked at.
    tree.write("src/core/Notes.txt", lines(2000));
    tree.write("src/core/Over.cpp.orig", lines(2000));
    tree.write("resources/Generated.cpp", lines(2000));

    EXPECT_EQ(SourceLength::filesOver(tree.dir(), kSourceFolders, kMaxLines),
              (QStringList{"bench/Header.hpp: 1001 lines", "fuzz/Plain.c: 1500 lines", "src/core/Over.cpp: 1001 lines",
                           "src/ui/deep/er/Long.h: 1200 lines", "tests/NoLastNewline.cpp: 1001 lines"}));
    // A folder that is not there has nothing too long.
    EXPECT_EQ(SourceLength::filesOver(tree.dir(), {"gone"}, kMaxLines), QStringList());
}
