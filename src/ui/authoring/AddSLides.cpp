#include "AddSLides.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/QuestionInfoRules.h"
#include "core/authoring/TemplateData.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/DialogHooks.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kIndexRole = Qt::UserRole;

QTreeWidgetItem *itemFor(const TemplateData::Node &node)
{
    auto *item = new QTreeWidgetItem(QStringList{node.data.name()});
    item->setData(0, kIndexRole, node.data.isLeaf() ? node.data.index() : -1);
    for (const TemplateData::Node &child : node.children)
        item->addChild(itemFor(child));
    return item;
}
} // namespace

AddSLides::Hooks &AddSLides::hooks()
{
    static Hooks h;
    return h;
}

AddSLides::AddSLides(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AddSlides"));
    setWindowTitle(tr("Add Template"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    outlineView = new QTreeWidget(this);
    outlineView->setObjectName(QStringLiteral("outlineView"));
    outlineView->setHeaderHidden(true);
    outlineView->setColumnCount(1);
    outlineView->setMinimumSize(300, 380);
    connect(outlineView, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { ovClick(item); });
    connect(outlineView, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { ovDoubleClick(item); });
    connect(outlineView, &QTreeWidget::currentItemChanged, this, [this] { updateAddButton(); });

    btnAdd = new QPushButton(tr("Add"), this);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnAdd->setDefault(true);
    connect(btnAdd, &QPushButton::clicked, this, &AddSLides::doAdd);
    auto *btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);

    m_hint = new QLabel(tr("Double-click a template to add it."), this);
    m_hint->setObjectName(QStringLiteral("hint"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_hint, 1);
    buttons->addWidget(btnClose);
    buttons->addWidget(btnAdd);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(outlineView, 1);
    layout->addLayout(buttons);
}

void AddSLides::setAddType(int type)
{
    nAddType = type;
}

void AddSLides::awakeFromNib()
{
    outlineView->clear();
    m_clicked = nullptr;
    m_nSelectedRow = -1;
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const int deviceType = app ? app->currentDeviceType() : -1;
    QTreeWidgetItem *top = itemFor(TemplateData::templateTree(nAddType, deviceType));
    outlineView->addTopLevelItem(top);
    top->setExpanded(true);
    for (int i = 0; i < top->childCount(); ++i)
        if (top->child(i)->text(0) == QLatin1String("Selection"))
            top->child(i)->setExpanded(true);
    if (nAddType == 1 && hooks().slideCount)
        m_nQueSum = hooks().slideCount();
    updateAddButton();
}

void AddSLides::updateAddButton()
{
    const QTreeWidgetItem *item = outlineView->currentItem();
    const bool slides = nAddType == 0 || nAddType == 1;
    // A group row ("All Templates", "Selection") is no template: Add would do nothing.
    const bool template_ = item && item->data(0, kIndexRole).toInt() >= 0;
    const bool full = nAddType == 1 && m_nQueSum > QuestionInfoRules::kMaxPages - 1;
    // Without a presentation there is nothing to copy slides into.
    btnAdd->setEnabled(template_ && !full && !(slides && !hooks().copyAndPasteSlide));
}

int AddSLides::runForAddType()
{
    if (outlineView->topLevelItemCount() == 0)
        awakeFromNib();
    if (nAddType == 0) {
        show();
        return 0;
    }
    return DialogHooks::runModal(this);
}

void AddSLides::ovClick(QTreeWidgetItem *item)
{
    m_clicked = item;
    if (item && outlineView->currentItem() != item)
        outlineView->setCurrentItem(item);
    m_nSelectedRow = item ? outlineView->indexFromItem(item).row() : -1;
    // The row among all rows shown, as the outline counts them.
    if (item) {
        int row = 0;
        for (QTreeWidgetItemIterator it(outlineView); *it && *it != item; ++it)
            if (!(*it)->isHidden())
                ++row;
        m_nSelectedRow = row;
    }
}

void AddSLides::ovDoubleClick(QTreeWidgetItem *item)
{
    ovClick(item);
    add();
}

void AddSLides::doAdd()
{
    // The row the teacher sees chosen, whether reached by a click or by the arrow keys.
    ovClick(outlineView->currentItem());
    add();
}

void AddSLides::add()
{
    if (m_nSelectedRow < 0 || !m_clicked)
        return;
    if (nAddType == 1 && m_nQueSum > QuestionInfoRules::kMaxPages - 1)
        return;
    const int index = m_clicked->data(0, kIndexRole).toInt();
    if (index < 0)
        return;
    const bool slides = nAddType == 0 || nAddType == 1;
    if (slides && !(hooks().copyAndPasteSlide && hooks().copyAndPasteSlide(index)))
        return;
    ++m_nQueSum;
    m_bIsPPTChanged = true;
    updateAddButton();
    auto *center = NotificationCenter::defaultCenter();
    const QVariantMap info{{Notify::Key::PptState, m_bIsPPTChanged ? 1 : 0}, {Notify::Key::SelectIndex, index}};
    switch (nAddType) {
    case 0:
        // No slide of the deck is on screen here: the count is the teacher's sign that it grew.
        if (hooks().slideCount) {
            const int n = hooks().slideCount();
            m_hint->setText(n == 1 ? tr("Added. The deck holds 1 slide.") : tr("Added. The deck holds %1 slides.").arg(n));
        }
        center->postNotification(Notify::PPTTabCtrlAddTemplateOver, info);
        break;
    case 1:
        center->postNotification(Notify::PPTEditAddTemplateOver, info);
        close();
        break;
    case 2:
        center->postNotification(Notify::PXAddTemplateOver, info);
        close();
        break;
    default:
        center->postNotification(Notify::PXAddTemplate, {{Notify::Key::SelectIndex, index}});
        break;
    }
}

bool AddSLides::windowShouldClose()
{
    if (nAddType == 0)
        NotificationCenter::defaultCenter()->postNotification(Notify::AddOver);
    else
        done(0);
    return true;
}

void AddSLides::reject()
{
    close();
}

void AddSLides::closeEvent(QCloseEvent *event)
{
    windowShouldClose();
    event->accept();
}
