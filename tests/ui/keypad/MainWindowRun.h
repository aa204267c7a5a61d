#pragma once

#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"
#include "support/DialogAnswers.h"
#include "support/MainWindowForRuns.h"
#include "support/ModalDriver.h"
#include "support/ReceiverTest.h"
#include "support/TransferTiming.h"
#include "ui/app/TabController.h"
#include "ui/keypad/SendQuestions.h"
#include "ui/run/QuizStateWindowController.h"

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

// A run started from the main window on a simulated receiver, as a teacher starts it: Send
// Questions opens over the run windows, with its pauses cut short.
class MainWindowRun : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        useMainWindowForRuns();
        SendQuestions::installForRunWindows();
        SendQuestions::setTimingForTesting(quickSending());
    }
    void TearDown() override
    {
        if (run)
            delete run.data();
        tab.reset();
        modals.reset();
        answers.reset();
        QuizStateWindowController::hooks() = {};
        SendQuestions::resetTimingForTesting();
        TabController::resetHooks();
        ReceiverTest::TearDown();
    }

    // The main window with a teacher logged in: the class set up, the question file loaded, the
    // activity chosen and Start, by clicks; run is the activity window Start opened (false when
    // none did). The windows it runs modally are worked by modals.
    bool startFromMainWindow(const QString &file, const QString &activity)
    {
        app()->setIsLogin(true);
        tab = std::make_unique<TabController>();
        tab->awakeFromNib();
        modals = std::make_unique<ModalDriver>();
        answers = std::make_unique<DialogAnswers>();
        modals->on("ClassSet", [](QWidget *w) { w->findChild<QPushButton *>("buttonOk")->click(); });
        QTest::mouseClick(tab->btnClassSet, Qt::LeftButton);
        answers->answerFile(file);
        QTest::mouseClick(tab->btnLoad, Qt::LeftButton);
        const int index = tab->cboActivityMode->findText(activity);
        if (!tab->bIsClassSetted() || index < 0)
            return false;
        tab->cboActivityMode->setCurrentIndex(index);
        emit tab->cboActivityMode->activated(index);
        QTest::mouseClick(tab->btnStart, Qt::LeftButton);
        run = activityWindowShown();
        return run;
    }

    // A set of single-answer questions with every fourth a multiple-answer one; returns the
    // right answers.
    QStringList questionFile(int n, const QString &path)
    {
        ExamPaperInfo set;
        QList<QuestionSetViewPtr> pages;
        QStringList right;
        for (int q = 1; q <= n; ++q) {
            auto page = QuestionSetView::createTemplate(4, QSizeF(800, 600));
            page->getQuestionTitle()->textview()->setString(QStringLiteral("Question %1: which animal is the largest?").arg(q));
            const bool multiple = q % 4 == 0;
            right << (multiple ? QStringLiteral("AC") : QString(QChar('A' + q % 4)));
            page->setNQuestionType(multiple ? 1 : 0);
            page->setStrAnswer(right.last());
            page->setNOptionNum(4);
            page->setNQuestionTimeLimit(30);
            pages << page;
        }
        set.setArrayQuestionsInfo(pages);
        set.setNExamPaperID(1234);
        set.setStrExamPaperTitle(QStringLiteral("Animals"));
        EXPECT_TRUE(set.writeToFile(path));
        return right;
    }

    std::unique_ptr<TabController> tab;
    std::unique_ptr<ModalDriver> modals;
    std::unique_ptr<DialogAnswers> answers;
    QPointer<QuizStateWindowController> run;
};
