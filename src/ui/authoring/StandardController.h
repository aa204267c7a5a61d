#pragma once

#include "core/base/TreeNode.h"

#include <QDialog>
#include <QList>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class StandardOutlineModel;

// The curriculum standards window ("Standard"): the standards tree of the application folder's
// "Template.xml", with search, add, edit, delete, import, export and save; the teacher ticks the
// standard of a question. Run modally: 1 OK, 0 closed; then standardNameSelected() and
// standardTitleSelected() give the pick (a single blank when there is none).
//
// A file that exists but cannot be read whole is never written over: the window shows what it
// could read and refuses to save. OK and Close both ask before unsaved changes are lost.
class StandardController : public QDialog
{
    Q_OBJECT
public:
    explicit StandardController(QWidget *parent = nullptr);

    void setStandardName(const QString &code) { m_standardName = code; }
    // Reads the tree and shows the pick; exec() does it when nobody has.
    void awakeFromNib();
    int exec() override;

    QString standardNameSelected() const;
    QString standardTitleSelected() const;
    TreeNodePtr nodeSelected() const { return m_nodeSelected; }
    TreeNodePtr root() const { return m_root; }
    TreeNodePtr topNode() const;
    bool hasUnsavedChanges() const { return m_changed; }
    QList<TreeNodePtr> arraySearchNode() const { return m_arraySearchNode; }

    void tick(const TreeNodePtr &node, int state);
    void edit(const TreeNodePtr &node);
    void doAdd();
    void doDelete();
    void doImport();
    void doExport();
    void doSave();
    void doOK();
    void doClose();
    void doSearch();

    QTreeView *outlineView = nullptr;
    StandardOutlineModel *model = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnOK = nullptr;
    QComboBox *cmbSerchSelect = nullptr;
    QLineEdit *textSerchContent = nullptr;
    QLabel *readMessage = nullptr;

    // Every ending; one without OK puts the pick back.
    void done(int result) override;

private:
    TreeNodePtr targetNode() const;
    void setChanged(bool changed);
    void revealNode(const TreeNodePtr &node);

    TreeNodePtr m_root;
    TreeNodePtr m_nodeSelected;
    TreeNodePtr m_initStandardNode;
    QString m_standardName;
    QList<TreeNodePtr> m_arraySearchNode;
    bool m_bSerachFindResult = false;
    bool m_loaded = false;
    bool m_changed = false;
    bool m_mayWrite = true;
    class EditHold *m_hold = nullptr;
};
