#include "DocLinks.h"
#include "FakeSources.h"
#include "SourceFiles.h"

#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

TEST(DocLinks, TheDocumentsLinksLeadToTheirFilesAndHeadingsAndTheReadmeGivesTheTwoCommands)
{
    const QString root = QStringLiteral(POLLIX_SOURCE_DIR);
    const QStringList broken = DocLinks::broken(root);
    EXPECT_TRUE(broken.isEmpty()) << "Links that lead nowhere:\n" << broken.join(QLatin1Char('\n')).toStdString();
    const std::optional<QByteArray> readme = SourceFiles::read(root + QStringLiteral("/README.md"));
    ASSERT_TRUE(readme);
    for (const char *command : {"./dev run", "./dev test"})
        EXPECT_TRUE(readme->contains(command)) << "The README does not give " << command;
}

TEST(DocLinks, LinksThatLeadToNoFileOrHeadingAreNamedWithTheirLine)
{
    FakeSources tree;
    tree.write("README.md", "# Top\n[guide](docs/guide.md), [here](#top), [web](https://example.org/x.md#y)\n"
                            "[gone](docs/gone.md) [no part](docs/guide.md#no-part) [up](../outside.md)\n"
                            "[over two\nlines](docs/guide.md#nowhere) `[code](nowhere.md)` [not a doc](dev#part)\n");
    tree.write("dev", "# part\n");
    // GitHub's anchors: lower case, punctuation dropped, spaces to '-', repeats numbered.
    tree.write("docs/guide.md", "## `POLLIX_HOME`: Déjà vu, snake_case?  ##\n## Notes\n## Notes\n"
                                "```\n## Fenced\n[fenced](nowhere.md)\n```\n"
                                "[a](../README.md#top) [b](#pollix_home-déjà-vu-snake_case) [c](#notes-1)\n"
                                "[d](#fenced) [e](/docs/guide.md#notes) [f](odd%20name.md) [g](README.md)\n");
    tree.write("docs/odd name.md", "text\n");

    EXPECT_EQ(DocLinks::documents(tree.dir()), (QStringList{"README.md", "docs/guide.md", "docs/odd name.md"}));
    EXPECT_EQ(DocLinks::broken(tree.dir()), (QStringList{
                                                 "README.md:3: docs/gone.md (no such file)",
                                                 "README.md:3: docs/guide.md#no-part (no such heading)",
                                                 "README.md:3: ../outside.md (no such file)",
                                                 "README.md:5: docs/guide.md#nowhere (no such heading)",
                                                 "README.md:5: dev#part (no such heading)",
                                                 "docs/guide.md:9: #fenced (no such heading)",
                                                 "docs/guide.md:9: README.md (no such file)",
                                             }));
}
