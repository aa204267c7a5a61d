#include "core/authoring/ExamPaperInfo.h"
#include "support/DialogAnswers.h"
#include "support/ModalDriver.h"
#include "support/ReceiverTest.h"
#include "support/WindowOnScreen.h"
#include "support/XvfbRun.h"
#include "ui/authoring/TitleSetController.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/FileDialogs.h"
#include "ui/keypad/SetChannelCtrl.h"
#include "ui/reports/GoToPageController.h"
#include "ui/run/SaveToDataController.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A window that opens with a text for the teacher to type over, opened as the program opens it.
struct Proposal
{
    const char *window;   // its objectName
    const char *field;    // the field that proposes
    std::string proposed; // what it proposes
    std::string typed;    // what the teacher types over it
    // Runs the window; what it kept (a name saved, a page gone to, a channel set).
    std::function<std::string()> open;
    std::string keptTyped, keptProposed;
    // For a window that Return does not close: what ends it once Return has done its work.
    std::function<void(QWidget *)> leave = {};
};

class ProposedTextTest : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        savedHome = qgetenv("HOME");
        qputenv("HOME", home().toUtf8());
    }
    void TearDown() override
    {
        qputenv("HOME", savedHome);
        ReceiverTest::TearDown();
    }

    struct Seen
    {
        std::string focus, text, selected;
    };
    // Opens the window; as it comes up (its proposal in), notes the field that has the keys and
    // types into it, then Return.
    static std::string answer(const Proposal &p, const std::string &typed, Seen *seen)
    {
        ModalDriver modals;
        modals.on(p.window, [&](QWidget *w) {
            const auto proposalIn = [&] {
                const auto *field = w->findChild<QLineEdit *>(p.field);
                return QApplication::activeWindow() == w && field && field->text().toStdString() == p.proposed;
            };
            EXPECT_TRUE(QTest::qWaitFor(proposalIn, kEventWaitMs)) << p.window << ": its proposal never came with the keys";
            QWidget *keys = QApplication::focusWidget();
            const auto *field = qobject_cast<QLineEdit *>(keys);
            *seen = {keys ? keys->objectName().toStdString() : "(none)", field ? field->text().toStdString() : "",
                     field ? field->selectedText().toStdString() : ""};
            if (!keys) {
                static_cast<QDialog *>(w)->done(0);
                return;
            }
            QTest::keyClicks(keys, QString::fromStdString(typed));
            QTest::keyClick(keys, Qt::Key_Return);
            if (p.leave)
                p.leave(w);
        });
        return p.open();
    }

    QString questionFile(const QString &name) const
    {
        ExamPaperInfo set;
        set.setArrayQuestionsInfo({QuestionSetView::createTemplate(2, QSizeF(800, 600))});
        set.setNExamPaperID(17);
        const QString path = home() + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }

    QByteArray savedHome;
    QStringList times;
};

} // namespace

