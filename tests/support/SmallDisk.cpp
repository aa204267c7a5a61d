#include "SmallDisk.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

extern char **environ;

namespace {
constexpr const char *kFolderVariable = "POLLIX_SMALL_DISK";
constexpr int kUnavailable = 77;

// Only async-signal-safe calls between fork and exec: the parent may have other threads.
bool writeProcFile(const char *path, const char *text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const ssize_t n = ::write(fd, text, std::strlen(text));
    ::close(fd);
    return n == ssize_t(std::strlen(text));
}

bool enterOwnMountNamespace(const char *uidMap, const char *gidMap, bool userNamespaceOnly)
{
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) {
        writeProcFile("/proc/self/setgroups", "deny");
        return writeProcFile("/proc/self/uid_map", uidMap) && writeProcFile("/proc/self/gid_map", gidMap);
    }
    return !userNamespaceOnly && ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0;
}
} // namespace

namespace SmallDisk {

QString folder()
{
    return qEnvironmentVariable(kFolderVariable);
}

Outcome runCurrentTestInside(const Options &wanted)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test)
        return Outcome::Unavailable;
    QTemporaryDir mountPoint, reportFolder;
    if (!mountPoint.isValid() || !reportFolder.isValid())
        return Outcome::Unavailable;
    // The child's own report tells that the test really ran there (a filter that matches nothing
    // would pass quietly).
    const QString report = reportFolder.filePath(QStringLiteral("report.json"));

    // Everything the child needs is made before the fork.
    const std::string where = QDir(mountPoint.path()).absolutePath().toStdString();
    std::string options = "size=" + std::to_string(wanted.kilobytes) + "k,mode=0777";
    if (wanted.inodes > 0)
        options += ",nr_inodes=" + std::to_string(wanted.inodes);
    // As uid 0 inside, the test keeps every capability there; as 1000 it loses them at the exec.
    const std::string inside = wanted.plainUser ? "1000 " : "0 ";
    const std::string uidMap = inside + std::to_string(::geteuid()) + " 1";
    const std::string gidMap = inside + std::to_string(::getegid()) + " 1";
    const std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    const std::string self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe")).toStdString();
    const std::string variable = std::string(kFolderVariable) + "=" + where;
    std::vector<std::string> envText;
    for (char **e = environ; *e; ++e)
        if (std::strncmp(*e, kFolderVariable, std::strlen(kFolderVariable)) != 0)
            envText.emplace_back(*e);
    envText.push_back(variable);
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
        if (!enterOwnMountNamespace(uidMap.c_str(), gidMap.c_str(), wanted.plainUser))
            ::_exit(kUnavailable);
        if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(kUnavailable);
        if (::mount("tmpfs", where.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
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
    QFile reportFile(report);
    if (WEXITSTATUS(status) != 0 || !reportFile.open(QIODevice::ReadOnly))
        return Outcome::Failed;
    const QJsonObject summary = QJsonDocument::fromJson(reportFile.readAll()).object();
    const bool ran = summary.value(QStringLiteral("tests")).toInt() == 1;
    if (!ran)
        ADD_FAILURE() << "the test did not run inside its small filesystem";
    return ran && summary.value(QStringLiteral("failures")).toInt() == 0 ? Outcome::Passed : Outcome::Failed;
}

bool fill()
{
    QFile filler(QDir(folder()).filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    // A tmpfs counts whole pages; what is left may still take a partial page.
    while (filler.write("x", 1) == 1) {
    }
    return true;
}

bool makeReadOnly()
{
    const std::string where = folder().toStdString();
    return !where.empty() && ::mount(nullptr, where.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

} // namespace SmallDisk
