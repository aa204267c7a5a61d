#include "support/PollixTest.h"

#include "core/store/TovConfigXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "support/TableLook.h"
#include "ui/keypad/GetRequestQuesStus.h"
#include "ui/keypad/SendQueCtrl.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

namespace {
class SendQuestionWindows : public PollixTest
{
};

StudentInClassPtr student(const QString &id, const QString &name)
{
    auto s = std::make_shared<StudentInClass>();
    s->setStudentID(id);
    s->setStudentFullName(name);
    return s;
}
} // namespace

TEST_F(SendQuestionWindows, SettingShowsTheStoredFlagAndWritesOnlyAChange)
{
    const QString path = TovConfigXmlDatabase::sharedConfigUI()->filePath();
    EXPECT_TRUE(SendQueCtrl::getSendQueState()); // the default file sends questions
    const QByteArray before = readFile(path);
    {
        SendQueCtrl dialog;
        EXPECT_TRUE(dialog.findChild<QRadioButton *>(QStringLiteral("sendStateRow1"))->isChecked());
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnOK")), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), 1);
    }
    EXPECT_EQ(readFile(path), before);
    {
        SendQueCtrl dialog;
        dialog.rowOff->setChecked(true);
        dialog.doCancel();
        EXPECT_EQ(dialog.result(), 1);
    }
    EXPECT_TRUE(SendQueCtrl::getSendQueState());
    {
        SendQueCtrl dialog;
        dialog.rowOff->setChecked(true);
        dialog.doOK();
    }
    EXPECT_FALSE(SendQueCtrl::getSendQueState());
    EXPECT_TRUE(readFile(path).contains("<SendQuestionFlag>0</SendQuestionFlag>"));
}

TEST_F(SendQuestionWindows, RequestListKeepsOneRowPerStudentIdAndSendNotifies)
{
    GetRequestQuesStus window;
    window.addRequestQuesStudents(student(QStringLiteral("S1"), QStringLiteral("Ann Lee")), 3);
    window.addRequestQuesStudents(student(QStringLiteral("S2"), QStringLiteral("Bo Chan")), 5);
    window.addRequestQuesStudents(student(QStringLiteral("S1"), QStringLiteral("Other")), 9);
    EXPECT_EQ(window.readyForPollStudents(), (QList<int>{3, 5}));
    ASSERT_EQ(window.tableView->rowCount(), 2);
    EXPECT_EQ(window.tableView->item(1, 1)->text(), QStringLiteral("Bo Chan"));
    EXPECT_EQ(window.tableView->horizontalHeaderItem(0)->text(), QStringLiteral("Student ID"));

    window.showWindow();
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
    window.onCancel(); // closes but keeps its rows
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.tableView->rowCount(), 2);

    QObject observer;
    int ready = 0;
    NotificationCenter::defaultCenter()->addObserver(&observer, QStringLiteral("SENDQUESTIONREADY"),
                                                     [&](const Notification &) { ++ready; });
    window.showWindow();
    window.onSend();
    EXPECT_EQ(ready, 1);
    EXPECT_FALSE(window.isVisible());
}

// Students of the longest names asking for the questions: their 12-character IDs are read whole,
// and a click on a long name leaves the list where it is.
TEST_F(SendQuestionWindows, RequestListShowsEveryIdWholeAndStaysPutOnAClickOnALongName)
{
    GetRequestQuesStus window;
    window.addRequestQuesStudents(student(QStringLiteral("S1"), QStringLiteral("Ann Lee")), 3);
    window.addRequestQuesStudents(student(QStringLiteral("WM2024000012"),
                                          QStringLiteral("Maximilianwolfgangus Oppenheimerwolfeschlegelsteinb")), 5);
    window.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTableWidget *list = window.tableView;
    EXPECT_EQ(TableLook::clickAndScrolledBy(list, list->model()->index(1, 1)), 0);
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    EXPECT_EQ(TableLook::cutIn(list, 0).join("; ").toStdString(), "");
    window.onCancel();
}

// The window opens wide enough to read a student of 20 + 20 letters whole beside a 12-character
// ID; only a longer name is cut (it opened as narrow as its buttons, the names cut at 17 letters).
TEST_F(SendQuestionWindows, RequestListOpensWideEnoughForANameOfTwentyAndTwentyLetters)
{
    GetRequestQuesStus window;
    window.addRequestQuesStudents(student(QStringLiteral("WM2024000031"), QStringLiteral("Maximilianwolfgangus Wolfeschlegelsteinha")), 5);
    window.addRequestQuesStudents(student(QStringLiteral("S2"), QStringLiteral("Ann Lee")), 6);
    window.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTableWidget *list = window.tableView;
    for (int column : {0, 1})
        EXPECT_EQ(TableLook::cutIn(list, column).join("; ").toStdString(), "") << "column " << column;
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    window.onCancel();
}
