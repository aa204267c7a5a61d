#pragma once

#include "support/ReceiverTest.h"

#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "ui/app/ActivityWindowOpener.h"
#include "ui/run/QuizStateInterface.h"
#include "ui/run/QuizStateWindowController.h"
#include "ui/run/RunTimer.h"
#include "ui/run/SaveToDataController.h"
#include "ui/run/StudentLoginView.h"
#include "ui/controls/DialogHooks.h"

#include <QApplication>
#include <QDialog>
#include <QDir>

#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// One question page of a test file.
struct PageSpec
{
    int type = 0;          // 0 single answer, 1 multiple, 4 teaching plan, 5 true or false
    QString answer = QStringLiteral("B");
    int seconds = 10;
    int actionMode = 0;    // as stored: 0 normal, 1 rush, 2 elimination, 7 vote
    int options = 4;
};

// The activity window on the run's shared data, its seconds on a manual clock.
class RunWindowFixture : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        RunTimer::setManualClock(true);
        QuizStateWindowController::hooks() = {};
        // The windows the run opens modally (results, reports, marking) are only noted here.
        DialogHooks::setModalResponder([this](QDialog *d) {
            childWindows << d->objectName();
            return 0;
        });
        auto *qpd = QuizParticipantData::shareManager();
        qpd->setRandomQuizID(0x1234);
        qpd->setRandomTeacherID(0x3456);
    }
    void TearDown() override
    {
        if (window)
            delete window.data();
        QuizStateWindowController::hooks() = {};
        DialogHooks::setModalResponder({});
        QuizMode::setFrameSink({});
        RunTimer::setManualClock(false);
        ReceiverTest::TearDown();
    }

    // The close box while a question runs, with something else (the clock, the keypad) to stop the
    // question meanwhile: the window stays, and true when its notice went by itself within 5 s
    // (one that stays is closed by force).
    bool closeBoxNoticeGoesByItself()
    {
        bool stuck = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&stuck] {
            stuck = true;
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        guard.start(5000);
        EXPECT_FALSE(window->close());
        guard.stop();
        return !stuck;
    }

    // The close box when no question runs: it is the window's Exit, whose question `answers`
    // takes. The event itself is refused (false); the window goes once the keypads are told.
    // True when it went.
    bool closeBoxLeaves()
    {
        EXPECT_FALSE(window->close()) << "the close box leads through Exit";
        return QTest::qWaitFor([this] { return window.isNull(); }, kEventWaitMs);
    }

    // A class of n students "S001".. whose keypad numbers are firstDevice, firstDevice+1, ...
    // (0: none, as a large-family class before logins).
    void makeClass(int n, int firstDevice = 0)
    {
        QList<StudentInClassPtr> students;
        for (int i = 1; i <= n; ++i) {
            auto s = std::make_shared<StudentInClass>();
            s->setStudentNo(i);
            s->setStudentID(QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')));
            s->setStudentFirstName(QStringLiteral("First%1").arg(i));
            s->setStudentLastName(QStringLiteral("Last%1").arg(i));
            s->setStudentFullName(QStringLiteral("First%1 Last%1").arg(i));
            s->setDeviceNo(firstDevice ? firstDevice + i - 1 : 0);
            students << s;
        }
        auto *qpd = QuizParticipantData::shareManager();
        qpd->setArrayClassStudents(students);
        qpd->setClassName(QStringLiteral("Class 7B"));
    }

    QString questionFile(const QList<PageSpec> &specs, const QString &name = QStringLiteral("quiz.px"))
    {
        ExamPaperInfo set;
        QList<QuestionSetViewPtr> pages;
        int i = 0;
        for (const PageSpec &spec : specs) {
            auto page = QuestionSetView::createTemplate(spec.type == 5 ? 0 : spec.options, QSizeF(800, 600));
            page->getQuestionTitle()->textview()->setString(QStringLiteral("Question %1").arg(++i));
            page->setNQuestionType(spec.type);
            page->setStrAnswer(spec.answer);
            page->setNQuestionTimeLimit(spec.seconds);
            page->setNQuestionRushTimeLimit(spec.seconds);
            page->setNQuestionActionMode(spec.actionMode);
            page->setNOptionNum(spec.type == 5 ? 2 : spec.options);
            pages << page;
        }
        set.setArrayQuestionsInfo(pages);
        set.setNExamPaperID(42);
        set.setStrExamPaperTitle(QStringLiteral("Quiz"));
        const QString path = home() + name;
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }

    // Opens the window as the main window does.
    QuizStateWindowController *open(int mode, int deviceType, const QString &path, int participation = 0)
    {
        const int id = 42;
        window = ActivityWindowOpener::open(nullptr, deviceType, mode, participation, false, 0, path, &id);
        return window;
    }

    // The run bar fitted to a screen this wide, the window laid out across it: every button whole
    // on the screen and saying what it does (caption or tool tip). What is wrong is listed.
    QStringList barProblemsAt(int screenWidth)
    {
        QuizStateInterface::fitButtonBand(window, screenWidth);
        // The window's least size follows the bar (the inner layouts tell the outer ones by events).
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        window->layout()->activate();
        window->resize(screenWidth, window->height());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        window->layout()->activate();
        QStringList problems;
        if (window->width() > screenWidth)
            problems << QStringLiteral("the window is %1 wide").arg(window->width());
        for (const QuizStateInterface::RunButton &row : QuizStateInterface::runButtons()) {
            const QPushButton *b = window.data()->*row.outlet;
            if (!b->isVisibleTo(window))
                continue;
            const QRect r(b->mapTo(window, QPoint(0, 0)), b->size());
            if (r.right() >= screenWidth || r.width() < b->sizeHint().width())
                problems << b->objectName() + QStringLiteral(" cut");
            if (b->text().isEmpty() && b->toolTip().isEmpty())
                problems << b->objectName() + QStringLiteral(" says nothing");
        }
        return problems;
    }

    // The answers of the one session the runs saved, as stored ("__" where none came); empty, with
    // a failure, unless exactly one session was saved.
    QStringList savedResponses() const
    {
        const QDir dir(app()->strQuizXmlDataFilePath());
        const QStringList files = dir.entryList({QStringLiteral("*.xml")}, QDir::Files);
        EXPECT_EQ(files.size(), 1);
        std::optional<QuizEntity> session;
        if (files.size() == 1)
            session = TovQuizXmlDatabase().getQuizInfoAll(dir.filePath(files.first()));
        EXPECT_TRUE(session);
        QStringList responses;
        if (session)
            for (const ResponseDataEntity &r : session->allStudentsAns())
                responses << r.response();
        return responses;
    }

    // Exit, with the save dialog's OK pressed once it is up (its question is the test's to answer):
    // true once the window went, the session saved.
    bool exitAndSave()
    {
        QTimer save;
        QObject::connect(&save, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<SaveToDataController *>(QApplication::activeModalWidget()))
                dialog->findChild<QPushButton *>(QStringLiteral("buttonOK"))->click();
        });
        save.start(5);
        button("btnExit")->click();
        return waitFor([&] { return window.isNull(); });
    }

    QPushButton *button(const char *name) const { return window->findChild<QPushButton *>(QLatin1String(name)); }
    QString label(const char *name) const { return window->findChild<QLabel *>(QLatin1String(name))->text(); }
    int timeShown() const { return window->quizTimeValue(); }
    StudentLoginView *grid() const { return window->studentLoginView(); }
    static void seconds(int n) { RunTimer::advance(n); }

    QPointer<QuizStateWindowController> window;
    QStringList childWindows;
};
