#include "support/PollixTest.h"
#include "support/RealFilePanels.h"
#include "ui/controls/FileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

// The real panels, looked at while they show: the folder they open in and their name box.
class FileDialogsTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        savedHome = qgetenv("HOME");
        qputenv("HOME", home().toUtf8());
    }
    void TearDown() override
    {
        qputenv("HOME", savedHome);
        PollixTest::TearDown();
    }

    struct Seen
    {
        QString folder;
        QString name;
    };
    // Opens the panel, notes what it shows and cancels it.
    Seen look(bool save, const QString &dir, FileDialogs::Kind kind = FileDialogs::Kind::RosterFiles)
    {
        Seen seen;
        QTimer::singleShot(0, [&] {
            auto *panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!panel)
                return;
            seen.folder = panel->directory().absolutePath();
            if (auto *edit = panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                seen.name = edit->text();
            panel->reject();
        });
        const QString chosen = save ? FileDialogs::getSaveFileName(nullptr, "Export", kind, "CSV (*.csv)", dir)
                                    : FileDialogs::getOpenFileName(nullptr, "Load", kind, "Quiz files (*.px)", dir);
        EXPECT_TRUE(chosen.isEmpty());
        return seen;
    }

    QByteArray savedHome;
};

TEST_F(FileDialogsTest, PanelsOpenInAnExistingFolderWithAnEmptyNameBox)
{
    const QString homeFolder = QDir::cleanPath(home());
    // Without ~/Documents, a panel asked to open there opens in the home folder instead of
    // offering "Documents" as a file name.
    for (bool save : {false, true}) {
        const Seen seen = look(save, homeFolder + "/Documents");
        EXPECT_EQ(seen.folder, homeFolder) << save;
        EXPECT_EQ(seen.name, "") << save;
    }
    // A file's path is no folder either.
    writeFile("old.csv", "a,b\n");
    EXPECT_EQ(look(true, home() + "old.csv").name, "");

    QDir(home()).mkdir("Documents");
    EXPECT_EQ(look(false, QString()).folder, homeFolder + "/Documents");
    EXPECT_EQ(look(true, QString()).folder, homeFolder + "/Documents");
    // A folder that exists is taken as asked.
    QDir(home()).mkpath("Data/Quiz");
    const Seen quiz = look(false, home() + "Data/Quiz");
    EXPECT_EQ(quiz.folder, homeFolder + "/Data/Quiz");
    EXPECT_EQ(quiz.name, "");
}

TEST_F(FileDialogsTest, ANameTypedWithoutExtensionTakesTheKindsBeforeAReplaceIsAsked)
{
    QDir(home()).mkdir("Documents");
    const QString folder = QDir::cleanPath(home()) + "/Documents/";
    // Types a name into the real panel and presses Save; notes whether the panel asked about
    // replacing a file (and then declines, which leaves the panel open, and cancels it).
    const auto type = [&](const QString &name, bool *asked) {
        QTimer::singleShot(0, [name, asked] {
            auto *panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_TRUE(panel);
            panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(name);
            // The panel may be gone by the time this runs (no question was asked and the call
            // returned): then there is nothing to look at.
            QTimer::singleShot(0, [asked, panel = QPointer<QFileDialog>(panel)] {
                if (!panel)
                    return;
                QWidget *top = QApplication::activeModalWidget();
                *asked = top && top != panel;
                if (*asked) {
                    top->close();
                    panel->reject();
                }
            });
            QMetaObject::invokeMethod(panel, "accept");
        });
    };
    bool asked = false;
    type("backup", &asked);
    EXPECT_EQ(FileDialogs::getSaveFileName(nullptr, "Backup", FileDialogs::Kind::Backups, "Zip archives (*.zip);;All files (*)"),
              folder + "backup.zip");
    EXPECT_FALSE(asked);

    writeFile("Documents/report.pdf", "%PDF");
    type("report", &asked);
    EXPECT_EQ(FileDialogs::getSaveFileNameOfType(nullptr, "Save as PDF", FileDialogs::Kind::Reports, "PDF (*.pdf)"), "");
    EXPECT_TRUE(asked) << "the file the report would replace is named before it is replaced";
}

