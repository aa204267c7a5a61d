#include "StandardController.h"

#include "StandardImportController.h"
#include "StandardOutlineModel.h"
#include "StandardSettingController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/StandardTree.h"
#include "core/store/GlobalFunctions.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/SearchField.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
const QString kAlertTitle = QStringLiteral("Pollix ARS");

QString standardsPath()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    return app ? app->strStandardFilePath() : QString();
}
} // namespace

StandardController::StandardController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Standard"));
    setWindowTitle(tr("Curriculum Standards"));
    m_root = TreeNode::create();

    cmbSerchSelect = new QComboBox(this);
    cmbSerchSelect->setObjectName(QStringLiteral("cmbSerchSelect"));
    textSerchContent = new SearchField(this);
    textSerchContent->setObjectName(QStringLiteral("textSerchContent"));
    textSerchContent->setPlaceholderText(tr("Search"));
    auto *search = new QPushButton(tr("Search"), this);
    search->setObjectName(QStringLiteral("btnSearch"));
    search->setAutoDefault(false);
    auto *head = new QHBoxLayout;
    head->addWidget(cmbSerchSelect);
    head->addWidget(textSerchContent, 1);
    head->addWidget(search);

    outlineView = StandardOutlineModel::makeView(this, m_root, &model);
    outlineView->setExpandsOnDoubleClick(false);
    readMessage = new QLabel(this);
    readMessage->setObjectName(QStringLiteral("readMessage"));
    readMessage->setWordWrap(true);
    readMessage->hide();

    const auto button = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    auto *add = button("btnAdd", tr("Add..."));
    auto *remove = button("btnDelete", tr("Delete"));
    auto *import = button("btnImport", tr("Import..."));
    auto *exportButton = button("btnExport", tr("Export..."));
    btnSave = button("btnSave", tr("Save"));
    btnSave->setEnabled(false);
    auto *close = button("btnClose", tr("Close"));
    btnOK = button("btnOK", tr("OK"));
    btnOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {add, remove, import, exportButton, btnSave})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(close);
    buttons->addWidget(btnOK);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(outlineView, 1);
    layout->addWidget(readMessage);
    layout->addLayout(buttons);

    connect(model, &StandardOutlineModel::checkClicked, this, &StandardController::tick);
    connect(outlineView, &QTreeView::doubleClicked, this, [this](const QModelIndex &i) { edit(model->nodeForIndex(i)); });
    connect(search, &QPushButton::clicked, this, &StandardController::doSearch);
    connect(textSerchContent, &QLineEdit::returnPressed, this, &StandardController::doSearch);
    connect(add, &QPushButton::clicked, this, &StandardController::doAdd);
    connect(remove, &QPushButton::clicked, this, &StandardController::doDelete);
    connect(import, &QPushButton::clicked, this, &StandardController::doImport);
    connect(exportButton, &QPushButton::clicked, this, &StandardController::doExport);
    connect(btnSave, &QPushButton::clicked, this, &StandardController::doSave);
    connect(close, &QPushButton::clicked, this, &StandardController::doClose);
    // OK, Close, Escape and the close box all ask before unsaved changes to the tree are lost.
    m_hold = new EditHold(this, [this] { return m_changed; }, [this] {
        return EditHold::askLeave(this, kAlertTitle, tr("Are you sure to quit without saving?"), {tr("Yes"), tr("No")});
    });
    connect(btnOK, &QPushButton::clicked, this, &StandardController::doOK);
}

TreeNodePtr StandardController::topNode() const
{
    return StandardTree::top(m_root);
}

