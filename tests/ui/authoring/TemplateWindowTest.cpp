#include "ui/authoring/AddSLides.h"

#include "core/keypad/DeviceController.h"
#include "platform/NotificationCenter.h"
#include "support/PollixTest.h"
#include "ui/controls/DialogHooks.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class TemplateWindowTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        for (const char *name : {"PXAddTemplate", "PXAddTemplateOver", "PPTTabCtrlAddTemplateOver", "AddOver"})
            NotificationCenter::defaultCenter()->addObserver(&observer, QString::fromLatin1(name), [this](const Notification &n) {
                posted << n.name + QLatin1Char(':') + n.userInfo.value(QStringLiteral("SELECTINDEX"), -1).toString();
            });
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        AddSLides::hooks() = {};
        DeviceController::ShareDeviceController()->setCurDeviceType(-1);
        PollixTest::TearDown();
    }
    static QTreeWidgetItem *row(const AddSLides &w, const QString &name)
    {
        const auto found = w.outlineView->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    static QStringList names(const AddSLides &w)
    {
        QStringList out;
        for (QTreeWidgetItemIterator it(w.outlineView); *it; ++it)
            out << (*it)->text(0);
        return out;
    }
    QObject observer;
    QStringList posted;
};

} // namespace

TEST_F(TemplateWindowTest, ArvelKeypadsAreOfferedOnlyWhatTheyCanAnswer)
{
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    AddSLides arvel;
    arvel.setAddType(3);
    arvel.awakeFromNib();
    const QStringList shown = names(arvel);
    EXPECT_FALSE(shown.contains("Cloze and Short Answer"));
    EXPECT_TRUE(shown.contains("6 Options"));
    EXPECT_FALSE(shown.contains("7 Options"));
    EXPECT_FALSE(shown.contains("Frequency-7 point"));
    EXPECT_EQ(row(arvel, "Likert")->childCount(), 27);
    EXPECT_TRUE(row(arvel, "All Templates")->isExpanded());
    EXPECT_TRUE(row(arvel, "Selection")->isExpanded());
    EXPECT_FALSE(row(arvel, "Likert")->isExpanded());

    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    AddSLides dravel;
    dravel.setAddType(2);
    dravel.awakeFromNib();
    EXPECT_EQ(row(dravel, "Likert")->childCount(), 37);
    EXPECT_TRUE(names(dravel).contains("10 Options"));
}

TEST_F(TemplateWindowTest, TheEditorsChooserStaysOpenAndThePropertiesChooserClosesAfterOneAdd)
{
    AddSLides editorChooser;
    editorChooser.setAddType(3);
    DialogHooks::setModalResponder([&](QDialog *d) {
        auto *w = static_cast<AddSLides *>(d);
        w->add(); // nothing clicked yet: nothing added
        w->ovDoubleClick(row(*w, "Likert"));
        w->ovDoubleClick(row(*w, "3 Options"));
        w->ovDoubleClick(row(*w, "Good / Bad"));
        w->close();
        return w->result();
    });
    editorChooser.awakeFromNib();
    EXPECT_EQ(editorChooser.runForAddType(), 0);
    EXPECT_EQ(posted, QStringList({"PXAddTemplate:3", "PXAddTemplate:22"}));

    posted.clear();
    AddSLides infoChooser;
    infoChooser.setAddType(2);
    infoChooser.awakeFromNib();
    infoChooser.show();
    infoChooser.ovClick(row(infoChooser, "True or False"));
    infoChooser.doAdd();
    EXPECT_EQ(posted, QStringList({"PXAddTemplateOver:0"}));
    EXPECT_FALSE(infoChooser.isVisible());
    EXPECT_TRUE(infoChooser.bIsPPTChanged());
}

TEST_F(TemplateWindowTest, SlideTemplatesNeedThePresentationDriver)
{
    AddSLides tab;
    tab.setAddType(0);
    tab.awakeFromNib();
    EXPECT_TRUE(names(tab).contains("2 Selections 2 Coulumns"));
    EXPECT_FALSE(tab.btnAdd->isEnabled()) << "no presentation to copy slides into";
    tab.ovDoubleClick(row(tab, "True or False"));
    EXPECT_TRUE(posted.isEmpty());

    QList<int> copied;
    AddSLides::hooks().copyAndPasteSlide = [&](int index) {
        copied << index;
        return true;
    };
    AddSLides::hooks().slideCount = [&] { return int(copied.size()); };
    AddSLides withDriver;
    withDriver.setAddType(0);
    withDriver.awakeFromNib();
    withDriver.show();
    withDriver.ovDoubleClick(row(withDriver, "True or False"));
    withDriver.ovDoubleClick(row(withDriver, "4 Selections 2 Coulumns"));
    // The picker stays open over the main window and shows no slide: it says the deck grew.
    EXPECT_EQ(withDriver.findChild<QLabel *>("hint")->text(), "Added. The deck holds 2 slides.");
    withDriver.close();
    EXPECT_EQ(copied, QList<int>({0, 6}));
    EXPECT_EQ(posted, QStringList({"PPTTabCtrlAddTemplateOver:0", "PPTTabCtrlAddTemplateOver:6", "AddOver:-1"}));
}

// The teacher's click or arrow key chooses the row Add adds; a group row offers no Add at all.
TEST_F(TemplateWindowTest, AddAddsTheRowChosenAndIsOfferedOnlyForATemplate)
{
    AddSLides chooser;
    chooser.setAddType(3);
    chooser.awakeFromNib();
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    EXPECT_FALSE(chooser.btnAdd->isEnabled()) << "\"All Templates\" is no template";

    QTreeWidget *tree = chooser.outlineView;
    const auto clickRow = [&](const QString &name) {
        const QRect r = tree->visualItemRect(row(chooser, name));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    };
    clickRow("Selection");
    EXPECT_FALSE(chooser.btnAdd->isEnabled());
    clickRow("4 Options");
    ASSERT_TRUE(chooser.btnAdd->isEnabled());
    // Moved on by the keyboard after the click: Add adds the row now chosen, not the one clicked.
    QTest::keyClick(tree, Qt::Key_Down);
    ASSERT_EQ(tree->currentItem()->text(0), "5 Options");
    QTest::mouseClick(chooser.btnAdd, Qt::LeftButton);
    EXPECT_EQ(posted, QStringList({"PXAddTemplate:5"}));
    EXPECT_TRUE(chooser.isVisible()) << "the editor's chooser stays open for further adds";
    chooser.close();
}
