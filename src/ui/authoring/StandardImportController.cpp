#include "StandardImportController.h"

#include "StandardOutlineModel.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/StandardTree.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/PollixAlert.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

StandardImportController::StandardImportController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("StandardImport"));
    setWindowTitle(tr("Import Standards"));
    m_root = TreeNode::create();

    txtTemplate = new QLineEdit(this);
    txtTemplate->setObjectName(QStringLiteral("txtTemplate"));
    txtTemplate->setReadOnly(true);
    auto *browse = new QPushButton(tr("Browse..."), this);
    browse->setObjectName(QStringLiteral("btnBrowse"));
    auto *head = new QHBoxLayout;
    head->addWidget(new QLabel(tr("Template:"), this));
    head->addWidget(txtTemplate, 1);
    head->addWidget(browse);

    outlineView = StandardOutlineModel::makeView(this, m_root, &model);
    connect(model, &StandardOutlineModel::checkClicked, this, &StandardImportController::tick);

    auto *clearStandards = new QPushButton(tr("Clear Standards"), this);
    clearStandards->setObjectName(QStringLiteral("btnClearStandards"));
    auto *clearSelected = new QPushButton(tr("Clear Selected"), this);
    clearSelected->setObjectName(QStringLiteral("btnClearSelected"));
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(clearStandards);
    buttons->addWidget(clearSelected);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(outlineView, 1);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &StandardImportController::doBrowse);
    connect(clearStandards, &QPushButton::clicked, this, &StandardImportController::doClearStandards);
    connect(clearSelected, &QPushButton::clicked, this, &StandardImportController::doClearSelected);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &StandardImportController::doOK);
}

void StandardImportController::awakeFromNib()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (!app)
        return;
    const QString path = QStringLiteral("%1Template_Import.xml").arg(app->strPollixFilePath());
    if (StandardTree::readFromXml(path, m_root) == StandardTree::Read::Done)
        txtTemplate->setText(path);
    else
        m_root->removeChildren();
    model->setRootNode(m_root);
    outlineView->expandToDepth(0);
}

bool StandardImportController::loadFile(const QString &path, QString *errorText)
{
    m_root->removeChildren();
    const bool read = StandardTree::readFromXml(path, m_root, {}, nullptr, errorText) == StandardTree::Read::Done;
    // Half a file is no template to pick from.
    if (!read)
        m_root->removeChildren();
    model->setRootNode(m_root);
    if (read) {
        txtTemplate->setText(path);
        outlineView->expandToDepth(0);
    }
    return read;
}

void StandardImportController::doBrowse()
{
    const QString path = FileDialogs::getOpenFileName(this, tr("Open Standards"), FileDialogs::Kind::Standards,
                                                      tr("XML files (*.xml)"));
    if (path.isEmpty())
        return;
    QString why;
    if (!loadFile(path, &why)) {
        txtTemplate->clear();
        PollixAlert::show(this, QStringLiteral("Pollix ARS"), tr("Wrong xml template."), {tr("OK")}, why);
    }
}

void StandardImportController::doClearStandards()
{
    m_root->removeChildren();
    model->setRootNode(m_root);
    txtTemplate->clear();
}

void StandardImportController::doClearSelected()
{
    StandardTree::untickAll(StandardTree::top(m_root));
    model->refresh();
}

void StandardImportController::tick(const TreeNodePtr &node, int state)
{
    StandardTree::tickWithPropagation(node, state);
    model->refresh();
}

void StandardImportController::doOK()
{
    m_standardsSelected = StandardTree::selectedCopy(StandardTree::top(m_root));
    done(1);
}
