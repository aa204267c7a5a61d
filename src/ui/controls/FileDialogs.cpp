#include "FileDialogs.h"

#include "DialogHooks.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QRegularExpression>
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
    QFileDialog dialog(parent, caption, folder, filter);
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
    const QString path = dialog.selectedFiles().value(0);
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
