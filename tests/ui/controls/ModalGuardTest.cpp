// A test whose modal window never gets its answer fails and ends, whatever was to answer it: it
// never waits inside the window's loop until ctest kills it. Each road is acted out by this test
// again in a child process, which must end on its own, failed, and say which window it closed.
#include "support/ChildTestRun.h"
#include "support/EventWait.h"
#include "support/ModalGuard.h"
#include "support/ModalSteps.h"

#include <QCoreApplication>
#include <QDialog>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr char kRoadVariable[] = "POLLIX_MODAL_GUARD_ROAD";

// A window that asks before it goes, as an editor with unsaved edits does; the question's way out
// goes back to the window.
class AskingDialog : public QDialog
{
public:
    void reject() override
    {
        QDialog question(this);
        question.setObjectName(QStringLiteral("SaveQuestion"));
        if (question.exec() == QDialog::Accepted)
            QDialog::reject();
    }
};

// Acted out in the child: the window's answer never comes.
void actOut(int road)
{
    AskingDialog dialog;
    dialog.setObjectName(QStringLiteral("GuardedDialog"));
    ModalSteps steps;
    switch (road) {
    case 0:
        // The step that was to answer the window failed before it did.
        steps.onEach({[](QWidget *window) {
            ASSERT_EQ(window->objectName().toStdString(), "AnotherWindow");
            static_cast<QDialog *>(window)->accept();
        }});
        dialog.exec();
        break;
    case 1:
        // Nothing answers it, and nothing failed.
        ModalGuard::setAnswerWaitForTesting(1500);
        dialog.exec();
        break;
    case 2: {
        // A question over the window, the check before its answer failed.
        QDialog question(&dialog);
        question.setObjectName(QStringLiteral("Question"));
        QTimer::singleShot(0, &dialog, [&] {
            QTimer::singleShot(0, &question, [] { ADD_FAILURE() << "the question's text was wrong"; });
            question.exec();
        });
        dialog.exec();
        break;
    }
    case 3: {
        // Left up when the test ends (the child ends after it).
        auto *left = new AskingDialog;
        left->setObjectName(QStringLiteral("GuardedDialog"));
        left->open();
        break;
    }
    case 4: {
        // A window that lives as long as the program, run by this test twice (the child repeats
        // it): the first time a check fails before its answer, the second time nothing fails and
        // nothing answers.
        static auto *kept = new QDialog;
        static int times = 0;
        kept->setObjectName(QStringLiteral("KeptDialog"));
        if (times++ == 0)
            QTimer::singleShot(0, kept, [] { ADD_FAILURE() << "the first test's check failed"; });
        else
            ModalGuard::setAnswerWaitForTesting(1500);
        kept->exec();
        break;
    }
    }
}

} // namespace

TEST(ModalGuardTest, AModalWindowWhoseAnswerNeverComesFailsItsTestAndEnds)
{
    if (const QByteArray road = qgetenv(kRoadVariable); !road.isEmpty()) {
        actOut(road.toInt());
        return;
    }
    const struct
    {
        const char *road;
        QStringList said; // what the failed child says, each
        int repeats = 1;  // runs of the test in the child
    } roads[] = {
        {"the answering step failed", {"GuardedDialog", "stayed up after the test failed"}},
        {"no answer and no failure", {"GuardedDialog", "for an answer that never came"}},
        {"a question over the window failed", {"Question", "GuardedDialog", "stayed up after the test failed"}},
        {"left open at the test's end", {"GuardedDialog", "was still up when the test ended"}},
        // The later test starts with no tries made: its window is given its whole wait and closing
        // it fails that test too.
        {"a window closed in an earlier failed test, up again in a later one",
         {"KeptDialog", "stayed up after the test failed", "for an answer that never came"},
         2},
    };
    for (int road = 0; road < int(std::size(roads)); ++road) {
        SCOPED_TRACE(roads[road].road);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(kRoadVariable), QString::number(road));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {ChildTestRun::currentTestFilter(), QStringLiteral("--gtest_repeat=%1").arg(roads[road].repeats)});
        const bool ended = child.waitForFinished(kEventWaitMs);
        if (!ended) {
            child.kill();
            child.waitForFinished();
        }
        const QString out = QString::fromUtf8(child.readAll());
        EXPECT_TRUE(ended) << "the test waited on its window: " << out.toStdString();
        EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 1) << out.toStdString();
        for (const QString &said : roads[road].said)
            EXPECT_TRUE(out.contains(said)) << said.toStdString() << " not in: " << out.toStdString();
    }
}
