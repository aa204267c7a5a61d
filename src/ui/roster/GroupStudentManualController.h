#pragma once

#include "core/base/TreeNode.h"

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QImage>
#include <QList>
#include <QModelIndexList>
#include <QString>

#include <utility>

class GroupOutlineModel;
class QLineEdit;
class QPushButton;
class QTreeView;

// The manual grouping ("GroupStudentManual"): the class's groups as an outline, each holding
// its students; the teacher drags students between the groups, and Save writes every student's
// group number to the class file (ends with 1). Closing without Save changes nothing.
class GroupStudentManualController : public QDialog
{
    Q_OBJECT
public:
    explicit GroupStudentManualController(QWidget *parent = nullptr);

    void setClassToGroup(int classNo, const QString &className);
    void setNumOfGroup(int count) { numOfGroup = count; }

    int exec() override;
    void awakeFromNib();

    void doSave();
    void doClose();

    TreeNodePtr root() const { return m_root; }
    GroupOutlineModel *model() const { return m_model; }

    QLineEdit *txtClassName = nullptr;
    QTreeView *outlineView = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnClose = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void selectMoved(const QModelIndexList &moved);

    int classNo = 0;
    QString className;
    int numOfGroup = 0;
    TreeNodePtr m_root;
    // The groups as the class file holds them: a drag away from them is an unsaved edit.
    QList<std::pair<QString, int>> m_groupsAsLoaded;
    // Each student's record as the outline was read: a save regroups only students still so.
    QHash<QString, QByteArray> m_asRead;
    class EditHold *m_hold = nullptr;
    GroupOutlineModel *m_model = nullptr;
    QImage image;
};
