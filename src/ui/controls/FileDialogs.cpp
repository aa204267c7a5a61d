#include "FileDialogs.h"

#include "DialogHooks.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTreeView>

#include <algorithm>

namespace FileDialogs {

namespace {
// The folder of the file last chosen per kind, for this run of the program. Pollix keeps no
// preferences beside its data files, whose formats stay as they are.
QHash<Kind, QString> &lastFolders()
{
    static QHash<Kind, QString> folders;
    return folders;
}

bool isFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void remember(Kind kind, const QString &chosen)
{
    if (!chosen.isEmpty())
        lastFolders().insert(kind, QFileInfo(chosen).absolutePath());
}
} // namespace

QString startFolder()
{
    // The desktop names the folder (user-dirs.dirs: "Dokumente" on a German desktop); without a
    // name of its own it is ~/Documents.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return isFolder(documents) ? QDir::cleanPath(documents) : QDir::homePath();
}

QString folderFor(Kind kind, const QString &firstFolder)
{
    // A folder removed or unmounted since (a stick taken out) is passed over.
    const QString last = lastFolders().value(kind);
    if (isFolder(last))
        return QDir::cleanPath(last);
    if (isFolder(firstFolder))
        return QDir::cleanPath(firstFolder);
    return startFolder();
}

void forgetFolders()
{
    lastFolders().clear();
}

namespace {

// The extension of a name filter "Kind (*.ext)".
QString extensionOf(const QString &filter)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.([A-Za-z0-9]+)")).match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

// Qt's panel goes by the selection in its list of files before the name box, and its completion of
// the name box selects there each file or folder the typed path reaches, taking the one before
// off again only while the name box holds the application's keyboard focus. Keys that reach the
// box while the focus is elsewhere (as it may be while the completer's list is up under a window
// manager) leave the folder of the path selected: Return then entered that folder and emptied the
// box instead of opening the file typed, and the file, selected too, put its bare name in the
// box. So what the teacher last put in the name box (typed, pasted or taken from the completer's
// list) is what Open and Return go by, whatever the completion left selected; a click or a key in
// the list of files makes the list's selection count again, as in Qt's own panel.
class FilePanel : public QFileDialog
{
public:
    FilePanel(QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
        : QFileDialog(parent, caption, folder, filter)
    {
        m_name = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        auto *files = findChild<QAbstractItemView *>(QStringLiteral("listView"));
        m_selection = files ? files->selectionModel() : nullptr;
        // Without Qt's own panel (a desktop's native one), there is nothing to mend.
        if (!m_name || !m_selection)
            return;
        connect(m_name, &QLineEdit::textEdited, this, [this](const QString &text) { m_put = text; });
        // Emptied (a folder entered): nothing stands in the box to go by.
        connect(m_name, &QLineEdit::textChanged, this, [this](const QString &text) {
            if (text.isEmpty())
                m_put.clear();
        });
        if (QCompleter *completer = m_name->completer()) {
            const auto taken = [this] { m_put = m_name->text(); };
            connect(completer, qOverload<const QString &>(&QCompleter::activated), this, taken);
            connect(completer, qOverload<const QString &>(&QCompleter::highlighted), this, taken);
        }
        // The list and the detail view share the selection; the completion moves no current item.
        connect(m_selection, &QItemSelectionModel::currentChanged, this, [this] { m_put.clear(); });
        for (const char *view : {"listView", "treeView"})
            if (auto *v = findChild<QAbstractItemView *>(QLatin1String(view)))
                connect(v, &QAbstractItemView::pressed, this, [this] { m_put.clear(); });
        connect(this, &QFileDialog::filesSelected, this, [this](const QStringList &files) { m_chosen = files; });
    }

    // The files the panel was accepted with (as it said when it closed).
    QStringList chosen() const { return m_chosen.isEmpty() ? selectedFiles() : m_chosen; }

    void accept() override
    {
        const QString put = m_put;
        if (m_name && m_selection && !put.isEmpty()) {
            m_selection->clearSelection();
            // The completion may have put a selected file's bare name in the box meanwhile.
            if (m_name->text() != put) {
                const QSignalBlocker quiet(m_name);
                m_name->setText(put);
            }
        }
        QFileDialog::accept();
    }

private:
    QPointer<QLineEdit> m_name;
    QPointer<QItemSelectionModel> m_selection;
    QString m_put;
    QStringList m_chosen;
};

// chosen: with several name filters, the index of the one chosen; the caller then asks before a
// file is replaced.
QString run(bool save, QWidget *parent, const QString &caption, Kind kind, const QString &firstFolder,
            const QStringList &filters, int *chosen = nullptr, const QString &proposedName = {})
{
    const QString folder = folderFor(kind, firstFolder);
    const QString filter = filters.join(QStringLiteral(";;"));
    if (const auto &responder = DialogHooks::fileResponder()) {
        const QString path = responder(FileDialogRequest{save, caption, folder, filter, proposedName});
        const QString suffix = QFileInfo(path).suffix();
        for (int i = 0; chosen && i < filters.size(); ++i)
            if (suffix.compare(extensionOf(filters[i]), Qt::CaseInsensitive) == 0)
                *chosen = i;
        remember(kind, path);
        return path;
    }
    FilePanel dialog(parent, caption, folder, filter);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (chosen)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (save) {
        // A name typed without an extension takes the chosen kind's, before the panel asks about
        // replacing a file: "report" saved as a PDF asks about "report.pdf", not about "report".
        dialog.setDefaultSuffix(extensionOf(filters.value(0)));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString &chosen) { dialog.setDefaultSuffix(extensionOf(chosen)); });
    }
    if (!proposedName.isEmpty())
        dialog.selectFile(QFileInfo(proposedName).fileName());
    // Qt's own panel opens small, its columns narrow enough to cut sizes and dates to "...": room
    // for the columns, each as wide as what it shows, the name taking the rest.
    dialog.resize(std::max(dialog.width(), 780), std::max(dialog.height(), 480));
    if (auto *list = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int c = 1; c < header->count(); ++c)
            header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    if (chosen)
        *chosen = qMax(0, int(filters.indexOf(dialog.selectedNameFilter())));
    const QString path = dialog.chosen().value(0);
    remember(kind, path);
    return path;
}

} // namespace

QString getOpenFileName(QWidget *parent, const QString &caption, Kind kind, const QString &filter,
                        const QString &firstFolder)
{
    return run(false, parent, caption, kind, firstFolder, {filter});
}

QString getSaveFileName(QWidget *parent, const QString &caption, Kind kind, const QString &filter,
                        const QString &firstFolder, const QString &proposedName)
{
    return run(true, parent, caption, kind, firstFolder, {filter}, nullptr, proposedName);
}

QString getSaveFileNameOfKind(QWidget *parent, const QString &caption, Kind kind, const QStringList &filters,
                              int *chosen)
{
    *chosen = 0;
    QString path = run(true, parent, caption, kind, QString(), filters, chosen);
    if (path.isEmpty())
        return path;
    const QString ext = extensionOf(filters.value(*chosen));
    if (!ext.isEmpty() && QFileInfo(path).suffix().compare(ext, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + ext;
    return path;
}

QString getSaveFileNameOfType(QWidget *parent, const QString &caption, Kind kind, const QString &filter,
                              const QString &proposedName)
{
    QString path = run(true, parent, caption, kind, QString(), {filter}, nullptr, proposedName);
    const QString ext = extensionOf(filter);
    if (!path.isEmpty() && !ext.isEmpty() && QFileInfo(path).suffix().compare(ext, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + ext;
    return path;
}

} // namespace FileDialogs
