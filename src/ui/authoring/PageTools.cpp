#include "PageTools.h"

#include "Questions.h"
#include "SmallQuestions.h"

#include "core/engine/FreeStyleRules.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/AppIcons.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// A caption under a control greys with it, as the captions of the toolbar's own buttons do.
class CaptionFollowsControl : public QObject
{
public:
    CaptionFollowsControl(QWidget *control, QLabel *caption) : QObject(caption), m_caption(caption)
    {
        control->installEventFilter(this);
        caption->setEnabled(control->isEnabled());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            m_caption->setEnabled(static_cast<QWidget *>(watched)->isEnabled());
        return false;
    }

private:
    QLabel *m_caption;
};
} // namespace

QAction *PageTools::addAction(QToolBar *bar, const char *name, const QString &text, const char *icon)
{
    auto *a = new QAction(AppIcons::icon(QString::fromLatin1(icon)), text, bar);
    a->setObjectName(QString::fromLatin1(name));
    bar->addAction(a);
    bar->widgetForAction(a)->setObjectName(QString::fromLatin1(name) + QStringLiteral("Button"));
    return a;
}

QToolButton *PageTools::addToolButton(QToolBar *bar, const char *name, const QString &text, const char *icon)
{
    auto *b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setIcon(AppIcons::icon(QString::fromLatin1(icon)));
    b->setIconSize(bar->iconSize());
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

QWidget *PageTools::labelled(const QString &text, QWidget *control, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(2);
    layout->addWidget(control);
    auto *label = new QLabel(text, box);
    label->setAlignment(Qt::AlignHCenter);
    layout->addWidget(label);
    new CaptionFollowsControl(control, label);
    return box;
}

QComboBox *PageTools::makeToolPopup(QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QStringLiteral("pubControl"));
    c->addItems({QObject::tr("Select"), QObject::tr("Text Frame"), QObject::tr("Pen")});
    return c;
}

QComboBox *PageTools::makePenSizePopup(QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QStringLiteral("pubControlPenSize"));
    c->addItems({QObject::tr("Thin"), QObject::tr("Medium"), QObject::tr("Thick"), QObject::tr("Heavy")});
    return c;
}

QToolButton *PageTools::makeAlignAndSizeButton(QToolBar *bar, Questions *canvas)
{
    auto *b = new QToolButton(bar);
    b->setObjectName(QStringLiteral("pubControlAlignAndSize"));
    b->setText(QObject::tr("Arrange"));
    b->setIcon(AppIcons::icon(QStringLiteral("align.png")));
    b->setIconSize(bar->iconSize());
    b->setToolButtonStyle(bar->toolButtonStyle());
    b->setAutoRaise(true);
    b->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(b);
    const QList<std::pair<QString, void (Questions::*)()>> items{
        {QObject::tr("Align Left"), &Questions::onAlignLeft},     {QObject::tr("Align Right"), &Questions::onAlignRight},
        {QObject::tr("Align Top"), &Questions::onAlignTop},       {QObject::tr("Align Bottom"), &Questions::onAlignBottom},
        {QObject::tr("Same Width"), &Questions::onMakeSameWidth}, {QObject::tr("Same Height"), &Questions::onMakeSameHeight},
        {QObject::tr("Same Size"), &Questions::onMakeSameSize}};
    for (const auto &[text, slot] : items)
        QObject::connect(menu->addAction(text), &QAction::triggered, canvas, [canvas, slot = slot] { (canvas->*slot)(); });
    b->setMenu(menu);
    return b;
}

void PageTools::selectTool(Questions *canvas, int entry)
{
    switch (entry) {
    case 0:
        canvas->setCursor();
        canvas->QWidget::setCursor(Qt::ArrowCursor);
        break;
    case 1:
        canvas->setTextFrame();
        canvas->QWidget::setCursor(Qt::CrossCursor);
        break;
    case 2:
        canvas->setPen();
        canvas->QWidget::setCursor(Qt::ArrowCursor);
        break;
    default:
        break;
    }
}

void PageTools::selectPenSize(Questions *canvas, int entry)
{
    canvas->onPenSize(FreeStyleRules::penWidth(entry));
}

void PageTools::applyTextFormat(Questions *canvas, const QTextCharFormat &format)
{
    QuestionSetView *page = canvas->currentPage();
    if (!page)
        return;
    QTextEdit *editor = canvas->textEditor();
    if (editor->isVisible()) {
        // The box being edited: its selection, or what is typed next.
        editor->mergeCurrentCharFormat(format);
    } else {
        for (int i : page->selectedIndexs()) {
            QTextCursor cursor(page->cellArray()[i]->textview()->document());
            cursor.select(QTextCursor::Document);
            cursor.mergeCharFormat(format);
        }
    }
    NotificationCenter::defaultCenter()->postNotification(Notify::ChangeQuestionContent, {}, page);
    canvas->update();
}
