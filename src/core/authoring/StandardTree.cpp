#include "StandardTree.h"

#include "core/store/GlobalFunctions.h"
#include "platform/AtomicFile.h"
#include "platform/Log.h"

#include <QFileInfo>

#include <pugixml.hpp>

#include <functional>

namespace {

const char *const kTitle = "Title";
const char *const kTopName = "__";

bool readElement(const pugi::xml_node &element, const TreeNodePtr &parent, const QString &presetCode,
                 TreeNodePtr *pick, QString *missingTitle)
{
    const pugi::xml_attribute title = element.attribute(kTitle);
    const QString name = QString::fromUtf8(element.name());
    if (!title) {
        *missingTitle = name;
        return false;
    }
    bool hasChildren = false;
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            hasChildren = true;
    const QString code = name == QLatin1String(kTopName) ? QString() : name.mid(1);
    const StandardNodeData data(code, QString::fromUtf8(title.value()), !hasChildren);
    TreeNodePtr node = TreeNode::treeNodeWithData(QVariant::fromValue(data));
    parent->addChild(node);
    if (!presetCode.isEmpty() && code == presetCode && pick)
        *pick = node; // the last one wins
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && !readElement(child, node, presetCode, pick, missingTitle))
            return false;
    return true;
}

void writeElement(pugi::xml_node parent, const TreeNodePtr &node)
{
    const StandardNodeData d = StandardTree::data(node);
    pugi::xml_node element = parent.append_child(GlobalFunctions::utf8(QLatin1Char('_') + d.name()).c_str());
    element.append_attribute(kTitle).set_value(GlobalFunctions::utf8(d.title()).c_str());
    for (const TreeNodePtr &child : node->children())
        writeElement(element, child);
}

QStringList words(QString text)
{
    for (QChar c : QStringLiteral(",?:!()."))
        text.remove(c);
    return text.split(QLatin1Char(' '));
}

} // namespace

StandardNodeData StandardTree::data(const TreeNodePtr &node)
{
    return node ? node->nodeData().value<StandardNodeData>() : StandardNodeData();
}

void StandardTree::setData(const TreeNodePtr &node, const StandardNodeData &data)
{
    if (node)
        node->setNodeData(QVariant::fromValue(data));
}

void StandardTree::setCellState(const TreeNodePtr &node, int state)
{
    StandardNodeData d = data(node);
    d.setCellState(state);
    setData(node, d);
}

StandardTree::Read StandardTree::readFromXml(const QString &path, const TreeNodePtr &root, const QString &presetCode,
                                             TreeNodePtr *pick, QString *errorText)
{
    if (pick)
        *pick = nullptr;
    if (!QFileInfo(path).isFile())
        return Read::Missing;
    pugi::xml_document doc;
    QString parseError;
    if (!GlobalFunctions::loadXmlFile(path, doc, &parseError) || !doc.document_element()) {
        PollixLog(QStringLiteral("Initialization fails because of %1.").arg(parseError));
        if (errorText)
            *errorText = parseError.isEmpty() ? QStringLiteral("no XML document") : parseError;
        return Read::Failed;
    }
    QString missingTitle;
    TreeNodePtr found;
    const bool whole = readElement(doc.document_element(), root, presetCode, &found, &missingTitle);
    // One standard is picked at a time: only the last with the code is ticked.
    if (found) {
        setCellState(found, 1);
        if (pick)
            *pick = found;
    }
    if (!whole) {
        if (errorText)
            *errorText = QStringLiteral("the element \"%1\" has no Title").arg(missingTitle);
        return Read::Failed;
    }
    return Read::Done;
}

QByteArray StandardTree::xmlData(const TreeNodePtr &top)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(kTopName);
    root.append_attribute(kTitle).set_value(GlobalFunctions::utf8(data(top).title()).c_str());
    for (const TreeNodePtr &child : top->children())
        writeElement(root, child);
    return GlobalFunctions::xmlData(doc);
}

