#include "RandomWalk.h"

#include "RealAlerts.h"

#include "core/keypad/TeacherKeyMap.h"

#include "SimReceiver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {

// Text a teacher or a careless hand puts in a field: ordinary words and numbers, nothing,
// blanks, very long text, markup and quotes, path-like names, letters beyond ASCII, format signs.
const QStringList &vocabulary()
{
    static const QStringList words{
        QString(),
        QStringLiteral("7B"),
        QStringLiteral("Planets"),
        QStringLiteral("S001"),
        QStringLiteral("12"),
        QStringLiteral("0"),
        QStringLiteral("-1"),
        QStringLiteral("3.5"),
        QStringLiteral("99999999999999999999"),
        QStringLiteral("   "),
        QString(300, QLatin1Char('W')),
        QStringLiteral("../../outside"),
        QStringLiteral("a/b\\c:d"),
        QStringLiteral("<b>&amp; \"quoted\" 'single'</b>"),
        QStringLiteral("Ünïcödé café naïve ß Ωμέγα"),
        QStringLiteral("%1 %s %n %%"),
        QStringLiteral("Robert'); DROP TABLE--"),
        QStringLiteral("line one\nline two"),
    };
    return words;
}

QString shortText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return out.size() > 40 ? out.left(37) + QStringLiteral("...(") + QString::number(out.size()) + QLatin1Char(')') : out;
}

QString describe(const QWidget *w)
{
    if (!w)
        return QStringLiteral("(none)");
    QString out = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty())
        out += QLatin1Char('#') + w->objectName();
    if (const auto *b = qobject_cast<const QAbstractButton *>(w); b && !b->text().isEmpty())
        out += QStringLiteral(" \"") + shortText(b->text()) + QLatin1Char('"');
    if (w->isWindow() && !w->windowTitle().isEmpty())
        out += QStringLiteral(" [") + shortText(w->windowTitle()) + QLatin1Char(']');
    return out;
}

bool isField(const QWidget *w)
{
    // The line edits inside spin boxes and combo boxes are worked through their owners.
    if (const auto *line = qobject_cast<const QLineEdit *>(w))
        return !line->isReadOnly() && !qobject_cast<const QAbstractSpinBox *>(w->parentWidget())
               && !qobject_cast<const QComboBox *>(w->parentWidget());
    if (const auto *text = qobject_cast<const QTextEdit *>(w))
        return !text->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(w))
        return !plain->isReadOnly();
    return qobject_cast<const QAbstractSpinBox *>(w) != nullptr;
}

bool isControl(const QWidget *w)
{
    if (qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QComboBox *>(w) || isField(w))
        return true;
    if (const auto *tabs = qobject_cast<const QTabBar *>(w))
        return tabs->count() > 1;
    if (const auto *view = qobject_cast<const QAbstractItemView *>(w))
        return view->model() && view->model()->rowCount(view->rootIndex()) > 0;
    return false;
}

// The visible, enabled controls of the window in creation order (which is the same in every run).
QList<QWidget *> controlsOf(QWidget *window)
{
    QList<QWidget *> out;
    for (QWidget *w : window->findChildren<QWidget *>())
        if (w->window() == window && w->isVisible() && w->isEnabled() && isControl(w))
            out << w;
    return out;
}

void collectActions(const QMenu *menu, QList<QAction *> &out)
{
    for (QAction *a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible() || !a->isEnabled())
            continue;
        if (a->menu())
            collectActions(a->menu(), out);
        else
            out << a;
    }
}

QList<QAction *> menuActionsOf(QWidget *window)
{
    QList<QAction *> out;
    auto *main = qobject_cast<QMainWindow *>(window);
    if (!main || !main->menuWidget())
        return out;
    for (QAction *a : main->menuBar()->actions())
        if (a->menu() && a->isEnabled())
            collectActions(a->menu(), out);
    return out;
}

// Where a click lands on a button: check boxes and radio buttons take it on their mark.
QPoint clickPointOf(const QAbstractButton *b)
{
    if (qobject_cast<const QCheckBox *>(b) || qobject_cast<const QRadioButton *>(b))
        return QPoint(std::min(8, b->width() / 2), b->height() / 2);
    return b->rect().center();
}

// Steps at one window after which the walk leaves it.
constexpr int kLeaveAfterSteps = 25;

