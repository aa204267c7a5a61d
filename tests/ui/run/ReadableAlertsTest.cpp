#include "RunWindowFixture.h"

#include "core/keypad/DeviceController.h"
#include "support/ModalSteps.h"
#include "support/TextContrast.h"
#include "ui/app/TabController.h"
#include "ui/controls/DialogHooks.h"
#include "ui/run/SaveToDataController.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

// A window's colours stay its own: every alert and dialog the activity window and the main window
// open over themselves is checked, as drawn, for text that stands out from its background.
namespace {

class ReadableAlerts : public RunWindowFixture
{
protected:
    void TearDown() override
    {
        DialogHooks::setFileResponder({});
        TabController::resetHooks();
        RunWindowFixture::TearDown();
    }

    void onEachModal(QList<std::function<void(QWidget *)>> steps) { m_modals.onEach(std::move(steps)); }
    bool allStepsTaken() const { return m_modals.allTaken(); }

    // Records how readable the modal window is and names it for the screenshots.
    void look(QWidget *modal, const QString &name)
    {
        const TextContrast worst = TextContrast::worst(modal, name);
        looked << name;
        EXPECT_TRUE(worst.readable()) << name.toStdString() << ": \"" << worst.text.toStdString() << "\" " << worst.ratio;
    }
    static void press(QWidget *alert, int button)
    {
        if (auto *a = qobject_cast<PollixAlert *>(alert))
            a->pressButton(button);
    }

    QStringList looked;

private:
    ModalSteps m_modals;
};

} // namespace

TEST_F(ReadableAlerts, OverTheActivityWindow)
{
    QuizStateWindowController::hooks().runSaveDialog = {};
    makeClass(2, 1);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}, {4, QString(), 10}}));
    EXPECT_TRUE(TextContrast::worst(window, QStringLiteral("activity-window")).readable());
    button("btnStart")->click();
    button("btnStop")->click();
    ASSERT_FALSE(window->bStartFlag());

    onEachModal({
        [&](QWidget *m) { look(m, QStringLiteral("start-refused")); press(m, 0); },
        [&](QWidget *m) { look(m, QStringLiteral("exit-question")); press(m, 0); },
        [&](QWidget *m) {
            look(m, QStringLiteral("save-dialog"));
            m->findChild<QLineEdit *>(QStringLiteral("txtSaveSession"))->clear();
            m->findChild<QPushButton *>(QStringLiteral("buttonOK"))->click();
        },
        [&](QWidget *m) { look(m, QStringLiteral("save-name-empty")); press(m, 0); },
        [&](QWidget *m) { m->findChild<QPushButton *>(QStringLiteral("buttonCancel"))->click(); },
        [&](QWidget *m) { look(m, QStringLiteral("save-cancel-question")); press(m, 0); },
    });
    // A teaching-plan page cannot start: the refusal is an alert over the window.
    button("btnNext")->click();
    button("btnStart")->click();
    button("btnExit")->click();
    ASSERT_TRUE(waitFor([&] { return window.isNull(); }));
    EXPECT_TRUE(allStepsTaken());
    EXPECT_EQ(looked.size(), 5);
}

TEST_F(ReadableAlerts, OverTheMainWindow)
{
    TabController::resetHooks();
    auto &h = TabController::hooks();
    h.runSplash = [](QWidget *) {};
    h.runSystemChoice = [](QWidget *) {};
    h.runClassSet = [](QWidget *, TabController::ClassSetup &setup) {
        setup.classNo = 1;
        setup.className = QStringLiteral("7A");
        setup.teacherName = QStringLiteral("Lee");
        setup.maxGroupNo = 3;
        return 1;
    };
    h.startActivity = [](TabController *, const TabController::StartRequest &) {};
    QString chosen;
    DialogHooks::setFileResponder([&](const FileDialogRequest &) { return chosen; });
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    TabController main;
    main.awakeFromNib();
    main.show();
    main.doClassSet();

    onEachModal({
        [&](QWidget *m) { look(m, QStringLiteral("main-error-format")); press(m, 0); },
        [&](QWidget *m) { look(m, QStringLiteral("main-teaching-plan")); press(m, 0); },
        [&](QWidget *m) {
            look(m, QStringLiteral("main-version"));
            qobject_cast<QDialog *>(m)->reject();
        },
    });
    chosen = writeFile(QStringLiteral("bad.px"), "not a question file");
    main.btnLoad->click();
    const int paper = main.cboActivityMode->findText(QStringLiteral("Paper Quiz"));
    main.cboActivityMode->setCurrentIndex(paper);
    emit main.cboActivityMode->activated(paper);
    chosen = questionFile({{4, QString(), 10}, {4, QString(), 10}}, QStringLiteral("plan.px"));
    main.btnLoad->click();
    main.btnStart->click();
    main.btnVersion->click();
    EXPECT_TRUE(allStepsTaken()) << looked.join(QStringLiteral(", ")).toStdString();
}