void StandardController::awakeFromNib()
{
    m_loaded = true;
    QString why;
    const StandardTree::Read read = StandardTree::readFromXml(standardsPath(), m_root, m_standardName, &m_nodeSelected, &why);
    model->setRootNode(m_root);
    // A file that is there but could not be read whole must not be replaced by what was read.
    m_mayWrite = read != StandardTree::Read::Failed;
    if (!m_mayWrite) {
        readMessage->setText(tr("The standards file could not be read (%1); changes to it cannot be saved.").arg(why));
        readMessage->show();
    }
    m_initStandardNode = m_nodeSelected;
    outlineView->expand(model->indexForNode(topNode()));
    if (m_nodeSelected)
        revealNode(m_nodeSelected);
    cmbSerchSelect->clear();
    cmbSerchSelect->addItems({tr("Code"), tr("Title")});
    cmbSerchSelect->setCurrentIndex(0);
    btnOK->setEnabled(false);
}

int StandardController::exec()
{
    if (!m_loaded)
        awakeFromNib();
    return QDialog::exec();
}

void StandardController::revealNode(const TreeNodePtr &node)
{
    QList<TreeNodePtr> ancestors;
    for (TreeNodePtr up = node->nodeParent(); up && up != m_root; up = up->nodeParent())
        ancestors.prepend(up);
    for (const TreeNodePtr &a : ancestors)
        outlineView->expand(model->indexForNode(a));
    outlineView->scrollTo(model->indexForNode(node));
}

QString StandardController::standardNameSelected() const
{
    return m_nodeSelected ? GlobalFunctions::toXmlString(StandardTree::data(m_nodeSelected).name()) : QStringLiteral(" ");
}

QString StandardController::standardTitleSelected() const
{
    return m_nodeSelected ? GlobalFunctions::toXmlString(StandardTree::data(m_nodeSelected).title()) : QStringLiteral(" ");
}

void StandardController::setChanged(bool changed)
{
    m_changed = changed;
    btnSave->setEnabled(changed && m_mayWrite);
}

void StandardController::tick(const TreeNodePtr &node, int state)
{
    if (!node)
        return;
    StandardTree::setCellState(node, state);
    const bool wasPick = node == m_nodeSelected;
    if (m_nodeSelected && !wasPick)
        StandardTree::setCellState(m_nodeSelected, 0);
    m_nodeSelected = wasPick ? nullptr : node;
    // The whole set (the top node, without a code) is no standard to tag a question with.
    btnOK->setEnabled(!StandardTree::data(node).name().isEmpty());
    model->refresh();
}

void StandardController::edit(const TreeNodePtr &node)
{
    if (!node)
        return;
    StandardSettingController settings(this);
    settings.setNodeToSetting(node);
    settings.setTopEntry(node == topNode());
    settings.awakeFromNib();
    if (DialogHooks::runModal(&settings) != 1)
        return;
    if (m_nodeSelected)
        StandardTree::setCellState(m_nodeSelected, 0);
    StandardTree::setCellState(node, 1);
    m_nodeSelected = node;
    model->refresh();
    setChanged(true);
}

TreeNodePtr StandardController::targetNode() const
{
    const TreeNodePtr selected = model->nodeForIndex(outlineView->currentIndex());
    if (selected && outlineView->selectionModel()->isSelected(outlineView->currentIndex()))
        return selected;
    if (TreeNodePtr top = topNode())
        return top;
    return m_root;
}

void StandardController::doAdd()
{
    const TreeNodePtr parent = targetNode();
    StandardSettingController settings(this);
    settings.setNodeToAdd(parent);
    settings.setTopEntry(parent == m_root);
    settings.awakeFromNib();
    if (DialogHooks::runModal(&settings) != 1)
        return;
    model->appendChild(parent, settings.nodeToAdd());
    if (parent != m_root) {
        StandardNodeData d = StandardTree::data(parent);
        d.setIsLeaf(false);
        StandardTree::setData(parent, d);
    }
    outlineView->expand(model->indexForNode(parent));
    // The pick stays the pick, and stays ticked: what OK gives back is what the teacher sees.
    if (m_nodeSelected)
        outlineView->scrollTo(model->indexForNode(m_nodeSelected));
    setChanged(true);
}