TEST_F(ProposedTextTest, EveryProposedTextHasTheKeysSelectedAsItsWindowOpens)
{
    keypadsim::SimReceiver::Options onChannel;
    onChannel.channel = 17;
    auto *dravel = plugIn(keypadsim::Model::Dravel, onChannel);
    ASSERT_TRUE(dravel);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    DialogAnswers answers;
    int files = 0, sets = 0;

    // The end-of-run save is looked at with every road to it (SaveToDataTest) and below.
    const QList<Proposal> windows{
        // A question file without a title of its own.
        {"TitleSet", "txtTestTitle", "Week 3.px", "Fractions",
         [&] {
             const QString path = questionFile(QStringLiteral("%1/Week 3.px").arg(++files));
             TitleSetController dialog;
             dialog.setFilePath(path);
             dialog.runModal();
             const ExamPaperInfoPtr back = ExamPaperInfo::loadQuestionFile(path);
             return back ? back->strExamPaperTitle().toStdString() : "";
         },
         "Fractions", "Week 3.px"},
        {"GoToPage", "textPage", "2", "4",
         [] {
             GoToPageController dialog(5);
             dialog.setCurrentPage(2);
             return std::to_string(DialogHooks::runModal(&dialog));
         },
         "4", "2"},
        // The receiver's channel, once it has answered.
        {"SetChannel", "channelNo", "17", "12",
         [&] {
             SetChannelCtrl dialog;
             app()->setObjectToReceiveCommData(&dialog);
             dialog.exec();
             app()->setObjectToReceiveCommData(nullptr);
             return std::to_string(dravel->options().channel);
         },
         "12", "17",
         [&](QWidget *w) {
             ++sets;
             EXPECT_TRUE(waitFor([&] { return answers.alertTexts().count("Channel setup successful.") == sets; }))
                 << "the channel was never said to be set";
             QTest::mouseClick(w->findChild<QPushButton *>("btnClose"), Qt::LeftButton);
         }},
        // The name box of the panel a session is exported with.
        {"FileDialog", "fileNameEdit", "Week 3 2026-12-08.xml", "Roll A",
         [] {
             const DialogHooks::FileResponder answering = DialogHooks::fileResponder();
             DialogHooks::setFileResponder({});
             const QString path = FileDialogs::getSaveFileNameOfType(nullptr, "Export", FileDialogs::Kind::Sessions,
                                                                     "XML (*.xml)", "Week 3 2026-12-08.xml");
             DialogHooks::setFileResponder(answering);
             return QFileInfo(path).fileName().toStdString();
         },
         "Roll A.xml", "Week 3 2026-12-08.xml"},
    };

    for (const Proposal &p : windows) {
        Seen seen;
        EXPECT_EQ(answer(p, "", &seen), p.keptProposed) << p.window << ": Return keeps the proposal";
        EXPECT_EQ(answer(p, p.typed, &seen), p.keptTyped) << p.window << ": what is typed replaces it";
        EXPECT_EQ(seen.focus, p.field) << p.window;
        EXPECT_EQ(seen.text, p.proposed) << p.window;
        EXPECT_EQ(seen.selected, p.proposed) << p.window;
    }
    EXPECT_EQ(answers.alertTexts().count("Channel setup successful."), 2);
}

// On a teacher's desktop the window manager gives the window the keys; the window shown again
// (after the teacher typed) has its whole text selected again.
TEST_F(ProposedTextTest, UnderAWindowManagerTheNameIsSelectedEachTimeTheSaveDialogShows)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("ProposedTextTest.OnX11*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerTheNameIsSelectedEachTimeTheSaveDialogShows.
TEST_F(ProposedTextTest, OnX11TheNameIsSelectedEachTimeTheSaveDialogShows)
{
    times = {"2026-12-08T07:10:00", "2026-12-08T07:15:00", "300"};
    SaveToDataController dialog;
    dialog.setCurActivityMode(8);
    dialog.setArrQuizTime(&times);
    dialog.awakeFromNib();
    const auto shownWithKeys = [&] {
        dialog.show();
        return WindowOnScreen::settled(&dialog)
               && QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }, kEventWaitMs)
               && QApplication::focusWidget() == dialog.txtSaveSession;
    };
    ASSERT_TRUE(shownWithKeys()) << QApplication::focusWidget();
    EXPECT_EQ(dialog.txtSaveSession->selectedText().toStdString(), "Attendance 2026-12-08 07:10");
    WindowOnScreen::shot(QStringLiteral("save-session-proposed-name"));
    QTest::keyClicks(dialog.txtSaveSession, "Roll A");
    EXPECT_EQ(dialog.txtSaveSession->text().toStdString(), "Roll A");

    dialog.hide();
    // The window system has taken the keys from it before it comes back.
    ASSERT_TRUE(QTest::qWaitFor([] { return !QGuiApplication::focusWindow(); }, kEventWaitMs));
    ASSERT_TRUE(shownWithKeys()) << QApplication::focusWidget();
    EXPECT_EQ(dialog.txtSaveSession->selectedText().toStdString(), "Roll A");
    QTest::keyClicks(dialog.txtSaveSession, "Roll B");
    EXPECT_EQ(dialog.txtSaveSession->text().toStdString(), "Roll B");
}