bool StandardTree::writeToXML(const TreeNodePtr &top, const QString &path, QString *errorText)
{
    if (!top) {
        if (errorText)
            *errorText = QStringLiteral("There are no standards to write.");
        return false;
    }
    if (QFileInfo(path).isDir()) {
        if (errorText)
            *errorText = QStringLiteral("%1 is a folder.").arg(path);
        return false;
    }
    return AtomicFile::write(path, xmlData(top), errorText);
}

QList<TreeNodePtr> StandardTree::searchByCode(const TreeNodePtr &top, const QString &text)
{
    QList<TreeNodePtr> hits;
    const std::function<void(const TreeNodePtr &)> scan = [&](const TreeNodePtr &parent) {
        for (const TreeNodePtr &node : parent->children()) {
            if (data(node).name().trimmed() == text) {
                hits.append(node);
                return; // the rest of this list is not looked at
            }
            if (node->numberOfChildren() > 0)
                scan(node);
        }
    };
    if (top)
        scan(top);
    return hits;
}

QList<TreeNodePtr> StandardTree::searchByTitle(const TreeNodePtr &top, const QString &text)
{
    QList<TreeNodePtr> hits;
    const std::function<void(const TreeNodePtr &)> scan = [&](const TreeNodePtr &parent) {
        for (const TreeNodePtr &node : parent->children()) {
            if (titleMatches(data(node).title(), text))
                hits.append(node);
            if (node->numberOfChildren() > 0)
                scan(node);
        }
    };
    if (top)
        scan(top);
    return hits;
}

bool StandardTree::titleMatches(const QString &title, const QString &text)
{
    const QStringList titleWords = words(title);
    for (const QString &word : words(text)) {
        bool found = false;
        for (const QString &candidate : titleWords)
            if (candidate.compare(word, Qt::CaseInsensitive) == 0) {
                found = true;
                break;
            }
        if (!found)
            return false;
    }
    return true;
}

void StandardTree::tickWithPropagation(const TreeNodePtr &node, int state)
{
    const std::function<void(const TreeNodePtr &)> down = [&](const TreeNodePtr &n) {
        setCellState(n, state);
        for (const TreeNodePtr &child : n->children())
            down(child);
    };
    down(node);
    for (TreeNodePtr up = node->nodeParent(); up && up->nodeData().isValid(); up = up->nodeParent()) {
        bool all = true;
        for (const TreeNodePtr &child : up->children())
            all = all && data(child).cellState() == state;
        setCellState(up, all ? state : -1);
    }
}

void StandardTree::untickAll(const TreeNodePtr &node)
{
    if (!node)
        return;
    setCellState(node, 0);
    for (const TreeNodePtr &child : node->children())
        untickAll(child);
}

TreeNodePtr StandardTree::selectedCopy(const TreeNodePtr &top)
{
    if (!top || data(top).cellState() == 0)
        return nullptr;
    const std::function<TreeNodePtr(const TreeNodePtr &)> copy = [&](const TreeNodePtr &node) {
        TreeNodePtr c = TreeNode::treeNodeWithData(QVariant::fromValue(data(node).copy()));
        for (const TreeNodePtr &child : node->children())
            if (data(child).cellState() != 0)
                c->addChild(copy(child));
        return c;
    };
    return copy(top);
}

QString StandardTree::cleanTitle(const QString &title)
{
    QString t = title.trimmed();
    t.remove(QLatin1Char('\n'));
    return t;
}

StandardTree::Clash StandardTree::siblingClash(const TreeNodePtr &parent, const TreeNodePtr &self, const QString &code,
                                               const QString &title)
{
    if (!parent)
        return Clash::None;
    for (const TreeNodePtr &sibling : parent->children()) {
        if (sibling == self)
            continue;
        const StandardNodeData d = data(sibling);
        if (d.name() == code)
            return Clash::Code;
        if (d.title() == title)
            return Clash::Title;
    }
    return Clash::None;
}
