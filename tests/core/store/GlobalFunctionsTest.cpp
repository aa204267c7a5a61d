#include "core/store/GlobalFunctions.h"
#include "platform/AtomicFile.h"
#include "platform/Log.h"
#include "support/PollixTest.h"

#include <QDir>

#include <functional>

using GlobalFunctionsTest = PollixTest;

TEST_F(GlobalFunctionsTest, ToXmlStringCleansOnlyControlCharactersUpTo0x19)
{
    EXPECT_EQ(GlobalFunctions::toXmlString("a\tb"), "a b");
    EXPECT_EQ(GlobalFunctions::toXmlString("a\r\nb"), "a  b");
    const QString passes = QString(QChar(0x1A)) + QChar(0x1F) + "é";
    EXPECT_EQ(GlobalFunctions::toXmlString(passes), passes);
}

TEST_F(GlobalFunctionsTest, FirstChildGetSetDelete)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Class");
    GlobalFunctions::setValue("A", "Name", root);
    EXPECT_EQ(std::distance(root.children("Name").begin(), root.children("Name").end()), 1);
    root.append_child("Name").text().set("second");
    GlobalFunctions::setValue("B", "Name", root);
    EXPECT_EQ(GlobalFunctions::getValueByTagName("Name", root), "B");
    EXPECT_STREQ(root.last_child().text().get(), "second");
    EXPECT_EQ(GlobalFunctions::getValueByTagName("Missing", root), "");
    GlobalFunctions::deleteByTagName("Name", root);
    EXPECT_EQ(GlobalFunctions::getValueByTagName("Name", root), "second");
    GlobalFunctions::deleteByTagName("Missing", root);
    GlobalFunctions::setValue("x & <y>", "Text", root);
    EXPECT_EQ(GlobalFunctions::getValueByTagName("Text", root), "x & <y>");
}

TEST_F(GlobalFunctionsTest, XPathValueAndFailure)
{
    pugi::xml_document doc;
    doc.load_string("<Session><ID>1</ID><Questions><Question><No>2</No></Question></Questions></Session>");
    EXPECT_EQ(GlobalFunctions::getValueByXPath("/Session/Questions/Question/No", doc), "2");
    EXPECT_EQ(GlobalFunctions::getValueByXPath("/Session/Nothing", doc), "");
    EXPECT_EQ(GlobalFunctions::getValueByXPath("/Session/[", doc), "");
}

TEST_F(GlobalFunctionsTest, FileListIsRecursiveCaseInsensitiveAndSkipsFolders)
{
    writeFile("list/A.XML", "x");
    writeFile("list/sub/B.xml", "x");
    writeFile("list/C.txt", "x");
    QDir().mkpath(home() + "list/folder.xml");
    auto list = GlobalFunctions::fileListAtPath(home() + "list", "xml");
    ASSERT_TRUE(list.has_value());
    QStringList sorted = *list;
    sorted.sort();
    EXPECT_EQ(sorted, (QStringList{"A", "sub/B"}));
    EXPECT_FALSE(GlobalFunctions::fileListAtPath(home() + "missing", "xml").has_value());
    EXPECT_FALSE(GlobalFunctions::directoryExistsAtPath(QString()));
    EXPECT_TRUE(GlobalFunctions::fileExistsAtPath(home() + "list/C.txt"));
}

namespace {
QStringList s_lines;
void captureLines(QtMsgType, const QMessageLogContext &, const QString &line)
{
    s_lines << line;
}
} // namespace

// A store's file or folder missing is what a first start finds before the store makes it: no
// line of the log (a newcomer reads each as a fault). A question without a path, and something
// else in the place of a folder to list, are faults, and are logged naming what was looked for.
TEST_F(GlobalFunctionsTest, OnlyFaultsOfAPathLookedForAreLogged)
{
    writeFile("Quiz", "a file where a folder belongs");
    const struct
    {
        const char *what;
        std::function<bool()> look;
        QStringList logged;
    } cases[] = {
        {"a missing file", [this] { return GlobalFunctions::fileExistsAtPath(home() + "config.xml"); }, {}},
        {"a missing folder", [this] { return GlobalFunctions::directoryExistsAtPath(home() + "Data"); }, {}},
        {"a missing folder listed", [this] { return GlobalFunctions::fileListAtPath(home() + "Classes", "xml").has_value(); }, {}},
        {"a file without a path", [] { return GlobalFunctions::fileExistsAtPath(QString()); }, {"File looked for without a path"}},
        {"a file listed as a folder", [this] { return GlobalFunctions::fileListAtPath(home() + "Quiz", "xml").has_value(); },
         {"Folder " + home() + "Quiz cannot be listed: it is a file"}},
    };
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, true);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        s_lines.clear();
        const auto previous = qInstallMessageHandler(captureLines);
        const bool found = c.look();
        qInstallMessageHandler(previous);
        EXPECT_FALSE(found);
        EXPECT_EQ(s_lines.join(QLatin1Char('\n')).toStdString(), c.logged.join(QLatin1Char('\n')).toStdString());
    }
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, false);
}

TEST_F(GlobalFunctionsTest, StoreWriteIsAtomic)
{
    const QString path = writeFile("config.xml", "old");
    EXPECT_TRUE(GlobalFunctions::createQXmlFileAtPath(path, QByteArray()));
    EXPECT_EQ(readFile(path), "old");
    AtomicFile::setFailureHook([](const QString &) { return true; });
    EXPECT_FALSE(GlobalFunctions::createQXmlFileAtPath(path, "<new/>"));
    EXPECT_EQ(readFile(path), "old");
    AtomicFile::setFailureHook({});
    EXPECT_TRUE(GlobalFunctions::createQXmlFileAtPath(path, "<new/>"));
    EXPECT_EQ(readFile(path), "<new/>");
}

TEST_F(GlobalFunctionsTest, SessionIdProbeReadsOnlyTheFirst255Bytes)
{
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"utf-8\"?><Session xmlns:xsi=\"http://www.w3.org/2001/"
                            "XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">";
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(writeFile("a.xml", head + "<ID>3d7c210-b4e-4a5-8f0-6c21d9e331</ID><Name>x</Name></Session>")),
              "3d7c210-b4e-4a5-8f0-6c21d9e331");
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(writeFile("b.xml", head + "<id>abc</ID></Session>")), "abc");
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(home() + "missing.xml"), "");
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(writeFile("c.xml", head + "<ID/></Session>")), "");
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(writeFile("d.xml", head + "<ID></ID></Session>")), "");
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(writeFile("e.xml", head + "<ID >x</ID></Session>")), "");
    // The closing tag ends one byte past the window.
    QByteArray padded = "<Session>" + QByteArray(255 - 9 - 4 - 5 - 4 + 1, ' ') + "<ID>abcd</ID>";
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(writeFile("f.xml", padded)), "");
    padded = "<Session>" + QByteArray(255 - 9 - 4 - 5 - 4, ' ') + "<ID>abcd</ID>";
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(writeFile("g.xml", padded)), "abcd");
}

TEST_F(GlobalFunctionsTest, PasswordScramblingIsStableAndReversible)
{
    const QString once = GlobalFunctions::encryptForPasswordString("secret");
    EXPECT_NE(once, "secret");
    EXPECT_EQ(once, GlobalFunctions::encryptForPasswordString("secret"));
    EXPECT_EQ(GlobalFunctions::encryptForPasswordString(once), "secret");
    for (QChar c : once)
        EXPECT_TRUE(c.unicode() > 0 && c.unicode() < 128);
}
