// The result windows as the teacher sees them: every one opened over a run for real, its text
// checked for contrast as drawn (with a picture folder set each is also saved as a picture), and
// the charts drawn with the right bar green and the bars as tall as their share.
#include "RunWindowFixture.h"

#include "core/engine/ResultSummary.h"
#include "support/ModalSteps.h"
#include "support/Shots.h"
#include "support/TextContrast.h"
#include "platform/NotificationCenter.h"
#include "ui/run/BarChartPainter.h"
#include "ui/run/ForceLoginController.h"
#include "ui/run/GroupReportController.h"
#include "ui/run/HistogramView.h"
#include "ui/run/QuizReportController.h"
#include "ui/run/QuizResultController.h"
#include "ui/run/ResultDetailsController.h"
#include "ui/run/ResultView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <QTimer>

namespace {

class ResultWindowsLook : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        DialogHooks::setModalResponder({}); // the windows run their own loops here
    }
    // Looks at each modal window that comes up, in turn, then runs its step (which closes it).
    void onEachModal(const QList<std::pair<QString, std::function<void(QWidget *)>>> &steps)
    {
        QList<std::function<void(QWidget *)>> looking;
        for (const auto &[name, step] : steps)
            looking << [this, name, step](QWidget *modal) {
                const TextContrast worst = TextContrast::worst(modal, name);
                looked << name;
                EXPECT_TRUE(worst.readable()) << name.toStdString() << ": \"" << worst.text.toStdString() << "\"";
                step(modal);
            };
        m_modals.onEach(looking, 50);
    }
    static void click(QWidget *w, const char *name)
    {
        w->findChild<QPushButton *>(QLatin1String(name))->click();
    }
    // Students S001.. in groups 1 and 2 with keypads 1..n, on a receiver that keeps the numbers.
    void classIn(int n)
    {
        makeClass(n, 1);
        auto *qpd = QuizParticipantData::shareManager();
        for (int i = 0; i < n; ++i)
            qpd->arrayClassStudents()[i]->setGroupNo(i % 2 + 1);
        qpd->setArrayLoginStudents(qpd->arrayClassStudents().mid(0, n - 1));
        qpd->setMaxGroupNo(2);
    }
    void answerQuestion(int q, const QStringList &given)
    {
        for (int d = 1; d <= given.size(); ++d)
            if (!given[d - 1].isEmpty()) {
                QuizData::shareManager()->setStudentAnswer(q, d, given[d - 1]);
                QuizData::shareManager()->setStudentAnswerTime(q, d, 2 + d % 5);
            }
    }

    QStringList looked;

private:
    ModalSteps m_modals;
};

// The colour at a point measured from the chart's lower left, as 8-bit RGB.
QRgb pixel(const QImage &image, double x, double yFromBottom)
{
    return image.pixel(int(x), image.height() - 1 - int(yFromBottom)) & 0xFFFFFF;
}

QRgb rgb(const QColor &c)
{
    return QColor(c.toRgb().rgb()).rgb() & 0xFFFFFF;
}

} // namespace

