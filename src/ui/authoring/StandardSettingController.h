#pragma once

#include "core/base/TreeNode.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Code and title of one curriculum standard ("StandardSetting"): edit mode for a standard of the
// tree, add mode for a new one under a parent. Save refuses a code or title that a sibling has
// already. Result 1 when saved: in edit mode the standard holds the new values; in add mode
// nodeToAdd() holds the new standard, which the opener appends to the parent. The top entry of
// the tree names the whole set and has no code (the standards file keeps none for it): for it the
// code field is closed and the window says so.
class StandardSettingController : public QDialog
{
    Q_OBJECT
public:
    explicit StandardSettingController(QWidget *parent = nullptr);

    void setNodeToSetting(const TreeNodePtr &node);
    void setNodeToAdd(const TreeNodePtr &parent);
    TreeNodePtr nodeToSetting() const { return m_nodeToSetting; }
    TreeNodePtr nodeToAdd() const { return m_nodeToAdd; }
    int curState() const { return m_curState; }

    void awakeFromNib();
    void doSave();
    void doClose();
    // Whether the fields differ from the standard (a new one always does).
    bool differs() const;

    QLineEdit *textParent = nullptr;
    QLineEdit *textCode = nullptr;
    QPlainTextEdit *textTitle = nullptr;
    QPushButton *btnSave = nullptr;
    // Why the top entry has no code; shown for it only.
    QLabel *topNote = nullptr;

    // The entry is (or, added, becomes) the top of the tree; set by the opener before
    // awakeFromNib().
    void setTopEntry(bool top) { m_topEntry = top; }
    bool isTopEntry() const { return m_topEntry; }

    // Something typed that closing would lose: a change to the standard, or any text for a new one.
    bool hasEdits() const;

private:
    void textChanged();
    TreeNodePtr parentNode() const;

    int m_curState = 0; // 0 edit, 1 add
    TreeNodePtr m_nodeToSetting;
    TreeNodePtr m_nodeToAdd;
    TreeNodePtr m_addParent;
    bool m_topEntry = false;
    class EditHold *m_hold = nullptr;
};
