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
        {"src/platform/FolderHandle.cpp", {}, "the one home of the changes made through a folder held open", {}},
        {"src/platform/OfficeConverter.h", {"QTemporaryDir"}, "the converter's work folders lie under /tmp", {""}},
        {"src/platform/OfficeConverter.cpp",
         {"QTemporaryDir", "QDir.mkdir", "QFile.open"},
         "LibreOffice reads and writes by name: the slides handed to it, its profiles and its output lie in the "
         "converter's work folders under /tmp, made and written by these two alone",
         {"newWorkFolder", "newAttempt"}},
        {"src/platform/PPTEditorMSO.cpp", {"QTemporaryDir"}, "an old .ppt is converted into a folder under /tmp",
         {"PPTEditorMSO::openPPT"}},
        {"src/platform/DesktopOpener.cpp", {"QTemporaryFile", "QTemporaryFile.open"},
         "what the desktop's opener says goes to a file under /tmp",
         {"DesktopOpener::openFile"}},
        {"src/platform/SerialPort.cpp", {"::open"}, "a serial port is opened to read and write; it is a device, no file",
         {"SerialPort::open"}},
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

QStringList calls(const QByteArray &text, const QByteArray &declarations = QByteArray())
{
    QStringList out;
    for (const DiskChanges::Change &c : DiskChanges::changesIn(text, declarations))
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
        QByteArray header = QByteArray(); // the declarations of the code's class
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
        // Streams, bare calls of the C library, temporary files of their own, settings.
        {"std::ofstream out(path);\nstd::ifstream in(path);\nusing namespace std; fstream both(p, ios::in | ios::out);",
         {"1 std::ofstream", "3 std::fstream"}},
        {"int fd = open(p, O_WRONLY | O_CREAT | O_TRUNC, 0644);\nopen(p, O_RDONLY);\nm_port.open(path, 9600);\nopen(name, mode);",
         {"1 ::open"}},
        {"::open(p, flags);\nopenat(d, n, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);\nopenat(d, n, how, 0600);\nopenat2(d, n, &how, sizeof how);",
         {"1 ::open", "3 ::openat", "4 ::openat2"}},
        {"if (rename(a, b) != 0) {}\nremove(p);\nmkdir(p, 0700); link(a, b);\nreturn truncate(p, 0);",
         {"1 ::rename", "2 ::remove", "3 ::mkdir", "3 ::link", "4 ::truncate"}},
        {"int fd = mkstemp(name);\n::mkdtemp(t);\nFILE *f = std::tmpfile();", {"1 ::mkstemp", "2 ::mkdtemp", "3 ::tmpfile"}},
        {"QSettings settings(path, QSettings::IniFormat);\nsettings.setValue(k, v);", {"1 QSettings"}},
        // A class's own function of a C library name, told by its declaration or its arguments.
        {"bool remove(int no, QString *why);\nif (!remove(no, &why)) {}\nstd::function<void()> rename(int x);\ns.truncate(3);", {}},
        {"if (!remove(no)) {}\nrename(tab, text, 2);", {}, "class Tabs {\n    bool remove(int no, QString *why = nullptr);\n};"},
        // Files opened to write by a file made with new, a member the header declares, a mode
        // held in a variable; a descriptor given again is no file opened by its name.
        {"auto *f = new QFile(path);\nf->open(QIODevice::WriteOnly);\nconst QIODevice::OpenMode mode = QIODevice::ReadWrite;\n"
         "QFile log(p);\nlog.open(mode);\nlog.open(QIODevice::ReadOnly | QIODevice::Text);",
         {"2 QFile.open", "5 QFile.open"}},
        {"m_file.open(QIODevice::Append);\nm_out->open(fd, QIODevice::WriteOnly);\nQTemporaryFile *t = make();\nt->open();",
         {"1 QFile.open", "3 QTemporaryFile", "4 QTemporaryFile.open"},
         "class Log {\n    QFile m_file;\n    std::unique_ptr<QFile> m_out;\n};"},
        // PDFs and pictures written to a file they name; into a buffer, they are not.
        {"QPdfWriter pdf(path);\nQPdfWriter buffered(&buffer);\nauto w = std::make_unique<QPdfWriter>(fileName);\n"
         "void paint(QPdfWriter &writer);",
         {"1 QPdfWriter", "3 QPdfWriter"}},
        {"QImage image(800, 600, QImage::Format_RGB32);\nimage.save(path, \"PNG\");\nimage.save(&buffer, \"PNG\", 80);\n"
         "screen->grabWindow(0).save(name);\nQPixmap(16, 16).save(p);\npainter.save();",
         {"2 QImage.save", "4 QImage.save", "5 QPixmap.save"}},
        {"QIODevice *device = sink();\nm_picture.save(device, \"PNG\");\nQImageWriter writer(path);\n"
         "QImageWriter into(&buffer, \"png\");\nQImageWriter later;\nlater.setFileName(p);",
         {"3 QImageWriter", "6 QImageWriter.setFileName"}, "class View {\n    QImage m_picture;\n};"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(calls(row.code, row.header), row.found) << row.code.toStdString();
}

TEST(DiskChanges, EachChangeIsNamedWithTheFunctionWhoseDefinitionHoldsIt)
{
    const QByteArray code = "namespace {\n"
                            "std::unique_ptr<QTemporaryDir> newWork()\n"
                            "{\n"
                            "    return std::make_unique<QTemporaryDir>();\n"
                            "}\n"
                            "} // namespace\n"
                            "QTemporaryDir g_dir;\n"
                            "void Converter::start(const QString &p) const\n"
                            "{\n"
                            "    auto later = [p] { if (p.isEmpty()) { QFile::remove(p); } };\n"
                            "}\n"
                            "Converter::Converter() : m_list{1, 2}, m_dir(QDir::tempPath())\n"
                            "{\n"
                            "    QDir().mkpath(m_dir);\n"
                            "}\n"
                            "class Inline : public QObject {\n"
                            "public:\n"
                            "    void clear() { ::rmdir(\"p\"); }\n"
                            "};\n"
                            "const auto table = [] { ::unlink(\"p\"); };\n"
                            "void withDefault(QList<int> a = {}) { ::unlink(\"p\"); }\n"
                            "extern \"C\" int clone(int x) { return ::unlink(\"p\"); }\n";
    QStringList found;
    for (const DiskChanges::Change &c : DiskChanges::changesIn(code))
        found << QStringLiteral("%1 %2 in %3").arg(c.line).arg(c.call, c.function.isEmpty() ? QStringLiteral("-") : c.function);
    EXPECT_EQ(found, (QStringList{"2 QTemporaryDir in newWork", "4 QTemporaryDir in newWork", "7 QTemporaryDir in -",
                                  "10 QFile::remove in Converter::start", "14 QDir.mkpath in Converter::Converter",
                                  "18 ::rmdir in clear", "20 ::unlink in -", "21 ::unlink in withDefault",
                                  "22 ::unlink in clone"}));
}

TEST(DiskChanges, AnAllowedFileMayMakeOnlyTheCallsItIsAllowed)
{
    FakeSources tree;
    tree.write("src/platform/Converter.cpp", "QTemporaryDir work;\nQFile::remove(out);\n::unlink(p);\n");
    tree.write("src/platform/Home.cpp", "::renameat(a, b, c, d);\n");
    tree.write("src/core/Store.cpp", "QDir().mkpath(p);\n");
    tree.write("src/core/Notes.txt", "::unlink(p);\n");
    tree.write("tools/Other.cpp", "::unlink(p);\n");
    tree.write("src/platform/Work.cpp", "void makeWork()\n{\n    QTemporaryDir d;\n}\nvoid other() { QTemporaryDir d; }\n");
    tree.write("src/platform/Work.h", "class QTemporaryDir;\ninline void third() { QTemporaryDir d; }\n");
    const QList<DiskChanges::Allowed> allowedHere{{"src/platform/Converter.cpp", {"QTemporaryDir", "QFile::remove"}, "under /tmp", {}},
                                                   {"src/platform/Home.cpp", {}, "the home of them all", {}},
                                                   {"src/platform/Work.cpp", {"QTemporaryDir"}, "its work folder", {"makeWork"}},
                                                   {"src/platform/Work.h", {"QTemporaryDir"}, "declared only", {""}}};
    EXPECT_EQ(described(DiskChanges::changesBelow(tree.dir(), "src", allowedHere)),
              (QStringList{"src/core/Store.cpp:1: QDir.mkpath", "src/platform/Converter.cpp:3: ::unlink",
                           "src/platform/Work.cpp:5: QTemporaryDir", "src/platform/Work.h:2: QTemporaryDir"}));
}