void StandardController::doDelete()
{
    const QModelIndex current = outlineView->currentIndex();
    const TreeNodePtr node = model->nodeForIndex(current);
    if (!node || !outlineView->selectionModel()->isSelected(current)) {
        PollixAlert::show(this, kAlertTitle, tr("Please select the standard which you want to delete."));
        return;
    }
    if (PollixAlert::show(this, kAlertTitle, tr("Are you sure to delete this standard?"), {tr("Yes"), tr("No")}, {},
                          PollixAlert::Default::LeavesAsIs)
        != PollixAlert::AlertFirstButtonReturn)
        return;
    // The pick may be the standard itself or below it.
    for (TreeNodePtr n = m_nodeSelected; n; n = n->nodeParent())
        if (n == node) {
            m_nodeSelected = nullptr;
            break;
        }
    const TreeNodePtr parent = node->nodeParent();
    model->removeNode(node);
    if (parent && parent != m_root && parent->numberOfChildren() == 0) {
        StandardNodeData d = StandardTree::data(parent);
        d.setIsLeaf(true);
        StandardTree::setData(parent, d);
    }
    // Hits may have gone with the standard: the marks start again.
    m_arraySearchNode.clear();
    model->setHits({});
    setChanged(true);
    btnOK->setEnabled(false);
}

void StandardController::doImport()
{
    const TreeNodePtr target = targetNode();
    StandardImportController import(this);
    import.awakeFromNib();
    if (DialogHooks::runModal(&import) != 1 || !import.standardsSelected())
        return;
    const TreeNodePtr selection = import.standardsSelected();
    model->appendChild(target, selection);
    if (target != m_root) {
        StandardNodeData d = StandardTree::data(target);
        d.setIsLeaf(false);
        StandardTree::setData(target, d);
    }
    outlineView->expand(model->indexForNode(target));
    outlineView->scrollTo(model->indexForNode(selection));
    setChanged(true);
}

void StandardController::doExport()
{
    const QString path = FileDialogs::getSaveFileName(this, tr("Export Standards"), FileDialogs::Kind::Standards,
                                                      tr("XML files (*.xml)"));
    if (path.isEmpty())
        return;
    const QString target = path.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".xml");
    QString why;
    if (!StandardTree::writeToXML(topNode(), target, &why)) {
        PollixAlert::show(this, kAlertTitle, tr("The standards could not be exported."), {tr("OK")}, why);
        return;
    }
    PollixAlert::show(this, kAlertTitle, tr("Exported Successfully."), {tr("OK")}, PollixAlert::savedTo(target));
}

void StandardController::doSave()
{
    if (!m_mayWrite)
        return;
    QString why;
    if (!StandardTree::writeToXML(topNode(), standardsPath(), &why)) {
        PollixAlert::show(this, kAlertTitle, tr("The standards could not be saved."), {tr("OK")}, why);
        return;
    }
    setChanged(false);
}

void StandardController::doOK()
{
    if (!m_hold->mayLeave())
        return;
    done(1);
}

void StandardController::doClose()
{
    m_hold->leave(0);
}

void StandardController::done(int result)
{
    if (result != 1)
        m_nodeSelected = m_initStandardNode;
    QDialog::done(result);
}

void StandardController::doSearch()
{
    m_arraySearchNode.clear();
    const QString text = textSerchContent->text().trimmed();
    if (text.isEmpty()) {
        model->setHits({});
        return;
    }
    m_arraySearchNode = cmbSerchSelect->currentIndex() == 0 ? StandardTree::searchByCode(topNode(), text)
                                                            : StandardTree::searchByTitle(topNode(), text);
    for (const TreeNodePtr &hit : m_arraySearchNode)
        revealNode(hit);
    model->setHits(m_arraySearchNode);
    m_bSerachFindResult = !m_arraySearchNode.isEmpty();
    if (!m_bSerachFindResult)
        PollixAlert::show(this, QStringLiteral("Pollix"), tr("Your search standard is not found."));
}
