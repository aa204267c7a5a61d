#include "RunWindowFixture.h"

#include "support/ControlPresser.h"

#include <QLayout>

// The activity window's bar as the teacher meets it: nothing enabled that does nothing, one icon
// size, and nothing that moves when Start becomes Pause.
namespace {

class RunWindowControls : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        // As the program runs today: the read-aloud and question-sending windows belong to other
        // areas and are not installed; the run's own windows open for real.
        QuizStateWindowController::hooks() = {};
        DialogHooks::setModalResponder({});
        QuizMode::setFrameSink([this](const QByteArray &) {
            ++framesSent;
            return true;
        });
    }

    QList<QPushButton *> bar() const
    {
        QList<QPushButton *> out;
        for (QPushButton *b : window->findChildren<QPushButton *>())
            if (b->property("runButton").toBool() && b->isVisibleTo(window))
                out << b;
        return out;
    }

    int framesSent = 0;
};

} // namespace

TEST_F(RunWindowControls, EveryEnabledControlLeadsSomewhere)
{
    const auto presser = [this] {
        return ControlPresser([this] {
            QStringList fields;
            for (const char *name : {"txtQuizTime", "txtPageAndTotalPage", "txtDone", "txtQuNo"})
                fields << label(name);
            return fields.join(QLatin1Char('|')) + QStringLiteral(" %1 frames").arg(framesSent);
        });
    };
    // Stepping through three questions; each pass presses what the one before enabled too.
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("C"), 10}, {0, QStringLiteral("D"), 10}}));
    ControlPresser stepping = presser();
    stepping.pressAll(window, {QStringLiteral("btnExit")});
    stepping.pressAll(window, {QStringLiteral("btnExit")});
    EXPECT_TRUE(stepping.inert().isEmpty()) << stepping.inert().join(QStringLiteral(", ")).toStdString();
    for (const char *name : {"btnStart", "btnStop", "btnNext", "btnPrevious", "btnTimeUp", "btnTimeDown", "btnExit"})
        EXPECT_TRUE(stepping.pressed().contains(QLatin1String(name))) << name;
    EXPECT_TRUE(stepping.dialogsOpened().contains(QStringLiteral("PollixAlert"))) << "Exit asks first";
    delete window.data();

    // Between questions, on the question that ran: everything live after a stop.
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    button("btnStart")->click();
    button("btnStop")->click();
    ControlPresser stopped = presser();
    stopped.pressAll(window, {QStringLiteral("btnStart"), QStringLiteral("btnExit")});
    EXPECT_TRUE(stopped.inert().isEmpty()) << stopped.inert().join(QStringLiteral(", ")).toStdString();
}

TEST_F(RunWindowControls, WindowsNotBuiltYetAreNeverOffered)
{
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    button("btnStart")->click();
    ASSERT_TRUE(window->bStartFlag());
    button("btnStop")->click();
    for (const char *name : {"btnRead", "btnAnswerSetting", "btnToggle"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_TRUE(button("btnResult")->isEnabled());
    EXPECT_TRUE(button("btnReport")->isEnabled());
    delete window.data();
    open(1, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    ASSERT_TRUE(button("btnSendQuestions")->isVisibleTo(window));
    EXPECT_FALSE(button("btnSendQuestions")->isEnabled()) << "no question-sending window yet";
}

TEST_F(RunWindowControls, OneIconSizeAndABarThatKeepsItsPlaces)
{
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("C"), 10}}));
    window->layout()->activate();
    QCoreApplication::processEvents();
    const QList<QPushButton *> buttons = bar();
    ASSERT_GE(buttons.size(), 8);
    QMap<QString, QRect> before;
    for (QPushButton *b : buttons) {
        EXPECT_EQ(b->iconSize(), buttons.first()->iconSize()) << b->objectName().toStdString();
        before[b->objectName()] = b->geometry();
    }
    button("btnStart")->click();
    ASSERT_EQ(button("btnStart")->text(), QStringLiteral("Pause"));
    window->layout()->activate();
    QCoreApplication::processEvents();
    for (QPushButton *b : buttons)
        EXPECT_EQ(b->geometry(), before[b->objectName()]) << b->objectName().toStdString();
}

TEST_F(RunWindowControls, TheBarFitsNarrowScreensGivingUpCaptionsOnlyWhenItMust)
{
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    EXPECT_EQ(QuizStateInterface::fitButtonBand(window, 1280), 0) << "room enough: the bar as built";
    delete window.data();
    // The widest bar of a question file (the run that sends its questions to the keypads) under
    // a class name longer than the screen.
    QuizParticipantData::shareManager()->setClassName(QString(120, QLatin1Char('W')));
    open(1, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    ASSERT_TRUE(button("btnSendQuestions")->isVisibleTo(window));
    for (int width : {1024, 800}) {
        const QStringList problems = barProblemsAt(width);
        EXPECT_TRUE(problems.isEmpty()) << width << ": " << problems.join(", ").toStdString();
    }
    EXPECT_EQ(button("btnStart")->text(), QStringLiteral("Start"));
    EXPECT_EQ(button("btnStop")->text(), QStringLiteral("Stop"));
}

TEST_F(RunWindowControls, TheStatusLineKeepsEveryTextWholeOnASmallScreen)
{
    // Multiple Mode has the widest title; with "Done" shown the class name had less room than its
    // text and lost its start ("o Class") instead of giving way visibly.
    QuizParticipantData::shareManager()->setClassName(QStringLiteral("Demo Class"));
    open(5, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    window->txtDone->setText(QStringLiteral("Done"));
    window->txtLoginAndAnswered->setText(QStringLiteral("24 / 24"));
    for (int width : {1024, 1366}) {
        ASSERT_TRUE(barProblemsAt(width).isEmpty()) << width;
        for (QLabel *label : {window->txtMultipleModeString, window->txtQuNoTitle, window->txtPageAndTotalPageTitle,
                              window->txtLoginAndAnswered, window->txtHandRaiseTitle, window->txtDone})
            EXPECT_GE(label->width(), label->sizeHint().width()) << width << " " << label->objectName().toStdString();
        const ElidedLabel *name = window->txtClassName;
        EXPECT_LE(name->fontMetrics().horizontalAdvance(name->text()), name->contentsRect().width()) << width;
        EXPECT_TRUE(name->text() == QStringLiteral("Demo Class") || name->text().contains(QChar(0x2026))) << width;
        EXPECT_EQ(name->toolTip(), QStringLiteral("Demo Class"));
    }
    EXPECT_EQ(window->txtClassName->text(), QStringLiteral("Demo Class")) << "whole where there is room";
}
