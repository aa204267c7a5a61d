#include "StoreTestBase.h"

#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "core/store/XMLControl.h"

#include <functional>

// A failed write says why, whichever store made it: the reason the writer gave reaches the
// caller (and from there the teacher's alert or the log).
class FailureReasonTest : public StoreTestBase
{
protected:
    struct Write
    {
        const char *what;
        std::function<bool(QString *)> call;
    };

    static void expectEachFailsWithTheWritersReason(const QList<Write> &writes)
    {
        for (const Write &w : writes) {
            QString why;
            EXPECT_FALSE(w.call(&why)) << w.what;
            EXPECT_EQ(why, "write interrupted") << w.what;
        }
    }

    static StudentEntity pupil(const QString &id)
    {
        StudentEntity s;
        s.setId(id);
        s.setFirstName(id);
        return s;
    }
};

TEST_F(FailureReasonTest, RosterStores)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    ASSERT_EQ(classes->addClassWithName("Math"), 1);
    ASSERT_TRUE(classes->addStudentWithData(pupil("S1"), 1));
    auto *subjects = TovSubjectXmlDatabase::sharedSubjectUI();
    SubjectEntity art;
    art.setName("Art");
    ASSERT_TRUE(subjects->addSubjectWithData(art));
    auto *teachers = TovTeacherXmlDatabase::sharedUI();
    TeacherEntity ann;
    ann.setFirstName("Ann");
    ASSERT_TRUE(teachers->addTeacherWithData(ann));
    auto *roster = TovStudentRoster::sharedUI();
    ASSERT_TRUE(roster->addStudentWithData(pupil("S1")));

    failWritesTo(home());
    SubjectEntity music;
    music.setName("Music");
    TeacherEntity bo;
    bo.setFirstName("Bo");
    expectEachFailsWithTheWritersReason({
        {"new class", [&](QString *e) { return classes->addClassWithName("Art", e) > 0; }},
        {"class name", [&](QString *e) { return classes->updateClassName("Math", "Maths", e); }},
        {"splits", [&](QString *e) { return classes->updateClassWithSplits(2, 1, e); }},
        {"student in class", [&](QString *e) { return classes->addStudentWithData(pupil("S2"), 1, e); }},
        {"student update", [&](QString *e) { return classes->updateStudentByID("S1", pupil("S1"), 1, e); }},
        {"group", [&](QString *e) { return classes->updateStudentGroupNo(2, 1, 1, e); }},
        {"student delete", [&](QString *e) { return classes->deleteStudentWithID("S1", 1, e); }},
        {"student batch", [&](QString *e) { return classes->addSomeStudents({pupil("S3")}, 1, e); }},
        {"subject add", [&](QString *e) { return subjects->addSubjectWithData(music, e); }},
        {"subject rename", [&](QString *e) { return subjects->updateSubjectWithNo(1, music, e); }},
        {"subject delete", [&](QString *e) { return subjects->deleteSubjectWithNo(1, e); }},
        {"teacher add", [&](QString *e) { return teachers->addTeacherWithData(bo, e); }},
        {"teacher update", [&](QString *e) { return teachers->updateTeacherWithData(1, bo, e); }},
        {"teacher delete", [&](QString *e) { return teachers->deleteTeacherWithNo(1, e); }},
        {"teacher batch", [&](QString *e) { return teachers->beginUpdateTeachers(e) && teachers->endUpdateTeachers(e); }},
        {"roster add", [&](QString *e) { return roster->addStudentWithData(pupil("S2"), e); }},
        {"roster update", [&](QString *e) { return roster->updateStudentByID("S1", pupil("S1"), e); }},
        {"roster delete", [&](QString *e) { return roster->deleteStudentWithID("S1", e); }},
        {"roster batch", [&](QString *e) { return roster->addSomeStudentsToRoster({pupil("S4")}, e); }},
    });
}

TEST_F(FailureReasonTest, SettingsAccountsExamIdsAndSessions)
{
    auto *config = TovConfigXmlDatabase::sharedConfigUI();
    auto *users = TovUserListXmlDatabase::sharedUI();
    ASSERT_EQ(users->userList().size(), 1);
    const QString account = users->userList().first().name();
    ASSERT_TRUE(XMLControl::sharedXMLUI()->getExamID().has_value());
    QuizEntity quiz;
    quiz.setName("Quiz1");
    quiz.setActionType("1");
    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", quiz, &path));

    failWritesTo(home());
    AudioConfigEntity sound;
    sound.setName("Start Answer");
    expectEachFailsWithTheWritersReason({
        {"sound", [&](QString *e) { return config->updateMusic(sound, e); }},
        {"mouse speed", [&](QString *e) { return config->updateMouseSettionValue(12, e); }},
        {"send questions", [&](QString *e) { return config->updateSendQuestionState(0, e); }},
        {"account", [&](QString *e) { return users->updateUser(account, "x", "y", e); }},
        {"exam id", [&](QString *e) { return XMLControl::sharedXMLUI()->getExamID(e).has_value(); }},
        {"new session", [&](QString *e) { return TovQuizXmlDatabase().addQuizWithName("Quiz2", quiz, nullptr, e); }},
        {"session rewrite", [&](QString *e) { return TovQuizXmlDatabase().upDataQuizForReport(path, quiz, e); }},
        {"session copy", [&](QString *e) { return TovQuizXmlDatabase().copyFileFrom(path, path + ".copy", e); }},
    });
}

TEST_F(FailureReasonTest, ARecordThatIsNotThereIsNamedAsTheReason)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    QString why;
    EXPECT_FALSE(classes->updateClassWithSplits(2, 7, &why));
    EXPECT_EQ(why, "no class with the number 7");
    ASSERT_EQ(classes->addClassWithName("Math"), 1);
    EXPECT_FALSE(classes->deleteStudentWithID("Nobody", 1, &why));
    EXPECT_EQ(why, "no student Nobody in the class");
    EXPECT_FALSE(TovStudentRoster::sharedUI()->updateStudentByID("Nobody", pupil("X"), &why));
    EXPECT_EQ(why, "no student Nobody in the roster");
}
