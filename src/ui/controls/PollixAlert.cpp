#include "PollixAlert.h"

#include "DialogHooks.h"
#include "KeysBack.h"
#include "WindowOwner.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/keypad/DataOfFrame.h"
#include "core/keypad/TeacherKeyMap.h"
#include "platform/FileVersions.h"
#include "platform/Log.h"
#include "platform/WindowStacking.h"
#include "TeacherKeyButtons.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace {
// What a window manager's title bar takes beside the title: the window's icon and three buttons.
constexpr int kTitleBarRoom = 110;
} // namespace

PollixAlert::PollixAlert(const QString &title, const QString &text, const QStringList &buttons,
                         const QString &informativeText, QWidget *parent)
    : QMessageBox(parent), m_titles(buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : buttons)
{
    setObjectName(QStringLiteral("PollixAlert"));
    setWindowTitle(title);
    setText(text);
    // Every refusal over another program's change says how to see that change, whichever window
    // was refused: the teacher otherwise cannot tell what to do next.
    setInformativeText(refusedSave(informativeText));
    for (int i = 0; i < m_titles.size(); ++i) {
        QPushButton *b = addButton(m_titles.at(i), i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        b->setObjectName(QStringLiteral("alertButton%1").arg(i));
        m_buttons << b;
        connect(b, &QAbstractButton::clicked, this, [this, i] { m_pressed = i; });
        TeacherKeyButtons::bind(b);
    }
    setDefault(Default::First);
    // The box takes its width from the main text; a short one ("Warning") over a sentence would
    // fold the sentence into a narrow column. The sentence gets room for a line of its own, up
    // to about sixty characters.
    if (auto *info = findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")); info && !informativeText.isEmpty())
        info->setMinimumWidth(std::min(info->fontMetrics().horizontalAdvance(informativeText) + 8,
                                       60 * info->fontMetrics().averageCharWidth()));
    // The window manager's title bar holds the title beside its icon and buttons: a box as narrow
    // as a short text ("Successfully Saved.") cut "Pollix ARS" down to "Pol... RS". The room is
    // kept by the row of buttons, which spans the box: a minimum on the text itself would let the
    // box shrink below the text, which then showed cut ("Are you sure to quit without s"). A
    // minimum set on the row stands in for the one its buttons need, so it is never less: three
    // buttons squeezed into the title's room cut "Keep Editing" down to "eep Editir".
    if (auto *row = findChild<QDialogButtonBox *>(QStringLiteral("qt_msgbox_buttonbox"))) {
        QFont bold = font();
        bold.setBold(true);
        row->setMinimumWidth(std::max(row->minimumSizeHint().width(), QFontMetrics(bold).horizontalAdvance(title) + kTitleBarRoom));
    }
}

int PollixAlert::runModal()
{
    int index = -1;
    if (const auto &responder = DialogHooks::alertResponder()) {
        index = std::min(responder(AlertRequest{windowTitle(), text(), informativeText(), m_titles}),
                         int(m_titles.size()) - 1);
    } else {
        m_pressed = -1;
        WindowOwner::adopt(this);
        if (!parentWidget())
            standOverFrontWindow();
        // Over a window, the keys go back to it where the question leaves the teacher there.
        KeysBack back(parentWidget() ? parentWidget()->window() : nullptr);
        exec();
        back.giveBack();
        index = m_pressed;
    }
    if (index >= 0)
        return AlertFirstButtonReturn + index;
    // Left without a button: where the way out does not go back, it counts as the last button
    // (the cancel-like one).
    return m_wayOutGoesBack ? int(AlertWentBackReturn) : AlertFirstButtonReturn + int(m_titles.size()) - 1;
}

void PollixAlert::setDefault(Default byDefault)
{
    if (m_buttons.isEmpty())
        return;
    // The message box gives the default button the focus too, where Return lands first.
    setDefaultButton(static_cast<QPushButton *>(byDefault == Default::First ? m_buttons.first() : m_buttons.last()));
}

int PollixAlert::askWithWayBack(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
                                const QString &informativeText, Default byDefault)
{
    PollixAlert alert(title, text, buttons, informativeText, parent);
    alert.setWayOutGoesBack(true);
    alert.setDefault(byDefault);
    const int answer = alert.runModal();
    return answer == AlertWentBackReturn ? -1 : answer - AlertFirstButtonReturn;
}

PollixAlert::SaveAnswer PollixAlert::askToSave(QWidget *parent, const QString &title, const QString &text,
                                               const QStringList &buttons, const QString &informativeText)
{
    switch (askWithWayBack(parent, title, text, buttons, informativeText)) {
    case 0: return SaveAnswer::Save;
    case 1: return SaveAnswer::Discard;
    default: return SaveAnswer::Cancel;
    }
}

void PollixAlert::keyPressEvent(QKeyEvent *event)
{
    // A plain message box presses its one cancel-like button on Escape, and does nothing where
    // it has none or several; an alert whose way out goes back leaves without a button.
    if (m_wayOutGoesBack && event->matches(QKeySequence::Cancel)) {
        reject();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void PollixAlert::closeEvent(QCloseEvent *event)
{
    // A notice's close box is its Escape. The message box would close it unanswered, and what it
    // asks could not be answered any more.
    if (m_isNotice && event->spontaneous() && !clickedButton()) {
        if (QAbstractButton *keep = escapeButton()) {
            keep->click();
            event->accept();
            return;
        }
    }
    // The message box would press its cancel-like button, or refuse to close without one.
    if (m_wayOutGoesBack) {
        QDialog::closeEvent(event);
        return;
    }
    QMessageBox::closeEvent(event);
}

int PollixAlert::show(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
                      const QString &informativeText, Default byDefault)
{
    PollixAlert alert(title, text, buttons, informativeText, parent);
    alert.setDefault(byDefault);
    return alert.runModal();
}

PollixAlert *PollixAlert::notice(const QString &title, const QString &text, const QStringList &buttons,
                                 const QString &informativeText, std::function<void(int)> answered)
{
    if (const auto &responder = DialogHooks::alertResponder()) {
        const QStringList titles = buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : buttons;
        const int index = qBound(0, responder(AlertRequest{title, text, informativeText, titles}), int(titles.size()) - 1);
        if (answered)
            answered(index);
        return nullptr;
    }
    auto *alert = new PollixAlert(title, text, buttons, informativeText);
    alert->m_isNotice = true;
    WindowOwner::setOwnsNothing(alert);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setAttribute(Qt::WA_ShowWithoutActivating);
    alert->setWindowModality(Qt::NonModal);
    // Return and Escape, once the teacher is in it, press the first button, the one to keep to.
    alert->setEscapeButton(alert->m_buttons.first());
    connect(alert, &QMessageBox::finished, alert, [alert, answered = std::move(answered)] {
        if (answered)
            answered(int(alert->m_buttons.indexOf(alert->clickedButton())));
    });
    alert->standOverFrontWindow();
    alert->QMessageBox::show();
    // Where the teacher goes, once the program has taken the new active window. A window manager
    // may still be stacking that window (a modal dialog raises its parent and the parent's
    // transients with it) after it has handed it the focus: once more when it has had its time.
    auto *again = new QTimer(alert);
    again->setSingleShot(true);
    again->setInterval(250);
    const auto follow = [alert] {
        if (!alert->isVisible())
            return;
        alert->standOverFrontWindow();
        alert->raise();
    };
    connect(again, &QTimer::timeout, alert, follow);
    connect(qApp, &QGuiApplication::focusWindowChanged, alert, [alert, again, follow](QWindow *focus) {
        if (!focus || focus == alert->windowHandle())
            return;
        QTimer::singleShot(0, alert, follow);
        again->start();
    });
    return alert;
}

void PollixAlert::standOverFrontWindow()
{
    QWidget *front = WindowOwner::front(this);
    if (!front) {
        // Flags change a native window only by making it anew.
        if (!isVisible())
            setWindowFlag(Qt::WindowStaysOnTopHint, true);
        return;
    }
    // Transient for it, the window manager keeps the alert above it and in its layer: a window
    // kept above the others would hide an alert of the ordinary layer. The native window is made
    // first, so that the window manager reads its parent as it maps the alert.
    winId();
    WindowStacking::setTransientFor(windowHandle(), front->windowHandle());
}

QString PollixAlert::savedTo(const QString &path)
{
    return tr("Saved to %1").arg(QDir::toNativeSeparators(path));
}

QString PollixAlert::sentences(const QString &reasons)
{
    QStringList lines = reasons.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        line = line.trimmed();
        if (!line.isEmpty() && !line.endsWith(QLatin1Char('.')))
            line += QLatin1Char('.');
    }
    return lines.join(QLatin1Char('\n'));
}

QString PollixAlert::refusedSave(const QString &why, const QString &howToSeeIt)
{
    // Each way of saying it names "the other program's version" once it says how to see it; a text
    // already told is told again by no alert.
    static const QString told = QStringLiteral("to see the other program's version");
    if (!FileVersions::isChangedText(why) || why.contains(told))
        return why;
    const QString how = howToSeeIt.isEmpty()
                            ? QObject::tr("Close this window and open it again to see the other program's version; what "
                                          "you typed stays here until you close the window.")
                            : howToSeeIt;
    return sentences(why) + QLatin1Char(' ') + how;
}

void PollixAlert::pressButton(int index)
{
    if (index < 0 || index >= m_buttons.size())
        return;
    m_buttons.at(index)->click();
}

bool PollixAlert::runTeacherKey(const DataOfFrame &frame)
{
    switch (TeacherKeyMap::action(TeacherKeyMap::Context::Alert, frame)) {
    case TeacherKeyMap::Action::Ok:
        pressButton(0);
        return true;
    case TeacherKeyMap::Action::Cancel:
        pressButton(1);
        return true;
    default:
        return false;
    }
}

void PollixAlert::handleMachMessage()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (!app)
        return;
    // Every frame offered is signalled, whatever it is: the receiver offers nothing more until then.
    const DataOfFrame frame = app->frameToHandle();
    app->signalConditionOfDataHandled();
    if (frame.isNull())
        return;
    if (frame.type() == 0)
        PollixFrameLogf("data receive in NSAlert Extensions : %02x\t%02x\t%02x\n", frame.data()[0], frame.data()[1],
                        frame.data()[2]);
    runTeacherKey(frame);
}