QWidget *keyTarget(QWidget *window)
{
    QWidget *focus = window->focusWidget();
    return focus && focus->isVisible() ? focus : window;
}

} // namespace

RandomWalk::RandomWalk(const Options &options) : m_options(options), m_rng(options.seed)
{
    m_log = std::fopen(QFile::encodeName(options.stepsFile).constData(), "a");
    DialogHooks::setFileResponder([this](const FileDialogRequest &request) { return answerFilePanel(request); });
}

RandomWalk::~RandomWalk()
{
    DialogHooks::setFileResponder({});
    // A walk whose owner stopped it (its last step ended the program, say) found no step after to
    // note its end.
    noteEnd();
    if (m_log)
        std::fclose(m_log);
}

void RandomWalk::start(std::function<void()> finished)
{
    m_finished = std::move(finished);
    m_clock.start();
    note(QStringLiteral("walk: seed %1, at most %2 steps").arg(m_options.seed).arg(m_options.steps));
    resume();
}

void RandomWalk::pause()
{
    m_paused = true;
}

void RandomWalk::resume()
{
    m_paused = false;
    if (!m_scheduled)
        scheduleNext(0);
}

bool RandomWalk::spent() const
{
    return m_taken >= m_options.steps || (m_clock.isValid() && m_clock.elapsed() >= m_options.budgetMs);
}

void RandomWalk::note(const QString &line) const
{
    if (!m_log)
        return;
    std::fprintf(m_log, "%s\n", line.toUtf8().constData());
    std::fflush(m_log);
}

void RandomWalk::noteEnd()
{
    if (m_told || !m_clock.isValid())
        return;
    m_told = true;
    note(QStringLiteral("walk: %1 steps taken in %2 ms").arg(m_taken).arg(m_clock.elapsed()));
}

int RandomWalk::stepsNoted(const QString &stepsFile)
{
    static const QRegularExpression end(QStringLiteral("^walk: (\\d+) steps taken in"), QRegularExpression::MultilineOption);
    QFile f(stepsFile);
    const QRegularExpressionMatch match = end.match(f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString());
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

int RandomWalk::pick(int count)
{
    return count <= 0 ? 0 : int(m_rng() % quint32(count));
}

void RandomWalk::scheduleNext(int delayMs)
{
    m_scheduled = true;
    // A timer of its own for every step: a step whose control runs a dialog modally stays on the
    // stack meanwhile, and the next step runs in the dialog's loop.
    QTimer::singleShot(delayMs, this, &RandomWalk::step);
}

QWidget *RandomWalk::frontWindow(std::mt19937 *rng)
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible())
        return modal;
    QList<QWidget *> shown;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->isVisible() && !top->isHidden() && top->windowType() != Qt::ToolTip && top->windowType() != Qt::Popup)
            shown << top;
    QWidget *active = QApplication::activeWindow();
    // Now and then the teacher clicks another window than the one in front.
    if (active && active->isVisible() && (!rng || (*rng)() % 8 != 0 || shown.size() < 2))
        return active;
    if (shown.isEmpty())
        return nullptr;
    std::stable_sort(shown.begin(), shown.end(), [](const QWidget *a, const QWidget *b) {
        return describe(a) < describe(b);
    });
    return rng ? shown.at(int((*rng)() % quint32(shown.size()))) : shown.last();
}

