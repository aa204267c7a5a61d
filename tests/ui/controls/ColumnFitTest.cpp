#include "ui/controls/ColumnFit.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

// A list whose columns fit its width goes with its window: the last events of its viewport reach
// the fitting after the list's own part is destroyed, and are taken without asking the list
// anything (a call on the half-destroyed list is undefined; the sanitizers' build reports it).
TEST(ColumnFitTest, AListShownWithFittedColumnsGoesWithoutBeingAskedForItsViewportOnTheWay)
{
    QStandardItemModel model(3, 2);
    model.setHorizontalHeaderLabels({QStringLiteral("ID"), QStringLiteral("Name")});
    for (int r = 0; r < 3; ++r) {
        model.setItem(r, 0, new QStandardItem(QStringLiteral("S00%1").arg(r + 1)));
        model.setItem(r, 1, new QStandardItem(QStringLiteral("Student %1").arg(r + 1)));
    }
    auto *table = new QTableView;
    table->setModel(&model);
    new ColumnFit(table, {});
    table->resize(320, 200);
    table->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(table));
    EXPECT_EQ(table->horizontalHeader()->length(), table->viewport()->width()) << "the columns fit the list";
    delete table;
}
