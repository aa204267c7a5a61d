#pragma once

#include "StandardNodeData.h"

#include "core/base/TreeNode.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The curriculum standards tree and its file. The file is an XML document whose root element
// "__" holds the title of the whole set (the top node) in its attribute "Title"; every standard
// below it is an element "_" + its code with its own "Title", its sub-standards as its child
// elements, in order. The windows keep an invisible root whose one child is the top node.
class StandardTree
{
public:
    StandardTree() = delete;

    static StandardNodeData data(const TreeNodePtr &node);
    static void setData(const TreeNodePtr &node, const StandardNodeData &data);
    static void setCellState(const TreeNodePtr &node, int state);
    // The top node under an invisible root, or null.
    static TreeNodePtr top(const TreeNodePtr &root) { return root ? root->firstChild() : nullptr; }

    enum class Read { Done, Missing, Failed };
    // Reads a file under root. Missing: no file there (the tree stays empty). Failed: the file
    // is no XML, or an element lacks its "Title" (what was read before it stays in the tree);
    // *errorText says why. Every node whose code equals presetCode (when not empty) is ticked and
    // *pick becomes the last of them.
    static Read readFromXml(const QString &path, const TreeNodePtr &root, const QString &presetCode = {},
                            TreeNodePtr *pick = nullptr, QString *errorText = nullptr);
    // The file's bytes for a top node: compact, no indentation.
    static QByteArray xmlData(const TreeNodePtr &top);
    // Replaces the file whole (the document is built first); false with the reason when there
    // is no top node or the file cannot be written, the old file then being as it was.
    static bool writeToXML(const TreeNodePtr &top, const QString &path, QString *errorText = nullptr);

    // Search by code: a depth-first scan below the top node; within one list of siblings the
    // scan stops at the first standard whose trimmed code is the text. By title: every standard
    // whose title matches (titleMatches). The top node itself is never tested.
    static QList<TreeNodePtr> searchByCode(const TreeNodePtr &top, const QString &text);
    static QList<TreeNodePtr> searchByTitle(const TreeNodePtr &top, const QString &text);
    // Every word of the text (",?:!()." removed, split at each blank) equals, ignoring case,
    // some word of the title.
    static bool titleMatches(const QString &title, const QString &text);

    // Ticks or unticks node and all below it; each ancestor takes the value when all its
    // children have it, else becomes mixed (-1).
    static void tickWithPropagation(const TreeNodePtr &node, int state);
    // Unticks node and everything below it.
    static void untickAll(const TreeNodePtr &node);
    // The ticked or mixed part of a tree from its top node, as unticked copies; null when the
    // top node is neither ticked nor mixed.
    static TreeNodePtr selectedCopy(const TreeNodePtr &top);

    // Settings of one standard: a code of at most 20 letters, digits and "."; a title trimmed,
    // line feeds removed; no two siblings with the same code or the same title.
    static constexpr int kMaxCodeLength = 20;
    static bool isCodeCharacter(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('.'); }
    static QString cleanTitle(const QString &title);
    enum class Clash { None, Code, Title };
    // The first sibling under parent (except self) with the same code or title, checked in
    // order, each by code and then by title.
    static Clash siblingClash(const TreeNodePtr &parent, const TreeNodePtr &self, const QString &code,
                              const QString &title);
};
