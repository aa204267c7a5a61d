#include "FileDialogs.h"

#include "DialogHooks.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTreeView>

#include <algorithm>

namespace FileDialogs {

QString startFolder()
{
    const QString documents = QDir::home().filePath(QStringLiteral("Documents"));
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString folderFor(const QString &dir)
{
    if (!dir.isEmpty() && QFileInfo(dir).isDir())
        return QDir::cleanPath(dir);
    return startFolder();
}

namespace {

// The extension of a name filter "Kind (*.ext)".
QString extensionOf(const QString &filter)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.([A-Za-z0-9]+)")).match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

// kind: with several name filters, the index of the one chosen; the caller then asks before a
// file is replaced.
QString run(bool save, QWidget *parent, const QString &caption, const QString &dir, const QStringList &filters,
            int *kind = nullptr, const QString &proposedName = {})
{
    const QString folder = folderFor(dir);
    const QString filter = filters.join(QStringLiteral(";;"));
    if (const auto &responder = DialogHooks::fileResponder()) {
        const QString path = responder(FileDialogRequest{save, caption, folder, filter, proposedName});
        const QString suffix = QFileInfo(path).suffix();
        for (int i = 0; kind && i < filters.size(); ++i)
            if (suffix.compare(extensionOf(filters[i]), Qt::CaseInsensitive) == 0)
                *kind = i;
        return path;
    }
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (kind)
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
    if (kind)
        *kind = qMax(0, int(filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().value(0);
}

} // namespace

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return run(false, parent, caption, dir, {filter});
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return run(true, parent, caption, dir, {filter});
}

QString getSaveFileNameOfKind(QWidget *parent, const QString &caption, const QString &dir, const QStringList &filters,
                              int *kind)
{
    *kind = 0;
    QString path = run(true, parent, caption, dir, filters, kind);
    if (path.isEmpty())
        return path;
    const QString ext = extensionOf(filters.value(*kind));
    if (!ext.isEmpty() && QFileInfo(path).suffix().compare(ext, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + ext;
    return path;
}

QString getSaveFileNameOfType(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                              const QString &proposedName)
{
    QString path = run(true, parent, caption, dir, {filter}, nullptr, proposedName);
    const QString ext = extensionOf(filter);
    if (!path.isEmpty() && !ext.isEmpty() && QFileInfo(path).suffix().compare(ext, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + ext;
    return path;
}

} // namespace FileDialogs
