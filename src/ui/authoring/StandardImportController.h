#pragma once

#include "core/base/TreeNode.h"

#include <QDialog>

class QLineEdit;
class QTreeView;
class StandardOutlineModel;

// Part of another standards file to bring into the tree ("StandardImport"): the file (at first
// the application folder's "Template_Import.xml") shown with tri-state check boxes; OK gives the
// ticked part from its top node down (standardsSelected), or none when nothing is ticked.
class StandardImportController : public QDialog
{
    Q_OBJECT
public:
    explicit StandardImportController(QWidget *parent = nullptr);

    void awakeFromNib();
    // Reads a standards file in place of the one shown; false (and an empty tree) when it is
    // no standards file.
    bool loadFile(const QString &path, QString *errorText = nullptr);
    void doBrowse();
    void doClearStandards();
    void doClearSelected();
    void doOK();
    void tick(const TreeNodePtr &node, int state);

    TreeNodePtr root() const { return m_root; }
    TreeNodePtr standardsSelected() const { return m_standardsSelected; }

    QLineEdit *txtTemplate = nullptr;
    QTreeView *outlineView = nullptr;
    StandardOutlineModel *model = nullptr;

private:
    TreeNodePtr m_root;
    TreeNodePtr m_standardsSelected;
};
