#include "AnswerSetting.h"

#include "QuizStateWindowController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/ActivityCodes.h"
#include "core/keypad/KeypadMouse.h"
#include "core/keypad/TeacherKeyMap.h"
#include "core/presentation/MouseFunction.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TeacherKeyButtons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kLetters = 10;
QChar letter(int k) { return QChar(u'A' + k); }
} // namespace

AnswerSetting::AnswerSetting(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AnswerSetting"));
    TeacherKeyButtons::watch(this);
    setWindowTitle(tr("Answer Setting"));
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    nDeviceType = appDelegate ? appDelegate->currentDeviceType() : -1;

    auto *root = new QVBoxLayout(this);
    auto *typeBox = new QGroupBox(tr("Question Type"), this);
    typeBox->setObjectName(QStringLiteral("matrixQuestionType"));
    auto *typeRow = new QHBoxLayout(typeBox);
    rowSingle = new QRadioButton(tr("Single Answer"), typeBox);
    rowSingle->setObjectName(QStringLiteral("rowSingle"));
    rowMultiple = new QRadioButton(tr("Multiple Answer"), typeBox);
    rowMultiple->setObjectName(QStringLiteral("rowMultiple"));
    typeRow->addWidget(rowSingle);
    typeRow->addWidget(rowMultiple);
    connect(rowSingle, &QRadioButton::toggled, this, [this] { onChangeQuestionType(); });
    root->addWidget(typeBox);

    // One place for both answer panels, so the dialog keeps its size when the type changes.
    auto *answers = new QWidget(this);
    auto *stack = new QGridLayout(answers);
    stack->setContentsMargins(0, 0, 0, 0);
    singleBox = new QGroupBox(tr("Correct Answer"), answers);
    singleBox->setObjectName(QStringLiteral("singleBox"));
    auto *singleGrid = new QGridLayout(singleBox);
    m_cells = new QButtonGroup(this);
    m_cells->setObjectName(QStringLiteral("matrixCorrectAnswer"));
    multipleBox = new QGroupBox(tr("Correct Answers"), answers);
    multipleBox->setObjectName(QStringLiteral("multipleBox"));
    auto *multipleGrid = new QGridLayout(multipleBox);
    for (int k = 0; k < kLetters; ++k) {
        auto *cell = new QRadioButton(QString(letter(k)), singleBox);
        cell->setObjectName(QStringLiteral("cell%1").arg(letter(k)));
        m_cells->addButton(cell, k);
        singleGrid->addWidget(cell, k / 5, k % 5);
        answerCells << cell;
        auto *check = new QCheckBox(QString(letter(k)), multipleBox);
        check->setObjectName(QStringLiteral("checkBox%1").arg(letter(k)));
        multipleGrid->addWidget(check, k / 5, k % 5);
        checkBoxes << check;
    }
    stack->addWidget(singleBox, 0, 0);
    stack->addWidget(multipleBox, 0, 0);
    root->addWidget(answers);

    auto *pointsRow = new QHBoxLayout;
    pointsRow->addWidget(new QLabel(tr("Points:"), this));
    point = new QLineEdit(this);
    point->setObjectName(QStringLiteral("point"));
    point->setMaximumWidth(80);
    connect(point, &QLineEdit::textEdited, this, [this] { controlTextDidChange(); });
    pointsRow->addWidget(point);
    pointsRow->addStretch(1);
    root->addLayout(pointsRow);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnCancel = new QPushButton(QStringLiteral("\"F2\" Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnOk = new QPushButton(QStringLiteral("  \"F1\" OK  "), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    // OK acts as soon as it is pressed.
    connect(btnOk, &QPushButton::pressed, this, [this] { onOk(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { onCancel(); });
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnOk);
    root->addLayout(buttons);
}

AnswerSetting::~AnswerSetting() = default;

void AnswerSetting::awakeFromNib()
{
    {
        const QSignalBlocker block(rowSingle);
        (m_nQuestionType == QuestionType::MultipleAnswer ? rowMultiple : rowSingle)->setChecked(true);
    }
    point->setText(QString::number(m_nPoint));
    if (nDeviceType == DeviceType::Arvel) {
        // The Arvel keypads answer one letter of A to F.
        rowMultiple->hide();
        rowSingle->setChecked(true);
        for (int k = 6; k < kLetters; ++k) {
            answerCells[k]->hide();
            checkBoxes[k]->hide();
        }
    }
    bindAnswerAndOption();
}

int AnswerSetting::exec()
{
    awakeFromNib();
    return QDialog::exec();
}

bool AnswerSetting::multipleSelected() const
{
    return rowMultiple->isChecked() && nDeviceType != DeviceType::Arvel;
}

void AnswerSetting::onChangeQuestionType()
{
    bindAnswerAndOption();
}

void AnswerSetting::bindAnswerAndOption()
{
    if (m_strAnswer.isEmpty())
        m_strAnswer = QStringLiteral("A");
    const bool multiple = multipleSelected();
    singleBox->setVisible(!multiple);
    multipleBox->setVisible(multiple);
    if (!multiple) {
        const int index = m_strAnswer.at(0).unicode() - u'A';
        if (index >= 0 && index < kLetters)
            answerCells[index]->setChecked(true);
    } else {
        for (int k = 0; k < kLetters; ++k)
            checkBoxes[k]->setChecked(m_strAnswer.contains(letter(k)));
    }
    for (int k = 0; k < kLetters; ++k) {
        answerCells[k]->setEnabled(m_nOptionSum > k);
        checkBoxes[k]->setEnabled(m_nOptionSum > k);
    }
}

void AnswerSetting::controlTextDidChange()
{
    bool ok = false;
    const int value = point->text().toInt(&ok);
    int fixed = value;
    if (!ok || value <= 0)
        fixed = 1;
    else if (value >= 251)
        fixed = 250;
    if (fixed != value || !ok) {
        point->setText(QString::number(fixed));
        point->selectAll();
    }
}

void AnswerSetting::onOk()
{
    if (m_done)
        return;
    QString answer;
    if (multipleSelected()) {
        for (int k = 0; k < kLetters; ++k)
            if (checkBoxes[k]->isChecked() && checkBoxes[k]->isEnabled())
                answer += letter(k);
        if (answer.isEmpty()) {
            PollixAlert::show(this, QStringLiteral("Pollix"), tr("There are no re-instated answers."), {tr("OK")});
            return;
        }
    } else {
        const int id = m_cells->checkedId();
        // A cell beyond the question's options cannot be the answer.
        if (id < 0 || id >= qMax(1, m_nOptionSum)) {
            PollixAlert::show(this, QStringLiteral("Pollix"), tr("There are no re-instated answers."), {tr("OK")});
            return;
        }
        answer = QString(letter(id));
    }
    controlTextDidChange();
    m_nPoint = point->text().toInt();
    m_strAnswer = answer;
    m_nQuestionType = multipleSelected() ? 1 : 0;
    m_done = true;
    NotificationCenter::defaultCenter()->postNotification(
        Notify::FreeStyleGetQuestion,
        {{Notify::Key::QueType, m_nQuestionType}, {Notify::Key::QueAns, answer}, {Notify::Key::QuePoint, m_nPoint}}, this);
    done(1);
}

void AnswerSetting::onCancel()
{
    if (m_done)
        return;
    m_done = true;
    done(1);
}

void AnswerSetting::reject()
{
    onCancel();
}

void AnswerSetting::handleMachMessage()
{
    if (!appDelegate)
        return;
    const DataOfFrame frame = appDelegate->frameToHandle();
    const int type = appDelegate->currentDeviceType();
    if (frame.isNull() || type < DeviceType::Arvel || type > DeviceType::Brevel) {
        appDelegate->signalConditionOfDataHandled();
        return;
    }
    if (type == DeviceType::Arvel) {
        appDelegate->signalConditionOfDataHandled();
        if (frame.isTeacherCommand())
            keypadKey(frame, 0);
        return;
    }
    if (frame.isShortFrame()) {
        appDelegate->signalConditionOfDataHandled();
        if (frame.cmd() == 0xF4 && frame.isTeacherCommand())
            keypadKey(frame, 1);
        return;
    }
    // The teacher keypad's long frames (its question and session commands) still reach the
    // run; the students' answers to the stopped question are late and are dropped.
    if (frame.isTeacherCommand() && (frame.cmd() == 0xF9 || frame.cmd() == 0xFE) && m_parent) {
        m_parent->handleLongFrame(frame);
        return;
    }
    appDelegate->signalConditionOfDataHandled();
}

void AnswerSetting::keypadKey(const DataOfFrame &frame, int family)
{
    const TeacherKeyMap::Key key = TeacherKeyMap::keyOf(frame);
    if (key == TeacherKeyMap::Key::Mouse) {
        KeypadMouse::pass(frame);
        return;
    }
    switch (TeacherKeyMap::action(TeacherKeyMap::Context::Alert, key, family)) {
    case TeacherKeyMap::Action::Ok:
        onOk();
        break;
    case TeacherKeyMap::Action::Cancel:
        onCancel();
        break;
    default:
        return;
    }
    // The teacher is away from the mouse: a click in the screen's lower left corner hands the
    // keyboard back, as after every window the keypad closes; the run window comes to the front.
    MouseFunction::shareManager()->MoveToLeftBottomAndClickLeftButton();
    if (m_parent) {
        m_parent->activateWindow();
        m_parent->raise();
    }
}