// The real panel, as the teacher leaves it: the folder gone to is where the next panel of the same
// kind opens, save or open; other kinds keep to the documents folder.
TEST_F(FileDialogsTest, TheNextPanelOfAKindOpensWhereTheLastFileOfThatKindWasChosen)
{
    QDir(home()).mkdir("Documents");
    QDir(home()).mkdir("Keys");
    const QString keys = QDir::cleanPath(home()) + "/Keys";
    QTimer::singleShot(0, [keys] {
        auto *panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(panel);
        panel->setDirectory(keys);
        panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText("monday");
        QMetaObject::invokeMethod(panel, "accept");
    });
    EXPECT_EQ(FileDialogs::getSaveFileName(nullptr, "Backup", FileDialogs::Kind::Backups, "Zip archives (*.zip)"),
              keys + "/monday.zip");
    EXPECT_EQ(look(false, QString(), FileDialogs::Kind::Backups).folder, keys);
    EXPECT_EQ(look(true, QString(), FileDialogs::Kind::Backups).folder, keys);
    EXPECT_EQ(look(true, QString(), FileDialogs::Kind::Reports).folder, QDir::cleanPath(home()) + "/Documents");
    // A panel cancelled leaves the folder as it was.
    EXPECT_EQ(FileDialogs::folderFor(FileDialogs::Kind::Backups), keys);
}

// A path typed whole into the real panel's name box, then Return, opens (or saves) the file it
// names, every time; a folder typed is entered, as in Qt's own panel, and a name typed then opens
// the file in it. The keys come as a teacher's do, one of them while the focus is away from the
// box (RealFilePanels), which once left a folder of the path selected in the panel's list: Return
// entered that folder and emptied the box instead.
TEST_F(FileDialogsTest, APathTypedWholeAndReturnOpenTheFileItNamesEveryTime)
{
    QDir(home()).mkpath("Documents");
    QDir(home()).mkpath("Keys/week");
    writeFile("Keys/week/monday.zip", "PK");
    writeFile("Documents/notes.zip", "PK");
    const QString root = QDir::cleanPath(home());
    const struct
    {
        const char *road;
        bool save;
        QStringList typed; // one text for each Return
        QString chosen;
    } cases[] = {
        {"a file in another folder", false, {root + "/Keys/week/monday.zip"}, root + "/Keys/week/monday.zip"},
        {"a file of the folder shown", false, {root + "/Documents/notes.zip"}, root + "/Documents/notes.zip"},
        {"a folder, then a name in it", false, {root + "/Keys/week", "monday.zip"}, root + "/Keys/week/monday.zip"},
        {"a new file in another folder", true, {root + "/Keys/week/tuesday"}, root + "/Keys/week/tuesday.zip"},
    };
    for (const auto &c : cases) {
        // The panel's list loads its folders while the keys come: each time anew.
        for (int time = 1; time <= 5; ++time) {
            SCOPED_TRACE(std::string(c.road) + ", time " + std::to_string(time));
            FileDialogs::forgetFolders();
            RealFilePanels panels;
            for (const QString &text : c.typed)
                panels.type(text);
            const QString chosen =
                c.save ? FileDialogs::getSaveFileName(nullptr, "Backup", FileDialogs::Kind::Backups, "Zip archives (*.zip)")
                       : FileDialogs::getOpenFileName(nullptr, "Restore", FileDialogs::Kind::Backups);
            EXPECT_EQ(chosen.toStdString(), c.chosen.toStdString());
            EXPECT_EQ(panels.cancelled(), 0);
            EXPECT_TRUE(panels.allTyped());
            EXPECT_EQ(panels.leftUp().size(), c.typed.size() - 1);
            for (const RealFilePanels::LeftUp &up : panels.leftUp()) {
                EXPECT_EQ(up.folder.toStdString(), QFileInfo(c.chosen).absolutePath().toStdString());
                EXPECT_EQ(up.name.toStdString(), "");
            }
        }
    }
}
