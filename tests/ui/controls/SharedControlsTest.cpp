#include "support/PollixTest.h"

#include "core/base/TreeNodeData.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/ElidedLabel.h"
#include "ui/controls/ImageAndTextCell.h"
#include "ui/controls/LimitedTextView.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/NSMyColorWell.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ScreenFit.h"
#include "ui/controls/TovTableView.h"
#include "ui/controls/TreeNodeModel.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QLabel>
#include <QTest>
#include <QTreeView>

namespace {

class SharedControlsTest : public PollixTest
{
};

TreeNodePtr leaf(const QString &name)
{
    return TreeNode::treeNodeWithData(QVariant::fromValue(TreeNodeData::leafNodeWithName(name, 1)));
}

} // namespace

TEST_F(SharedControlsTest, ComboListIsAsWideAsItsWidestItemPlusFifty)
{
    MyComboBox box;
    box.resize(120, box.sizeHint().height());
    const QString wide(40, QLatin1Char('W'));
    box.addItems({QStringLiteral("a"), wide});
    box.reloadData();
    const int widest = QFontMetrics(box.font()).boundingRect(wide).width();
    ASSERT_GT(widest, 120);
    EXPECT_EQ(box.fWidth(), widest + 50);
    EXPECT_EQ(box.listWidth(), widest + 49);
    // A box wider than every item plus 50: the list is one point narrower than the box.
    box.clear();
    box.addItem(QStringLiteral("ab"));
    box.reloadData();
    EXPECT_EQ(box.listWidth(), 119);

    // Every closing of the list is told, also one without a choice; the list opens wide enough.
    box.addItem(wide);
    box.show();
    QSignalSpy closed(&box, &MyComboBox::comboBoxSelectionDidChange);
    box.showPopup();
    EXPECT_GE(box.view()->width(), widest + 49 - 4);
    box.hidePopup();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_TRUE(box.isEditable());
}

TEST_F(SharedControlsTest, SingleLineViewTakesNoLineBreaks)
{
    LimitedTextView view;
    view.show();
    view.setFocus();
    QApplication::clipboard()->setText(QStringLiteral("a\nb"));
    view.paste();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("a b"));
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Enter);
    QTest::keyClicks(&view, QStringLiteral("c"));
    EXPECT_EQ(view.toPlainText(), QStringLiteral("a bc"));
    view.insertText(QStringLiteral("\n"));
    view.insertText(QStringLiteral("\nd"));
    EXPECT_EQ(view.toPlainText(), QStringLiteral("a bc d"));
    EXPECT_EQ(view.document()->blockCount(), 1);
    // A carriage return would break the line just as well: it becomes a blank too.
    EXPECT_EQ(LimitedTextView::singleLine(QStringLiteral("1 Main St\r\nApt 2\rBox\n")), QStringLiteral("1 Main St Apt 2 Box "));
    EXPECT_EQ(LimitedTextView::singleLine(QStringLiteral("\n")), QStringLiteral(" "));
}

TEST_F(SharedControlsTest, ColourWellFollowsThePanelWhileItOpenedIt)
{
    QWidget window;
    auto *pen = new NSMyColorWell(&window);
    auto *fill = new NSMyColorWell(&window);
    fill->setColor(Qt::yellow);
    window.show();
    QList<QString> posted;
    QObject observer;
    for (const QLatin1String &name : {Notify::BigQuestionBeginDoModal, Notify::BigQuestionEndDoModal}) {
        NotificationCenter::defaultCenter()->addObserver(&observer, name, [&](const Notification &n) {
            EXPECT_EQ(n.object.data(), pen);
            posted << n.name;
        });
    }
    QSignalSpy action(pen, &NSMyColorWell::colorChanged);
    QTest::mouseClick(pen, Qt::LeftButton);
    EXPECT_EQ(posted, QStringList{"BigQuestionBeginDoModal"});
    QColorDialog *panel = NSMyColorWell::sharedColorPanel();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(pen->isActive());
    panel->setCurrentColor(Qt::red);
    EXPECT_EQ(pen->color(), QColor(Qt::red));
    EXPECT_EQ(action.count(), 1);
    // The other well on the window keeps its colour.
    EXPECT_EQ(fill->color(), QColor(Qt::yellow));
    panel->close();
    EXPECT_EQ(posted, QStringList({"BigQuestionBeginDoModal", "BigQuestionEndDoModal"}));
    EXPECT_FALSE(pen->isActive());
    // Closed: later changes of the panel reach no well.
    panel->setCurrentColor(Qt::blue);
    EXPECT_EQ(pen->color(), QColor(Qt::red));
    EXPECT_EQ(action.count(), 1);
}