void RandomWalk::step()
{
    m_scheduled = false;
    if (m_paused)
        return;
    if (spent()) {
        if (!m_told) {
            noteEnd();
            if (m_finished)
                m_finished();
        }
        return;
    }
    ++m_taken;
    if (m_options.beforeStep)
        m_options.beforeStep();
    ++m_acting;
    const auto acted = qScopeGuard([this] { --m_acting; });
    const int roll = pick(100);
    QWidget *window = frontWindow(&m_rng);
    // A window with nothing to press (a splash, a progress window) is waited out.
    const bool idle = roll < 60 && (!window || (controlsOf(window).isEmpty() && menuActionsOf(window).isEmpty()
                                                && !qobject_cast<QMenu *>(window)));
    const int waitMs = roll >= 92 || idle ? 100 + pick(500) : 5 + pick(20);
    // The next step first: what this one does may not return before much later.
    scheduleNext(waitMs);
    const QString head = QStringLiteral("#%1 ").arg(m_taken);
    // A teacher who has been at one window for long leaves it (its close box, or Escape).
    const QString front = describe(window);
    m_sameWindow = front == m_lastWindow ? m_sameWindow + 1 : 0;
    m_lastWindow = front;
    if (window && m_sameWindow >= kLeaveAfterSteps && window->windowHandle()) {
        m_sameWindow = 0;
        if (pick(2) == 0) {
            note(head + QStringLiteral("long at it: close box of ") + front);
            RealAlerts::closeBox(window);
        } else {
            note(head + QStringLiteral("long at it: Escape"));
            QTest::keyClick(keyTarget(window), Qt::Key_Escape);
        }
        return;
    }
    if (roll < 60) {
        if (idle) {
            note(head + QStringLiteral("nothing to press in %1: wait %2 ms").arg(describe(window)).arg(waitMs));
            return;
        }
        actOnWindow(window);
    } else if (roll < 68) {
        if (window)
            keyOnWindow(window);
    } else if (roll < 72) {
        if (window && window->windowHandle()) {
            note(head + QStringLiteral("close box of ") + describe(window));
            RealAlerts::closeBox(window);
        }
    } else if (roll < 83) {
        classroomStep();
    } else if (roll < 89) {
        teacherKeyStep();
    } else if (roll < 92) {
        receiverStep();
    } else {
        note(head + QStringLiteral("wait %1 ms").arg(waitMs));
    }
}

void RandomWalk::actOnWindow(QWidget *window)
{
    const QString head = QStringLiteral("#%1 ").arg(m_taken);
    if (auto *menu = qobject_cast<QMenu *>(window)) {
        const int down = pick(6);
        note(head + QStringLiteral("menu %1: %2 x Down, Return").arg(describe(menu)).arg(down));
        for (int i = 0; i < down; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        return;
    }
    const QList<QWidget *> controls = controlsOf(window);
    const QList<QAction *> actions = menuActionsOf(window);
    const int count = int(controls.size() + actions.size());
    if (count == 0) {
        note(head + QStringLiteral("nothing to press in ") + describe(window));
        return;
    }
    int which = pick(count);
    // Menu items (Quit among them) are taken less often than the window's own controls.
    if (which >= controls.size() && !controls.isEmpty() && pick(3) != 0)
        which = pick(int(controls.size()));
    if (which >= controls.size()) {
        QAction *action = actions.at(which - controls.size());
        note(head + QStringLiteral("menu item \"%1\" of %2").arg(action->text(), describe(window)));
        action->trigger();
        return;
    }
    actOnControl(window, controls.at(which));
}

void RandomWalk::actOnControl(QWidget *window, QWidget *control)
{
    const QString head = QStringLiteral("#%1 ").arg(m_taken);
    const QString where = describe(control) + QStringLiteral(" in ") + describe(window);
    if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        note(head + QStringLiteral("click ") + where);
        QTest::mouseClick(button, Qt::LeftButton, {}, clickPointOf(button));
        return;
    }
    if (isField(control)) {
        note(head + QStringLiteral("type in ") + where);
        typeInto(control);
        return;
    }
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        static const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown};
        const Qt::Key key = keys[pick(int(std::size(keys)))];
        note(head + QStringLiteral("key %1 on ").arg(QKeySequence(key).toString()) + where);
        if (combo->isEditable() && pick(3) == 0) {
            typeInto(combo);
            return;
        }
        combo->setFocus();
        QTest::keyClick(combo, key);
        return;
    }
    if (auto *tabs = qobject_cast<QTabBar *>(control)) {
        const int tab = pick(tabs->count());
        note(head + QStringLiteral("tab %1 of ").arg(tab) + where);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
        return;
    }
    if (auto *header = qobject_cast<QHeaderView *>(control)) {
        const int section = pick(header->count());
        const int at = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        note(head + QStringLiteral("header section %1 of ").arg(section) + where);
        const QPoint point = header->orientation() == Qt::Horizontal ? QPoint(at, header->height() / 2)
                                                                     : QPoint(header->width() / 2, at);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
        return;
    }
    if (auto *view = qobject_cast<QAbstractItemView *>(control)) {
        QAbstractItemModel *model = view->model();
        const int rows = model->rowCount(view->rootIndex());
        const int columns = std::max(1, std::min(4, model->columnCount(view->rootIndex())));
        const QModelIndex index = model->index(pick(rows), pick(columns), view->rootIndex());
        const int how = pick(10);
        note(head + QStringLiteral("%1 row %2 column %3 of ")
                        .arg(how < 7 ? QStringLiteral("click") : how < 9 ? QStringLiteral("double-click") : QStringLiteral("Delete on"))
                        .arg(index.row())
                        .arg(index.column())
             + where);
        if (!index.isValid())
            return;
        view->scrollTo(index);
        const QRect rect = view->visualRect(index);
        if (rect.isEmpty())
            return;
        if (how < 7) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        } else if (how < 9) {
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        } else {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::keyClick(view, Qt::Key_Delete);
        }
        return;
    }
    note(head + QStringLiteral("left alone: ") + where);
}

