#include "ChildTestRun.h"

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <vector>

extern char **environ;

namespace {
constexpr int kUnavailable = 77;
} // namespace

namespace ChildTestRun {

bool writeProcFile(const char *path, const char *text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const ssize_t n = ::write(fd, text, std::strlen(text));
    ::close(fd);
    return n == ssize_t(std::strlen(text));
}

bool enterUserNamespace(int flags, const char *uidMap, const char *gidMap)
{
    if (::unshare(CLONE_NEWUSER | flags) != 0)
        return false;
    writeProcFile("/proc/self/setgroups", "deny");
    return writeProcFile("/proc/self/uid_map", uidMap) && writeProcFile("/proc/self/gid_map", gidMap);
}

QString currentTestFilter()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    return test ? QStringLiteral("--gtest_filter=%1.%2")
                      .arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name()))
                : QString();
}

int testsInReport(const QString &path)
{
    QFile report(path);
    if (!report.open(QIODevice::ReadOnly))
        return -1;
    const QJsonObject summary = QJsonDocument::fromJson(report.readAll()).object();
    return summary.contains(QStringLiteral("tests")) ? summary.value(QStringLiteral("tests")).toInt() : -1;
}

Outcome runCurrentTest(const char *variable, const std::string &value, const std::function<bool()> &prepare,
                       Ending *ending)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test)
        return Outcome::Unavailable;
    QTemporaryDir reportFolder;
    if (!reportFolder.isValid())
        return Outcome::Unavailable;
    // Whoever the child runs as may write its report there.
    QFile::setPermissions(reportFolder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                   | QFile::WriteOther | QFile::ExeOther);
    // The child's own report tells that the test really ran there (a filter that matches nothing
    // would pass quietly).
    const QString report = reportFolder.filePath(QStringLiteral("report.json"));

    // Everything the child needs is made before the fork.
    const std::string filter = currentTestFilter().toStdString();
    const std::string self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe")).toStdString();
    std::vector<std::string> envText;
    const size_t variableLength = variable ? std::strlen(variable) : 0;
    for (char **e = environ; *e; ++e)
        if (variableLength == 0 || std::strncmp(*e, variable, variableLength) != 0 || (*e)[variableLength] != '=')
            envText.emplace_back(*e);
    if (variableLength > 0)
        envText.push_back(std::string(variable) + "=" + value);
    std::vector<char *> env;
    for (std::string &s : envText)
        env.push_back(s.data());
    env.push_back(nullptr);
    std::string arg0 = self, arg1 = filter, arg2 = "--gtest_output=json:" + report.toStdString();
    char *argv[] = {arg0.data(), arg1.data(), arg2.data(), nullptr};

    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child < 0)
        return Outcome::Unavailable;
    if (child == 0) {
        if (prepare && !prepare())
            ::_exit(kUnavailable);
        ::execve(argv[0], argv, env.data());
        ::_exit(kUnavailable);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return Outcome::Unavailable;
    }
    if (!WIFEXITED(status))
        return Outcome::Failed;
    if (WEXITSTATUS(status) == kUnavailable)
        return Outcome::Unavailable;
    const int ran = testsInReport(report);
    if (ending) {
        QFile json(report);
        ending->exitStatus = WEXITSTATUS(status);
        ending->testPassed = ran == 1 && json.open(QIODevice::ReadOnly)
                             && QJsonDocument::fromJson(json.readAll()).object().value(QStringLiteral("failures")).toInt(-1) == 0;
    }
    if (WEXITSTATUS(status) != 0 || ran < 0)
        return Outcome::Failed;
    if (ran != 1)
        ADD_FAILURE() << "the test did not run in its child process";
    return ran == 1 ? Outcome::Passed : Outcome::Failed;
}

} // namespace ChildTestRun
