#include "core/authoring/StandardTree.h"

#include "platform/AtomicFile.h"
#include "support/PollixTest.h"

#include <QFile>

namespace {

class StandardTreeTest : public PollixTest
{
protected:
    // The sample set: MATH (MATH.1 (MATH.1.a, MATH.1.b), MATH.2), READ (READ.1, MATH.1), SCI.
    TreeNodePtr readSample(const QString &preset = {}, TreeNodePtr *pick = nullptr)
    {
        TreeNodePtr root = TreeNode::create();
        EXPECT_EQ(StandardTree::readFromXml(testDataPath("authoring/standards-round-trip/Template.xml"), root, preset, pick),
                  StandardTree::Read::Done);
        return root;
    }
    static TreeNodePtr child(const TreeNodePtr &n, int i) { return n->childAtIndex(i); }
    static QString code(const TreeNodePtr &n) { return StandardTree::data(n).name(); }
    static int state(const TreeNodePtr &n) { return StandardTree::data(n).cellState(); }
    static QStringList codes(const QList<TreeNodePtr> &nodes)
    {
        QStringList out;
        for (const TreeNodePtr &n : nodes)
            out << code(n);
        return out;
    }
};

} // namespace

TEST_F(StandardTreeTest, TheFileIsReadIntoTheTreeAndWrittenBackTheSame)
{
    TreeNodePtr pick;
    TreeNodePtr root = readSample(QStringLiteral("MATH.1"), &pick);
    ASSERT_EQ(root->numberOfChildren(), 1);
    const TreeNodePtr top = StandardTree::top(root);
    EXPECT_EQ(code(top), "");
    EXPECT_EQ(StandardTree::data(top).title(), "State Standards");
    EXPECT_EQ(StandardTree::data(top).label(), "State Standards");
    const TreeNodePtr math1 = child(child(top, 0), 0);
    EXPECT_EQ(StandardTree::data(math1).label(), "Numbers and operations(MATH.1)");
    EXPECT_FALSE(StandardTree::data(math1).isLeaf());
    EXPECT_TRUE(StandardTree::data(child(math1, 0)).isLeaf());
    EXPECT_EQ(StandardTree::data(child(math1, 0)).title(), "Fractions & decimals");
    // Two standards have the code MATH.1; the last one read is the pick and the only one ticked.
    ASSERT_TRUE(pick);
    EXPECT_EQ(StandardTree::data(pick).title(), "Reading numbers");
    EXPECT_EQ(state(pick), 1);
    EXPECT_EQ(state(math1), 0);

    const QString out = home() + "Template.xml";
    ASSERT_TRUE(StandardTree::writeToXML(top, out));
    EXPECT_EQ(readFile(out), testData("authoring/standards-round-trip/expected.xml"));
    TreeNodePtr again = TreeNode::create();
    ASSERT_EQ(StandardTree::readFromXml(out, again), StandardTree::Read::Done);
    EXPECT_EQ(StandardTree::xmlData(StandardTree::top(again)), readFile(out));

    // Writing fails whole: no top node, a folder in the way, a failed write leaves the old file.
    QString why;
    EXPECT_FALSE(StandardTree::writeToXML(nullptr, out, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(StandardTree::writeToXML(top, home(), &why));
    StandardTree::setData(top, StandardNodeData::groupDataWithName({}, QStringLiteral("Renamed")));
    AtomicFile::setFailureHook([](const QString &) { return true; });
    EXPECT_FALSE(StandardTree::writeToXML(top, out, &why));
    AtomicFile::setFailureHook({});
    EXPECT_EQ(readFile(out), testData("authoring/standards-round-trip/expected.xml"));
}

TEST_F(StandardTreeTest, AnElementWithoutTitleStopsTheReadAndAMissingFileIsNoFailure)
{
    TreeNodePtr root = TreeNode::create();
    QString why;
    EXPECT_EQ(StandardTree::readFromXml(testDataPath("authoring/standards-no-title/Template.xml"), root, {}, nullptr, &why),
              StandardTree::Read::Failed);
    EXPECT_TRUE(why.contains("_MATH.2"));
    const TreeNodePtr math = child(StandardTree::top(root), 0);
    EXPECT_EQ(math->numberOfChildren(), 1) << "what came before stays";
    EXPECT_EQ(StandardTree::top(root)->numberOfChildren(), 1) << "nothing after it is read";

    TreeNodePtr none = TreeNode::create();
    EXPECT_EQ(StandardTree::readFromXml(home() + "absent.xml", none), StandardTree::Read::Missing);
    EXPECT_EQ(none->numberOfChildren(), 0);
    const QString junk = writeFile("junk.xml", "<__ Title=\"x\"><_A");
    EXPECT_EQ(StandardTree::readFromXml(junk, none, {}, nullptr, &why), StandardTree::Read::Failed);
    EXPECT_FALSE(why.isEmpty());
}

TEST_F(StandardTreeTest, SearchByCodeStopsWithinASiblingListAndByTitleFindsEveryMatch)
{
    const TreeNodePtr top = StandardTree::top(readSample());
    EXPECT_EQ(codes(StandardTree::searchByCode(top, QStringLiteral("MATH.1"))), QStringList({"MATH.1", "MATH.1"}))
        << "one per sibling list: under MATH and under READ";
    EXPECT_TRUE(StandardTree::searchByCode(top, QStringLiteral("math.1")).isEmpty()) << "codes are exact";
    EXPECT_EQ(codes(StandardTree::searchByCode(top, QStringLiteral("MATH.1.b"))), QStringList({"MATH.1.b"}));
    EXPECT_TRUE(StandardTree::searchByCode(top, QString()).isEmpty()) << "the top node is never tested";

    EXPECT_EQ(codes(StandardTree::searchByTitle(top, QStringLiteral("idea"))), QStringList({"READ.1"}))
        << "case and the full stop are ignored";
    EXPECT_EQ(codes(StandardTree::searchByTitle(top, QStringLiteral("numbers"))), QStringList({"MATH.1", "MATH.1"}));
    EXPECT_TRUE(StandardTree::titleMatches(QStringLiteral("Comprehension: main idea."), QStringLiteral("MAIN comprehension")));
    EXPECT_FALSE(StandardTree::titleMatches(QStringLiteral("Comprehension: main idea."), QStringLiteral("main  idea")))
        << "two blanks ask for an empty word";
    EXPECT_TRUE(StandardTree::titleMatches(QStringLiteral("a  b"), QStringLiteral("a  b")));
}

TEST_F(StandardTreeTest, TickingPropagatesAndTheImportTakesTheTickedPartOnly)
{
    const TreeNodePtr top = StandardTree::top(readSample());
    const TreeNodePtr math = child(top, 0);
    const TreeNodePtr math1 = child(math, 0);
    StandardTree::tickWithPropagation(child(math1, 1), 1);
    EXPECT_EQ(state(math1), -1);
    EXPECT_EQ(state(math), -1);
    EXPECT_EQ(state(top), -1);
    EXPECT_EQ(state(child(math1, 0)), 0);

    const TreeNodePtr picked = StandardTree::selectedCopy(top);
    ASSERT_TRUE(picked);
    ASSERT_EQ(picked->numberOfChildren(), 1);
    const TreeNodePtr pickedMath1 = child(child(picked, 0), 0);
    EXPECT_EQ(code(pickedMath1), "MATH.1");
    ASSERT_EQ(pickedMath1->numberOfChildren(), 1);
    EXPECT_EQ(code(child(pickedMath1, 0)), "MATH.1.b");
    EXPECT_EQ(state(pickedMath1), 0) << "copies are unticked";
    EXPECT_FALSE(StandardTree::data(pickedMath1).isLeaf());

    // Ticking the rest of the group makes it ticked; unticking the top clears everything.
    StandardTree::tickWithPropagation(child(math1, 0), 1);
    EXPECT_EQ(state(math1), 1);
    EXPECT_EQ(state(math), -1) << "MATH.2 is still unticked";
    StandardTree::tickWithPropagation(top, 0);
    EXPECT_EQ(state(child(math1, 0)), 0);
    EXPECT_FALSE(StandardTree::selectedCopy(top));
}

TEST_F(StandardTreeTest, CodesTitlesAndSiblings)
{
    const TreeNodePtr top = StandardTree::top(readSample());
    const TreeNodePtr math = child(top, 0);
    const TreeNodePtr read = child(top, 1);
    using Clash = StandardTree::Clash;
    EXPECT_EQ(StandardTree::siblingClash(math, nullptr, QStringLiteral("MATH.2"), QStringLiteral("New")), Clash::Code);
    EXPECT_EQ(StandardTree::siblingClash(math, nullptr, QStringLiteral("MATH.9"), QStringLiteral("Geometry")), Clash::Title);
    EXPECT_EQ(StandardTree::siblingClash(math, child(math, 1), QStringLiteral("MATH.2"), QStringLiteral("Geometry")),
              Clash::None) << "a standard does not clash with itself";
    EXPECT_EQ(StandardTree::siblingClash(read, nullptr, QStringLiteral("MATH.2"), QStringLiteral("Geometry")), Clash::None)
        << "only siblings count";
    EXPECT_EQ(StandardTree::cleanTitle(QStringLiteral("  Two\nlines \n")), "Twolines");
    EXPECT_TRUE(StandardTree::isCodeCharacter(QLatin1Char('.')));
    EXPECT_FALSE(StandardTree::isCodeCharacter(QLatin1Char('-')));
    EXPECT_FALSE(StandardTree::isCodeCharacter(QLatin1Char(' ')));
}