TEST_F(ResultWindowsLook, EveryWindowOverARun)
{
    classIn(8);
    open(0, 4, questionFile({{0, QStringLiteral("B"), 10}}));
    QuizQuestions::shareManager()->setArrayQuestions([] {
        QList<QuizQuestionsElement> set = QuizQuestions::shareManager()->arrayQuestions();
        set[0].setStrTitle(QStringLiteral("Which planet is known as the red planet?"));
        for (int k = 0; k < 4; ++k)
            set[0].setStrOption(k, QStringList{"Venus", "Mars", "Jupiter", "A planet with a very long name"}[k]);
        return set;
    }());
    button("btnStart")->click();
    answerQuestion(1, {"B", "B", "A", "B", "__", "C", "B"});
    button("btnStop")->click();

    onEachModal({
        {QStringLiteral("result-summary"), [](QWidget *m) { click(m, "btnDetails"); }},
        {QStringLiteral("result-histogram"), [](QWidget *m) { click(m, "btnOK"); }},
        {QStringLiteral("result-summary-closing"), [](QWidget *m) { click(m, "btnOK"); }},
        {QStringLiteral("question-report"),
         [](QWidget *m) {
             auto *report = qobject_cast<QuizReportController *>(m);
             report->tableViewDoubleClick(2);
         }},
        {QStringLiteral("answer-details"), [](QWidget *m) { click(m, "btnOK"); }},
        {QStringLiteral("question-report-again"), [](QWidget *m) { click(m, "btnHistogram"); }},
        {QStringLiteral("result-details"),
         [](QWidget *m) {
             click(m, "btnCorrectAnswer");
             TextContrast::worst(m, QStringLiteral("result-details-revealed"));
             click(m, "btnOK");
         }},
        {QStringLiteral("question-report-closing"), [](QWidget *m) { click(m, "btnCancel"); }},
    });
    button("btnResult")->click();
    button("btnReport")->click();
    EXPECT_EQ(looked.size(), 8) << looked.join(QStringLiteral(", ")).toStdString();
}

TEST_F(ResultWindowsLook, TheWindowsOfGroupsRollCallsGroupingAndHandRaise)
{
    classIn(6);
    const QString path = questionFile({{0, QStringLiteral("A"), 10}});
    open(0, 4, path, 1);
    button("btnStart")->click();
    answerQuestion(1, {"A", "A", "C", "A", "D"});
    button("btnStop")->click();
    onEachModal({{QStringLiteral("group-report"), [](QWidget *m) { click(m, "btnOK"); }}});
    button("btnReport")->click();
    delete window.data();

    // Elimination: the students retained and eliminated beside the attendance.
    open(4, 4, path);
    button("btnStart")->click();
    answerQuestion(1, {"A", "C", "A", "", "A"});
    QuizData::shareManager()->setArrayAlreadyEliminationSum(2, 1);
    button("btnStop")->click();
    onEachModal({{QStringLiteral("result-elimination"), [](QWidget *m) {
                      EXPECT_TRUE(m->findChild<QLabel *>(QStringLiteral("txtEliminatedCount"))->isVisible());
                      click(m, "btnOK");
                  }}});
    button("btnResult")->click();
    delete window.data();

    open(8, 4, QString());
    button("btnStart")->click();
    answerQuestion(1, {"1", "1", "", "1", "1"});
    button("btnStop")->click();
    onEachModal({{QStringLiteral("roll-call"),
                  [](QWidget *m) {
                      click(m, "btnList");
                      QCoreApplication::processEvents();
                      TextContrast::worst(m, QStringLiteral("roll-call-absentees"));
                      click(m, "btnOK");
                  }}});
    button("btnResult")->click();
    delete window.data();

    open(13, 4, QString());
    button("btnStart")->click();
    answerQuestion(1, {"A", "C", "C", "H", "G"});
    button("btnStop")->click();
    onEachModal({{QStringLiteral("quick-grouping"), [](QWidget *m) { click(m, "btnOK"); }}});
    button("btnResult")->click();
    delete window.data();

    open(14, 4, path);
    button("btnStart")->click();
    onEachModal({{QStringLiteral("hand-raise-marking"), [](QWidget *m) { click(m, "btnOK"); }}});
    grid()->button(0)->click();
    EXPECT_EQ(looked, (QStringList{"group-report", "result-elimination", "roll-call", "quick-grouping", "hand-raise-marking"}));

    // The force-login window floats beside the run.
    auto s = std::make_shared<StudentInClass>();
    s->setStudentID(QStringLiteral("X900"));
    s->setStudentFullName(QStringLiteral("Visitor"));
    s->setDeviceNo(31);
    NotificationCenter::defaultCenter()->postNotification(QStringLiteral("STDUENTFORCELOGIN"),
                                                          {{QStringLiteral("studentInfo"), QVariant::fromValue(s)}});
    ASSERT_TRUE(window->forceLoginController());
    EXPECT_TRUE(TextContrast::worst(window->forceLoginController(), QStringLiteral("force-login")).readable());
}

