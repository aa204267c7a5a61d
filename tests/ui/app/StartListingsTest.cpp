// What a start costs over a data folder of many sessions: each folder of sessions is listed once
// up to the first window, and that one listing still serves what the start looks for there (the
// side files interrupted writes left, and a change cut short without its journal).
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "support/TracedRun.h"
#include "ui/app/MainwndController.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/StartRecovery.h"
#include "ui/app/TabController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
using StartListingsTest = PollixTest;

void makeFile(const QString &path, const QByteArray &bytes = {})
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The listings of folder a trace (strace -y) shows: each ends with the call that finds no more.
int listingsOf(const QStringList &trace, const QString &folder)
{
    int n = 0;
    for (const QString &line : trace)
        n += line.contains("getdents64(") && line.contains("<" + folder + ">") && line.trimmed().endsWith("= 0");
    return n;
}
} // namespace

TEST_F(StartListingsTest, AStartListsTheSessionsAndThePointsOnlyFolderOnceUpToItsFirstWindow)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        // The start as the program makes it, up to the welcome splash, its first window.
        startOn(folder);
        DialogAnswers answers;
        PollixProgram::installServices();
        bool shown = false;
        TabController::hooks().runSplash = [&](QWidget *) { shown = true; };
        TabController::hooks().runSystemChoice = [](QWidget *) {};
        app()->setIsLogin(false);
        ASSERT_TRUE(StartRecovery::run());
        {
            MainwndController controller;
            controller.initWindow();
        }
        TabController::resetHooks();
        EXPECT_TRUE(shown);
        return;
    }
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    for (int i = 0; i < 300; ++i)
        makeFile(QStringLiteral("%1/Data/Quiz/Session %2 2012-03-23T14:07:09.xml").arg(folder).arg(i),
                 "<Session><ID>" + QByteArray::number(i) + "</ID></Session>");
    makeFile(folder + "/Data/CourseGrade/Lab 2012-03-23T14:07:09.xml", "<Session><ID>lab</ID></Session>");
    // What interrupted writes left there, which the start removes from that one listing.
    makeFile(folder + "/Data/Quiz/Session 3 2012-03-23T14:07:09.xml.tmp-0123abcd");
    makeFile(folder + "/Data/CourseGrade/Lab 2012-03-23T14:07:09.xml.new-89abcdef");
    const TracedRun::Outcome run = TracedRun::runCurrentTest(folder, {"-y", "-e", "trace=getdents64"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    for (const char *below : {"/Data/Quiz", "/Data/CourseGrade"})
        EXPECT_EQ(listingsOf(run.trace, folder + below), 1) << below;
    EXPECT_FALSE(QFileInfo::exists(folder + "/Data/Quiz/Session 3 2012-03-23T14:07:09.xml.tmp-0123abcd"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/Data/CourseGrade/Lab 2012-03-23T14:07:09.xml.new-89abcdef"));
}