QString RandomWalk::randomText()
{
    const int roll = pick(10);
    if (roll < 2 && !m_options.wellKnownText.isEmpty())
        return m_options.wellKnownText.at(pick(int(m_options.wellKnownText.size())));
    if (roll < 4) {
        QString out;
        const int length = 1 + pick(30);
        for (int i = 0; i < length; ++i)
            out += QChar(char16_t(32 + pick(95)));
        return out;
    }
    return vocabulary().at(pick(int(vocabulary().size())));
}

void RandomWalk::typeInto(QWidget *field)
{
    bool replace = pick(2) == 0;
    QString text = randomText();
    // Half the time a login is typed as the teacher types it: the password where the dots are,
    // the account's name beside them.
    if (auto *line = qobject_cast<QLineEdit *>(field); line && pick(2) == 0) {
        const bool password = line->echoMode() != QLineEdit::Normal;
        const QList<QLineEdit *> fields = line->window()->findChildren<QLineEdit *>();
        const bool besidePassword = std::any_of(fields.cbegin(), fields.cend(), [](const QLineEdit *other) {
            return other->echoMode() != QLineEdit::Normal;
        });
        if (password)
            text = m_options.password;
        else if (besidePassword)
            text = m_options.account;
        replace = replace || password || besidePassword;
    }
    const bool thenReturn = pick(4) == 0;
    note(QStringLiteral("    %1\"%2\"%3")
             .arg(replace ? QStringLiteral("over all: ") : QString(), shortText(text),
                  thenReturn ? QStringLiteral(", Return") : QString()));
    field->setFocus();
    if (replace)
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QPointer<QWidget> alive(field);
    for (const QChar c : text) {
        if (!alive)
            return;
        if (c == QLatin1Char('\n'))
            QTest::keyClick(field, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::KeyAction::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    if (thenReturn && alive)
        QTest::keyClick(field, Qt::Key_Return);
}

void RandomWalk::keyOnWindow(QWidget *window)
{
    static const Qt::Key keys[] = {Qt::Key_Escape, Qt::Key_Escape, Qt::Key_Escape, Qt::Key_Escape, Qt::Key_Return,
                                   Qt::Key_Return, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Delete, Qt::Key_F1};
    const Qt::Key key = keys[pick(int(std::size(keys)))];
    QWidget *target = keyTarget(window);
    note(QStringLiteral("#%1 key %2 on %3 in %4")
             .arg(m_taken)
             .arg(QKeySequence(key).toString(), describe(target), describe(window)));
    QTest::keyClick(target, key);
}

void RandomWalk::classroomStep()
{
    keypadsim::SimReceiver *sim = m_options.receiver;
    const QString head = QStringLiteral("#%1 ").arg(m_taken);
    if (!sim || m_options.keypads.isEmpty()) {
        note(head + QStringLiteral("no keypads"));
        return;
    }
    const int id = m_options.keypads.at(pick(int(m_options.keypads.size())));
    const int what = pick(12);
    static const QStringList answers{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                                     QStringLiteral("E"), QStringLiteral("12"), QStringLiteral("ABCD"),
                                     QString(40, QLatin1Char('9'))};
    const QString answer = answers.at(pick(int(answers.size())));
    const QString student = QStringLiteral("S%1").arg(id, 3, 10, QLatin1Char('0'));
    if (!sim->isPlugged()) {
        note(head + QStringLiteral("keypad %1 pressed with the receiver out").arg(id));
        return;
    }
    switch (what) {
    case 0:
    case 1:
    case 2:
        note(head + QStringLiteral("keypad %1 logs in as %2").arg(id).arg(student));
        sim->login(id, student);
        break;
    case 3:
    case 4:
    case 5:
        note(head + QStringLiteral("keypad %1 answers %2").arg(id).arg(shortText(answer)));
        sim->answer(id, answer);
        break;
    case 6:
        note(head + QStringLiteral("keypad %1 buzzes").arg(id));
        sim->buzz(id);
        break;
    case 7:
        note(head + QStringLiteral("keypad %1 answers the wake call").arg(id));
        sim->wakeUpReply(id);
        break;
    case 8:
        note(head + QStringLiteral("keypad %1 asks for the question").arg(id));
        sim->askForQuestion(id);
        break;
    case 9:
        note(head + QStringLiteral("keypad %1 asks to hand in").arg(id));
        sim->requestUpload(id);
        break;
    case 10:
        note(head + QStringLiteral("keypad %1 pages on").arg(id));
        sim->navigate(id, pick(2) == 0);
        break;
    default:
        note(head + QStringLiteral("keypad %1 logs out").arg(id));
        sim->logout(id);
        break;
    }
}

void RandomWalk::teacherKeyStep()
{
    keypadsim::SimReceiver *sim = m_options.receiver;
    if (!sim || !sim->isPlugged()) {
        note(QStringLiteral("#%1 teacher key with no receiver in").arg(m_taken));
        return;
    }
    QList<int> codes;
    for (const TeacherKeyMap::Row &row : TeacherKeyMap::keys())
        if (row.family == m_options.family && row.code >= 0 && (row.family == 0 || row.command == 0xF4))
            codes << row.code;
    if (codes.isEmpty())
        return;
    const int code = codes.at(pick(int(codes.size())));
    note(QStringLiteral("#%1 teacher key %2").arg(m_taken).arg(code, 2, 16, QLatin1Char('0')));
    sim->pressTeacherKey(quint8(code));
}

void RandomWalk::receiverStep()
{
    keypadsim::SimReceiver *sim = m_options.receiver;
    if (!sim) {
        note(QStringLiteral("#%1 no receiver to pull out").arg(m_taken));
        return;
    }
    if (sim->isPlugged()) {
        note(QStringLiteral("#%1 receiver pulled out").arg(m_taken));
        sim->unplug();
    } else {
        const bool in = sim->plug();
        note(QStringLiteral("#%1 receiver put back%2").arg(m_taken).arg(in ? QString() : QStringLiteral(" (failed)")));
    }
}

QString RandomWalk::answerFilePanel(const FileDialogRequest &request)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    QStringList extensions;
    for (auto it = pattern.globalMatch(request.filter); it.hasNext();)
        extensions << it.next().captured(1).toLower();
    const QDir folder(m_options.filesFolder);
    QString answer;
    const int roll = pick(100);
    if (roll < 25) {
        answer.clear();
    } else if (request.save) {
        static const QStringList names{QStringLiteral("Ünï café"), QStringLiteral("it's \"quoted\""),
                                       QString(120, QLatin1Char('n')), QStringLiteral(" lead"), QStringLiteral("x.y.z")};
        QString name = roll < 50 && !request.proposedName.isEmpty() ? request.proposedName
                       : roll < 75                                   ? QStringLiteral("walk-%1").arg(++m_nextFile)
                                                                     : names.at(pick(int(names.size())));
        name.replace(QLatin1Char('/'), QLatin1Char('_'));
        if (!extensions.isEmpty() && !name.endsWith(QLatin1Char('.') + extensions.first(), Qt::CaseInsensitive))
            name += QLatin1Char('.') + extensions.first();
        answer = folder.filePath(name);
    } else {
        QStringList fitting, others;
        for (const QString &file : folder.entryList(QDir::Files, QDir::Name))
            (extensions.isEmpty() || extensions.contains(QFileInfo(file).suffix().toLower()) ? fitting : others) << file;
        if (roll < 85 && !fitting.isEmpty())
            answer = folder.filePath(fitting.at(pick(int(fitting.size()))));
        else if (roll < 92 && !others.isEmpty())
            answer = folder.filePath(others.at(pick(int(others.size()))));
        else
            answer = folder.filePath(QStringLiteral("not there.") + (extensions.isEmpty() ? QStringLiteral("txt") : extensions.first()));
    }
    note(QStringLiteral("    %1 panel \"%2\" (%3): %4")
             .arg(request.save ? QStringLiteral("save") : QStringLiteral("open"), request.caption, request.filter,
                  answer.isEmpty() ? QStringLiteral("cancelled") : QFileInfo(answer).fileName()));
    return answer;
}