TEST_F(ResultWindowsLook, TheChartsDrawTheirShares)
{
    // Histogram: 4 options, the right one (B) green, every bar as tall as its share.
    HistogramView hv;
    hv.resize(800, 500);
    hv.setHistogramData(4, {0.5, 0.25, 0.0, 0.0, 0.25});
    hv.setCorrectAnswer(QStringLiteral("B"));
    hv.setHistogramData2({4, 2, 0, 0, 2});
    hv.setOptionsText({QStringLiteral("Venus"), QStringLiteral("Mars")});
    EXPECT_EQ(hv.nCorrectAnswerNo(), 2);
    QImage image(hv.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        hv.drawRect(p, QSizeF(hv.size()));
    }
    if (const QString folder = Shots::folder(); !folder.isEmpty())
        image.save(folder + QStringLiteral("/histogram-chart.png"));
    const double xAxis = 800 - 60 - 60 - 30, yAxis = 500 - 60 - 70 - 30, w = xAxis / 10, base = 70 + 2.5;
    const auto front = [&](int bar, double share) { return pixel(image, 60 + (2 * bar - 1) * w + w / 2, base + share * yAxis); };
    EXPECT_EQ(front(2, 0.12), rgb(BarChartPainter::green().front)) << "the right option's bar";
    EXPECT_EQ(front(1, 0.45), rgb(BarChartPainter::rose().front));
    EXPECT_EQ(front(1, 0.55), rgb(QColor(Qt::white))) << "no taller than its half";
    EXPECT_EQ(front(5, 0.2), rgb(BarChartPainter::rose().front)) << "Others";
    EXPECT_EQ(front(3, 0.05), rgb(QColor(Qt::white))) << "an option nobody chose";
    EXPECT_EQ(HistogramView::shortened(QStringLiteral("A sixteen-letter")), QStringLiteral("A sixteen-lette...."));
    EXPECT_EQ(HistogramView::shortened(QStringLiteral("fifteen letters")), QStringLiteral("fifteen letters"));

    // Without a count for every bar the chart shows its frame only.
    HistogramView broken;
    broken.resize(800, 500);
    broken.setHistogramData(4, {1, 0, 0, 0, 0});
    broken.setHistogramData2({3});
    QImage empty(broken.size(), QImage::Format_RGB32);
    empty.fill(Qt::white);
    {
        QPainter p(&empty);
        broken.drawRect(p, QSizeF(broken.size()));
    }
    EXPECT_EQ(pixel(empty, 60 + w + w / 2, base + 0.5 * yAxis), rgb(QColor(Qt::white)));

    // Summary: correct, incorrect, no response.
    ResultSummary s;
    s.correct = 3;
    s.incorrect = 1;
    s.total = 4;
    s.fCorrect = 0.75f;
    s.fError = 0.25f;
    ResultView rv;
    rv.resize(800, 500);
    rv.setSummary(s);
    QImage chart(rv.size(), QImage::Format_RGB32);
    chart.fill(Qt::white);
    {
        QPainter p(&chart);
        rv.drawRect(p, QSizeF(rv.size()));
    }
    const double rw = (800 - 150) / 6.0, ry = 500 - 150, rbase = 62.5;
    const auto bar = [&](int i, double share) { return pixel(chart, 60 + (2 * i - 1) * rw + rw / 2, rbase + share * ry); };
    EXPECT_EQ(bar(1, 0.7), rgb(BarChartPainter::green().front));
    EXPECT_EQ(bar(1, 0.8), rgb(QColor(Qt::white)));
    EXPECT_EQ(bar(2, 0.2), rgb(BarChartPainter::rose().front));
    EXPECT_EQ(bar(3, 0.05), rgb(QColor(Qt::white)));
}
