#include "DiskChanges.h"
#include "FakeSources.h"

#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {
// Every write, rename, link and removal goes through the folder held open (FolderHandle); these
// files alone may do otherwise, each for its reason.
const QList<DiskChanges::Allowed> &allowed()
{
    static const QList<DiskChanges::Allowed> list{
        {"src/platform/FolderHandle.cpp", {}, "the one home of the changes made through a folder held open"},
        {"src/platform/OfficeConverter.h", {"QTemporaryDir"}, "the converter's work folders lie under /tmp"},
        {"src/platform/OfficeConverter.cpp",
         {"QTemporaryDir", "QFile::remove", "QDir.mkdir", "QFile.open"},
         "the slides handed to the converter, its profile and its output lie in its work folders under /tmp, never in "
         "the application folder"},
        {"src/platform/PPTEditorMSO.cpp", {"QTemporaryDir"}, "an old .ppt is converted into a folder under /tmp"},
        {"src/platform/DesktopOpener.cpp", {"QTemporaryFile"}, "what the desktop's opener says goes to a file under /tmp"},
        {"src/platform/SerialPort.cpp", {"::open"}, "a serial port is opened to read and write; it is a device, no file"},
    };
    return list;
}

QStringList described(const QList<DiskChanges::Change> &changes)
{
    QStringList out;
    for (const DiskChanges::Change &c : changes)
        out << DiskChanges::describe(c);
    return out;
}

QStringList calls(const QByteArray &text)
{
    QStringList out;
    for (const DiskChanges::Change &c : DiskChanges::changesIn(text))
        out << QStringLiteral("%1 %2").arg(c.line).arg(c.call);
    return out;
}
} // namespace

TEST(DiskChanges, NoCodeOutsideTheFolderHeldOpenChangesAFileByPath)
{
    const QList<DiskChanges::Change> found = DiskChanges::changesBelow(QStringLiteral(POLLIX_SOURCE_DIR), "src", allowed());
    EXPECT_TRUE(found.isEmpty()) << "Change these through FolderHandle (src/platform/FolderHandle.h), adding a method "
                                    "there where none does it:\n"
                                 << described(found).join(QLatin1Char('\n')).toStdString();
}

TEST(DiskChanges, EveryWayOfChangingAFileByPathIsFoundAndNothingElse)
{
    const struct
    {
        QByteArray code;
        QStringList found;
    } rows[] = {
        // System calls, global or bare, by path or by a descriptor of their own.
        {"::rename(a, b);\n::unlinkat(fd, n, 0);\nrenameat2(d, a, d, b, 0);", {"1 ::rename", "2 ::unlinkat", "3 ::renameat2"}},
        {"if (::mkdir(p, 0777)) ::rmdir(p);\nsymlink(t, p); ::link(a, b);", {"1 ::mkdir", "1 ::rmdir", "2 ::symlink", "2 ::link"}},
        {"std::remove(path);\nstd::rename(a, b);\nv.erase(std::remove(v.begin(), v.end(), x), v.end());", {"1 std::remove", "2 std::rename"}},
        {"int fd = ::open(p, O_RDWR | O_CREAT, 0644);\n::open(p, O_RDONLY);\nopenat(d, n,\n  O_WRONLY);", {"1 ::open", "3 ::openat"}},
        {"FILE *f = fopen(p, \"w\");\nzipOpen64(p, 0);\nzipOpen2(\"x\", 0, nullptr, &io);", {"1 fopen", "2 zipOpen"}},
        {"std::filesystem::remove_all(p);\nfs::create_directories(p);", {"1 std::filesystem::remove_all", "2 std::filesystem::create_directories"}},
        // Qt's static calls, temporaries and the classes that make files of their own.
        {"QFile::remove(p);\nQFile::copy(a, b);\nQFile::setPermissions(p, {});", {"1 QFile::remove", "2 QFile::copy", "3 QFile::setPermissions"}},
        {"QDir().mkpath(p);\nQDir(QFileInfo(p).path()).removeRecursively();\nQFile(p).remove();",
         {"1 QDir.mkpath", "2 QDir.removeRecursively", "3 QFile.remove"}},
        {"auto t = std::make_shared<QTemporaryFile>(p);\nQSaveFile s(p);", {"1 QTemporaryFile", "2 QSaveFile"}},
        // Members of variables, parameters and pointers of those classes.
        {"QFile file(p);\nif (!file.remove()) {}\nvoid f(QDir &dir) { dir.rename(a, b); }", {"2 QFile.remove", "3 QDir.rename"}},
        {"QFile *out = nullptr;\nout->open(QIODevice::ReadOnly);\nout->open(QIODevice::WriteOnly | QIODevice::Truncate);",
         {"3 QFile.open"}},
        {"QFile in;\nin.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle);", {}},
        {"m_dir->mkpath(x);", {"1 QDir.mkpath"}},
        // Not changes of the disk: other classes' members of those names, comments, literals,
        // includes, calls through a folder held open.
        {"list.remove(x);\nname.remove(0, 3);\nFolderMark::remove(folder, kind);\nAtomicFileSet::remove(p);\nfolder.removeFile(n);", {}},
        {"// QFile::remove(p);\n/* ::rename(a, b);\n ::unlink(p); */\nlog(\"QDir().mkpath(p)\");\nR\"(::unlink(p))\";", {}},
        {"#include <QTemporaryFile>\nconst int n = 1'000'000; ::rmdir(p);", {"2 ::rmdir"}},
        {"QFileInfo info(p);\ninfo.dir().exists();\nQDir::cleanPath(p);\nQFile f(p); f.open(QIODevice::ReadOnly);", {}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(calls(row.code), row.found) << row.code.toStdString();
}

TEST(DiskChanges, AnAllowedFileMayMakeOnlyTheCallsItIsAllowed)
{
    FakeSources tree;
    tree.write("src/platform/Converter.cpp", "QTemporaryDir work;\nQFile::remove(out);\n::unlink(p);\n");
    tree.write("src/platform/Home.cpp", "::renameat(a, b, c, d);\n");
    tree.write("src/core/Store.cpp", "QDir().mkpath(p);\n");
    tree.write("src/core/Notes.txt", "::unlink(p);\n");
    tree.write("tools/Other.cpp", "::unlink(p);\n");
    const QList<DiskChanges::Allowed> allowedHere{{"src/platform/Converter.cpp", {"QTemporaryDir", "QFile::remove"}, "under /tmp"},
                                                   {"src/platform/Home.cpp", {}, "the home of them all"}};
    EXPECT_EQ(described(DiskChanges::changesBelow(tree.dir(), "src", allowedHere)),
              (QStringList{"src/core/Store.cpp:1: QDir.mkpath", "src/platform/Converter.cpp:3: ::unlink"}));
}
