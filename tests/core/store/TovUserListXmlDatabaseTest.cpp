#include "core/store/GlobalFunctions.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/Singleton.h"
#include "support/PollixTest.h"

#include <QFile>

namespace {

UserEntity account(const QString &name, const QString &clearPassword)
{
    UserEntity u;
    u.setName(name);
    u.setPassword(GlobalFunctions::encryptForPasswordString(clearPassword));
    return u;
}

// The built-in account's scrambled password is "wopa"; scrambling is its own inverse.
QString builtInPassword()
{
    return GlobalFunctions::encryptForPasswordString(QStringLiteral("wopa"));
}

} // namespace

class UserListTest : public PollixTest
{
protected:
    QString listPath() const { return app()->strDataFilePath() + "UserList.xml"; }
    void restart() { SingletonRegistry::resetAll(); }
};

TEST_F(UserListTest, FirstStartWritesTheBuiltInAccountExactly)
{
    TovUserListXmlDatabase *db = TovUserListXmlDatabase::sharedUI();
    EXPECT_EQ(readFile(listPath()), testData("app/user-list-first-start/expected.xml"));
    ASSERT_EQ(db->userList().size(), 1);
    EXPECT_EQ(db->userList().first().firstName(), "Tovani");
}

TEST_F(UserListTest, NameIgnoresCasePasswordDoesNot)
{
    TovUserListXmlDatabase *db = TovUserListXmlDatabase::sharedUI();
    const QString pw = builtInPassword();
    EXPECT_TRUE(db->isValidUser(account("TOVANI", pw)));
    EXPECT_TRUE(db->isValidUser(account("tovani", pw)));
    EXPECT_FALSE(db->isValidUser(account("tovani", pw.toUpper() == pw ? pw.toLower() : pw.toUpper())));
    EXPECT_FALSE(db->isValidUser(account("tovan", pw)));
    // An empty password matches only an empty stored one.
    EXPECT_FALSE(db->isValidUser(account("tovani", "")));
}

TEST_F(UserListTest, ChangeHoldsAfterRestartAndOldNameStopsWorking)
{
    ASSERT_TRUE(TovUserListXmlDatabase::sharedUI()->updateUser("TOVANI", "mrsmith", GlobalFunctions::encryptForPasswordString("secret")));
    restart();
    TovUserListXmlDatabase *db = TovUserListXmlDatabase::sharedUI();
    EXPECT_TRUE(db->isValidUser(account("MrSmith", "secret")));
    EXPECT_FALSE(db->isValidUser(account("tovani", "secret")));
    EXPECT_FALSE(db->isValidUser(account("tovani", builtInPassword())));
    EXPECT_TRUE(readFile(listPath()).contains("<FirstName>Tovani</FirstName>"));
}

TEST_F(UserListTest, FailedWriteChangesNeitherFileNorMemory)
{
    TovUserListXmlDatabase *db = TovUserListXmlDatabase::sharedUI();
    const QByteArray before = readFile(listPath());
    AtomicFile::setFailureHook([](const QString &) { return true; });
    EXPECT_FALSE(db->updateUser("tovani", "other", GlobalFunctions::encryptForPasswordString("x")));
    AtomicFile::setFailureHook({});
    EXPECT_EQ(readFile(listPath()), before);
    EXPECT_TRUE(db->isValidUser(account("tovani", builtInPassword())));
    EXPECT_FALSE(db->isValidUser(account("other", "x")));
}

TEST_F(UserListTest, ChangeGoesToTheMatchingAccountOfSeveral)
{
    QByteArray two = testData("app/user-list-first-start/expected.xml");
    two.replace("</ArrayOfTeacher>", "<Teacher><UserName>second</UserName><Password>zz</Password></Teacher></ArrayOfTeacher>");
    writeFile("Data/UserList.xml", two);
    TovUserListXmlDatabase *db = TovUserListXmlDatabase::sharedUI();
    UserEntity second;
    second.setName("Second");
    second.setPassword("zz");
    EXPECT_TRUE(db->isValidUser(second));
    EXPECT_TRUE(db->isValidUser(account("tovani", builtInPassword())));

    ASSERT_TRUE(db->updateUser("SECOND", "third", "yy"));
    const QByteArray after = readFile(listPath());
    EXPECT_TRUE(after.contains("<UserName>tovani</UserName><Password>wopa</Password>"));
    EXPECT_TRUE(after.contains("<UserName>third</UserName><Password>yy</Password>"));
    EXPECT_FALSE(db->updateUser("nobody", "x", "y"));
}

TEST_F(UserListTest, FileDeletedWhileRunning)
{
    TovUserListXmlDatabase *db = TovUserListXmlDatabase::sharedUI();
    ASSERT_TRUE(db->updateUser("tovani", "bob", "b1"));
    QFile::remove(listPath());
    UserEntity bob;
    bob.setName("bob");
    bob.setPassword("b1");
    EXPECT_TRUE(db->isValidUser(bob)); // memory still serves logins
    ASSERT_TRUE(db->updateUser("bob", "carol", "c1"));
    const QByteArray after = readFile(listPath());
    EXPECT_TRUE(after.contains("<UserName>carol</UserName><Password>c1</Password><FirstName>Tovani</FirstName>"));
}

TEST_F(UserListTest, UnreadableFileLetsNobodyIn)
{
    writeFile("Data/UserList.xml", "<ArrayOfTeacher><Teacher><UserName>tovani");
    EXPECT_TRUE(TovUserListXmlDatabase::sharedUI()->userList().isEmpty());
    EXPECT_FALSE(TovUserListXmlDatabase::sharedUI()->isValidUser(account("tovani", builtInPassword())));
}
