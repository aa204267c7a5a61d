#include "GroupStudentManualController.h"

#include "GroupOutlineModel.h"

#include "core/roster/GroupOutline.h"
#include "core/roster/RosterEdits.h"
#include "core/store/TovClassXmlDatabase.h"
#include "ui/controls/AppIcons.h"
#include "ui/controls/ImageAndTextCell.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

GroupStudentManualController::GroupStudentManualController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GroupStudentManual"));
    setWindowTitle(tr("Manual Grouping"));
    txtClassName = new QLineEdit(this);
    txtClassName->setObjectName(QStringLiteral("txtClassName"));
    txtClassName->setReadOnly(true);
    outlineView = new QTreeView(this);
    outlineView->setObjectName(QStringLiteral("outlineView"));
    outlineView->setHeaderHidden(true);
    outlineView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    outlineView->setDragDropMode(QAbstractItemView::DragDrop);
    outlineView->setDragEnabled(true);
    outlineView->setAcceptDrops(true);
    outlineView->setDropIndicatorShown(true);
    outlineView->setDefaultDropAction(Qt::MoveAction);
    outlineView->setItemDelegate(new ImageAndTextCell(outlineView));
    outlineView->setMinimumSize(320, 380);
    m_model = new GroupOutlineModel(this);
    outlineView->setModel(m_model);
    btnSave = new QPushButton(tr("Save"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->setDefault(true);
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto *head = new QFormLayout;
    head->addRow(tr("Class:"), txtClassName);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClose);
    buttons->addWidget(btnSave);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(outlineView, 1);
    layout->addLayout(buttons);

    connect(btnSave, &QPushButton::clicked, this, &GroupStudentManualController::doSave);
    connect(btnClose, &QPushButton::clicked, this, &GroupStudentManualController::doClose);
    connect(m_model, &GroupOutlineModel::studentsMoved, this, &GroupStudentManualController::selectMoved);
    image = AppIcons::icon(QStringLiteral("Image.tiff")).pixmap(16, 16).toImage();
}

void GroupStudentManualController::setClassToGroup(int no, const QString &name)
{
    classNo = no;
    className = name;
}

int GroupStudentManualController::exec()
{
    awakeFromNib();
    return QDialog::exec();
}

void GroupStudentManualController::awakeFromNib()
{
    txtClassName->setText(className);
    m_root = GroupOutline::build(TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo, &m_asRead),
                                 numOfGroup, image);
    m_model->setRootNode(m_root);
    outlineView->expandAll();
    m_groupsAsLoaded = GroupOutline::groupsOf(m_root);
    if (!m_hold)
        m_hold = new EditHold(this, [this] { return m_root && GroupOutline::groupsOf(m_root) != m_groupsAsLoaded; }, [this] {
            return EditHold::askLeave(this, QStringLiteral("Pollix ARS"), tr("Are you sure to quit without saving?"),
                                      {tr("Yes"), tr("No")});
        });
}

void GroupStudentManualController::selectMoved(const QModelIndexList &moved)
{
    outlineView->expandAll();
    QItemSelectionModel *selection = outlineView->selectionModel();
    selection->clearSelection();
    for (const QModelIndex &index : moved)
        selection->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void GroupStudentManualController::doSave()
{
    const RosterEdits::Result r = RosterEdits::writeGroups(classNo, GroupOutline::groupsOf(m_root), numOfGroup, &m_asRead);
    if (!r.ok()) {
        PollixAlert::show(this, QStringLiteral("Pollix ARS"), tr("The groups could not be saved."), {tr("OK")},
                          PollixAlert::refusedSave(r.errorText, tr("Close this window and open it again to see the other "
                                                                   "program's version; your grouping stays here until you "
                                                                   "close the window.")));
        return;
    }
    done(1);
}

void GroupStudentManualController::doClose()
{
    if (m_hold)
        m_hold->leave(0);
    else
        done(0);
}

void GroupStudentManualController::closeEvent(QCloseEvent *event)
{
    setResult(0);
    QDialog::closeEvent(event);
}