TEST_F(SharedControlsTest, TableShowsItsMenuWithoutSelectingTheRow)
{
    QStandardItemModel model(3, 1);
    TovTableView table;
    table.setModel(&model);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.show();
    table.selectRow(0);
    const QPoint row2 = table.visualRect(model.index(2, 0)).center();
    // No menu connected: a right click shows nothing and changes nothing.
    QTest::mouseClick(table.viewport(), Qt::RightButton, {}, row2);
    QContextMenuEvent noMenu(QContextMenuEvent::Mouse, row2, table.viewport()->mapToGlobal(row2));
    QApplication::sendEvent(table.viewport(), &noMenu);
    EXPECT_EQ(table.selectionModel()->selectedRows().value(0).row(), 0);
    QMenu menu;
    menu.addAction(QStringLiteral("Delete"));
    table.setPopUpMenu(&menu);
    QContextMenuEvent event(QContextMenuEvent::Mouse, row2, table.viewport()->mapToGlobal(row2));
    QApplication::sendEvent(table.viewport(), &event);
    EXPECT_TRUE(menu.isVisible());
    menu.close();
    EXPECT_EQ(table.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(table.selectionModel()->selectedRows().value(0).row(), 0);
}

// The adapter keeps views in step with the tree; Qt's model tester checks every change.
TEST_F(SharedControlsTest, OutlineModelFollowsInsertsAndRemovals)
{
    TreeNodeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    TreeNodePtr group = TreeNode::treeNodeWithData(QVariant::fromValue(TreeNodeData::groupNodeWithName("Group 1")));
    model.insertNode(nullptr, 0, group);
    TreeNodePtr ann = leaf("Ann"), bob = leaf("Bob");
    model.insertNode(group, 0, bob);
    model.insertNode(group, 0, ann);
    const QModelIndex g = model.index(0, 0);
    EXPECT_EQ(g.data().toString(), QStringLiteral("Group 1"));
    EXPECT_EQ(model.rowCount(g), 2);
    const QModelIndex b = model.index(1, 0, g);
    EXPECT_EQ(b.data().toString(), QStringLiteral("Bob"));
    EXPECT_EQ(model.parent(b), g);
    EXPECT_EQ(model.nodeForIndex(b), bob);
    EXPECT_EQ(model.indexForNode(bob), b);

    // Moving Bob to a second group, as the grouping window does.
    TreeNodePtr second = TreeNode::treeNodeWithData(QVariant::fromValue(TreeNodeData::groupNodeWithName("Group 2")));
    model.insertNode(nullptr, 1, second);
    model.removeNode(bob);
    model.insertNode(second, 0, bob);
    EXPECT_EQ(model.rowCount(g), 1);
    EXPECT_EQ(model.index(0, 0, model.index(1, 0)).data().toString(), QStringLiteral("Bob"));

    // A node listed twice is removed entirely.
    model.insertNode(group, 1, ann);
    EXPECT_EQ(model.rowCount(g), 2);
    model.removeNode(ann);
    EXPECT_EQ(model.rowCount(g), 0);

    TreeNodeData renamed = TreeNodeData::leafNodeWithName("Robert", 1);
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    renamed.setIconRep(icon);
    bob->setNodeData(QVariant::fromValue(renamed));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.nodeDataChanged(bob);
    EXPECT_EQ(changed.count(), 1);
    const QModelIndex robert = model.indexForNode(bob);
    EXPECT_EQ(robert.data().toString(), QStringLiteral("Robert"));
    EXPECT_EQ(ImageAndTextCell::imageOf(robert).size(), QSize(16, 16));
}

TEST_F(SharedControlsTest, ImageCellPlacesTheIconAndLeavesRoomForIt)
{
    EXPECT_EQ(ImageAndTextCell::imageRectForBounds(QRect(10, 20, 100, 17), QSize(16, 16)), QRect(13, 21, 16, 16));
    EXPECT_EQ(ImageAndTextCell::imageRectForBounds(QRect(0, 0, 100, 20), QSize(16, 15)), QRect(3, 3, 16, 15));
    EXPECT_TRUE(ImageAndTextCell::imageRectForBounds(QRect(0, 0, 100, 20), QSize()).isNull());
    EXPECT_EQ(ImageAndTextCell::titleRectForBounds(QRect(10, 20, 100, 17), QSize(16, 16)), QRect(29, 20, 81, 17));
    EXPECT_EQ(ImageAndTextCell::titleRectForBounds(QRect(10, 20, 100, 17), QSize()), QRect(10, 20, 100, 17));

    QStandardItemModel model(2, 1);
    model.setData(model.index(0, 0), QStringLiteral("Student"));
    model.setData(model.index(1, 0), QStringLiteral("Student"));
    QImage icon(20, 12, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    model.setData(model.index(1, 0), icon, Qt::DecorationRole);
    QTreeView view;
    ImageAndTextCell cell;
    view.setModel(&model);
    view.setItemDelegate(&cell);
    QStyleOptionViewItem option;
    option.initFrom(&view);
    const QSize plain = cell.sizeHint(option, model.index(0, 0));
    const QSize withIcon = cell.sizeHint(option, model.index(1, 0));
    // Three points of margin with or without an icon, plus the icon's width.
    QStyledItemDelegate textCell;
    EXPECT_EQ(plain.width(), textCell.sizeHint(option, model.index(0, 0)).width() + 3);
    EXPECT_EQ(withIcon.width(), plain.width() + 20);
    // Drawn: the icon's pixels sit 3 points in from the row's left edge.
    view.resize(200, 80);
    view.show();
    QImage shot = view.viewport()->grab().toImage();
    const QRect row = view.visualRect(model.index(1, 0));
    const QRect at = ImageAndTextCell::imageRectForBounds(row, icon.size());
    EXPECT_EQ(QColor(shot.pixel(at.center())), QColor(Qt::red));
    EXPECT_NE(QColor(shot.pixel(row.left() + 1, at.center().y())), QColor(Qt::red));
}

TEST_F(SharedControlsTest, WindowAskedLargerThanTheScreenOpensWithinIt)
{
    QWidget window;
    const QRect area = window.screen()->availableGeometry();
    ScreenFit::resize(&window, area.width() + 400, area.height() + 300);
    EXPECT_LT(window.width(), area.width());
    EXPECT_LT(window.height(), area.height());
    // A window that fits keeps the size it is designed at.
    ScreenFit::resize(&window, area.width() / 2, area.height() / 2);
    EXPECT_EQ(window.size(), area.size() / 2);
}

TEST_F(SharedControlsTest, ALongTextInAStatusLineNeverWidensItsWindowAndKeepsBothEnds)
{
    QMainWindow window;
    auto *line = new ElidedLabel(&window);
    window.statusBar()->addWidget(line, 1);
    window.resize(420, 200);
    window.show();
    const QString path = "Session saved to /home/teacher/.local/share/Pollix/Data/Quiz/" + QString(120, 'x') + "/Week 3.xml";
    line->setFullText(path);
    QApplication::processEvents();
    EXPECT_EQ(window.width(), 420);
    EXPECT_LE(window.minimumSizeHint().width(), 420);
    EXPECT_TRUE(line->text().startsWith("Session saved to")) << line->text().toStdString();
    EXPECT_TRUE(line->text().endsWith("Week 3.xml")) << line->text().toStdString();
    EXPECT_TRUE(line->text().contains(QChar(0x2026)));
    EXPECT_EQ(line->toolTip(), path);

    // Wider, the whole text shows; emptied, nothing.
    window.resize(2400, 200);
    QApplication::processEvents();
    EXPECT_EQ(line->text(), path);
    line->setFullText(QString());
    EXPECT_TRUE(line->text().isEmpty());
}

// A window manager's title bar holds the title beside the window's icon and three buttons: an alert
// as narrow as its short text would show "Pollix ARS" cut down to "Pol... RS".
TEST_F(SharedControlsTest, AnAlertOfAShortTextLeavesItsTitleBarRoomForTheTitle)
{
    for (const QString &title : {QStringLiteral("Pollix ARS"), QStringLiteral("Pollix")}) {
        PollixAlert alert(title, QStringLiteral("Saved."), {QStringLiteral("OK")});
        alert.QMessageBox::show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&alert));
        QFont bold = alert.font();
        bold.setBold(true);
        EXPECT_GE(alert.width(), QFontMetrics(bold).horizontalAdvance(title) + 100) << title.toStdString();
    }
    // A text wider than the title's room keeps its own width: the question is read whole.
    for (const QString &text : {QStringLiteral("Do you want to save the change ?"),
                                QStringLiteral("Please enter the correct point ."),
                                QStringLiteral("Total Points should be higher than Student Points.")}) {
        PollixAlert alert(QStringLiteral("Warning"), text, {QStringLiteral("Yes"), QStringLiteral("No")});
        alert.QMessageBox::show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&alert));
        auto *label = alert.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        ASSERT_TRUE(label);
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(text)) << text.toStdString();
        EXPECT_GE(alert.width(), label->fontMetrics().horizontalAdvance(text)) << text.toStdString();
    }
}

// The title's room must not squeeze the text: a one-line question or a failure with its reason
// showed cut off ("Are you sure to quit without s", "The question file could not be").
TEST_F(SharedControlsTest, AnAlertShowsItsWholeTextBesideTheRoomForItsTitle)
{
    const QList<std::pair<QString, QString>> cases{
        {QStringLiteral("Are you sure to quit without saving?"), QString()},
        {QStringLiteral("The question file could not be saved."), QStringLiteral("No such file or directory")},
        {QStringLiteral("Saved."), QString()}};
    for (const auto &[text, why] : cases) {
        PollixAlert alert(QStringLiteral("Pollix ARS"), text, {QStringLiteral("Yes"), QStringLiteral("No")}, why);
        alert.QMessageBox::show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&alert));
        const auto *label = alert.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        if (label->wordWrap())
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << text.toStdString();
        else
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(text)) << text.toStdString();
        QFont bold = alert.font();
        bold.setBold(true);
        EXPECT_GE(alert.width(), QFontMetrics(bold).horizontalAdvance(QStringLiteral("Pollix ARS")) + 100);
    }
}
