#include "StandardSettingController.h"

#include "core/authoring/StandardTree.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TextFormatter.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kAlertTitle = QStringLiteral("Pollix ARS");

// A standard's code: letters, digits and "." only, 20 at most; anything else is refused as typed.
class StandardCodeFormatter : public TextFormatter
{
public:
    using TextFormatter::TextFormatter;
    Verdict isPartialStringValid(const QString &proposed, const QString &) const override
    {
        if (proposed.size() > StandardTree::kMaxCodeLength)
            return {false, {}, {}};
        for (QChar c : proposed)
            if (!StandardTree::isCodeCharacter(c))
                return {false, {}, {}};
        return {};
    }
};
} // namespace

StandardSettingController::StandardSettingController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("StandardSetting"));
    setWindowTitle(tr("Standard Setting"));
    textParent = new QLineEdit(this);
    textParent->setObjectName(QStringLiteral("textParent"));
    textParent->setReadOnly(true);
    QPalette pal = textParent->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    textParent->setPalette(pal);
    textCode = new QLineEdit(this);
    textCode->setObjectName(QStringLiteral("textCode"));
    (new StandardCodeFormatter(textCode))->attachTo(textCode);
    textTitle = new QPlainTextEdit(this);
    textTitle->setObjectName(QStringLiteral("textTitle"));
    textTitle->setFixedHeight(70);
    topNote = new QLabel(tr("This is the top entry: it names the whole set of standards and has no code. "
                            "Add the standards, each with its code, below it."),
                         this);
    topNote->setObjectName(QStringLiteral("topNote"));
    topNote->setWordWrap(true);
    topNote->hide();
    auto *form = new QFormLayout;
    form->addRow(tr("Parent:"), textParent);
    form->addRow(tr("Code:"), textCode);
    form->addRow(tr("Title:"), textTitle);
    form->addRow(topNote);

    btnSave = new QPushButton(tr("Save"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->setDefault(true);
    btnSave->setEnabled(false);
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    buttons->addWidget(btnSave);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(420, sizeHint().height());

    connect(textCode, &QLineEdit::textChanged, this, &StandardSettingController::textChanged);
    connect(textTitle, &QPlainTextEdit::textChanged, this, &StandardSettingController::textChanged);
    connect(btnSave, &QPushButton::clicked, this, &StandardSettingController::doSave);
    connect(close, &QPushButton::clicked, this, &StandardSettingController::doClose);
    m_hold = new EditHold(this, [this] { return hasEdits(); }, [this] {
        return EditHold::askLeave(this, kAlertTitle, tr("Are you sure to quit without saving?"), {tr("Yes"), tr("No")});
    });
}

void StandardSettingController::setNodeToSetting(const TreeNodePtr &node)
{
    m_curState = 0;
    m_nodeToSetting = node;
}

void StandardSettingController::setNodeToAdd(const TreeNodePtr &parent)
{
    m_curState = 1;
    m_addParent = parent;
    m_nodeToAdd = TreeNode::create();
}

TreeNodePtr StandardSettingController::parentNode() const
{
    return m_curState == 1 ? m_addParent : (m_nodeToSetting ? m_nodeToSetting->nodeParent() : nullptr);
}

void StandardSettingController::awakeFromNib()
{
    const TreeNodePtr parent = parentNode();
    textParent->setText(parent && parent->nodeData().isValid() ? StandardTree::data(parent).title() : QString());
    if (m_curState == 0 && m_nodeToSetting) {
        const StandardNodeData d = StandardTree::data(m_nodeToSetting);
        textCode->setText(d.name());
        textTitle->setPlainText(d.title());
    }
    const bool top = isTopEntry();
    if (top)
        textCode->clear();
    textCode->setEnabled(!top);
    textCode->setPlaceholderText(top ? tr("none") : QString());
    topNote->setVisible(top);
    // Tall enough for the note's lines at the window's width.
    layout()->activate();
    resize(width(), std::max(sizeHint().height(), heightForWidth(width())));
    textChanged();
}

bool StandardSettingController::differs() const
{
    if (m_curState == 1 || !m_nodeToSetting)
        return true;
    const StandardNodeData d = StandardTree::data(m_nodeToSetting);
    return textCode->text().trimmed() != d.name().trimmed() || textTitle->toPlainText().trimmed() != d.title().trimmed();
}

void StandardSettingController::textChanged()
{
    btnSave->setEnabled((isTopEntry() || !textCode->text().trimmed().isEmpty())
                        && !textTitle->toPlainText().trimmed().isEmpty() && differs());
}

void StandardSettingController::doSave()
{
    const QString code = isTopEntry() ? QString() : textCode->text().trimmed();
    const QString title = StandardTree::cleanTitle(textTitle->toPlainText());
    if ((code.isEmpty() && !isTopEntry()) || title.isEmpty())
        return;
    const TreeNodePtr self = m_curState == 1 ? nullptr : m_nodeToSetting;
    switch (StandardTree::siblingClash(parentNode(), self, code, title)) {
    case StandardTree::Clash::Code:
        PollixAlert::show(this, kAlertTitle,
                          tr("A standard with code \"%1\" already exists under this state standard. Please enter a "
                             "unique standard code.").arg(code));
        return;
    case StandardTree::Clash::Title:
        PollixAlert::show(this, kAlertTitle,
                          tr("A standard titled \"%1\" already exists under this state standard. Please enter a "
                             "unique standard title.").arg(title));
        return;
    case StandardTree::Clash::None:
        break;
    }
    if (m_curState == 1) {
        StandardTree::setData(m_nodeToAdd, StandardNodeData::leafDataWithName(code, title));
    } else {
        StandardNodeData d = StandardTree::data(m_nodeToSetting);
        d.setName(code);
        d.setTitle(title);
        StandardTree::setData(m_nodeToSetting, d);
    }
    done(1);
}

void StandardSettingController::doClose()
{
    m_hold->leave(0);
}

bool StandardSettingController::hasEdits() const
{
    if (m_curState == 1 || !m_nodeToSetting)
        return !textCode->text().trimmed().isEmpty() || !textTitle->toPlainText().trimmed().isEmpty();
    return differs();
}
