#include "QuickGroupingResultController.h"

#include "StudentLoginView.h"

#include "core/engine/RollCallFigures.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QuickGroupingResultController::QuickGroupingResultController(QWidget *parent)
    : RunChildWindow(QStringLiteral("QuickGroupingResult"), "QuizResult", parent)
{
    setWindowTitle(tr("Quick Grouping"));
    setPostsLoginViewToNormal(true);
    auto *form = new QFormLayout;
    for (int g = 1; g <= RollCallFigures::GroupCount; ++g) {
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("group%1").arg(g));
        l->setMinimumWidth(60);
        // The caption wears the group's colour on the student grid.
        auto *caption = new QLabel(tr("Group %1 (%2):").arg(g).arg(QChar(u'A' + g - 1)), this);
        auto *swatch = new QLabel(this);
        swatch->setFixedSize(14, 14);
        swatch->setAutoFillBackground(true);
        QPalette pal = swatch->palette();
        pal.setColor(QPalette::Window, StudentLoginView::colorOfGroup(g));
        swatch->setPalette(pal);
        auto *row = new QHBoxLayout;
        row->addWidget(swatch);
        row->addWidget(caption);
        row->addWidget(l);
        row->addStretch();
        form->addRow(row);
        groups << l;
    }
    absence = new QLabel(this);
    absence->setObjectName(QStringLiteral("absence"));
    form->addRow(tr("No group:"), absence);
    btnOK = new QPushButton(tr("\"F1\" OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QuickGroupingResultController::onOK);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void QuickGroupingResultController::windowDidLoad()
{
    const QList<int> counts = RollCallFigures::groupCounts();
    for (int g = 0; g < groups.size(); ++g)
        groups[g]->setText(QString::number(counts.value(g)));
    absence->setText(QString::number(counts.value(RollCallFigures::GroupCount)));
}

void QuickGroupingResultController::onOK()
{
    accept();
}

void QuickGroupingResultController::teacherAction(TeacherKeyMap::Action action)
{
    // The keypad's F1 closes it, and so do the keys that close every other result window.
    if (action == TeacherKeyMap::Action::Ok || action == TeacherKeyMap::Action::Cancel)
        onOK();
}
