#include "FileDialogs.h"

#include "DialogHooks.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

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

QString run(bool save, QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    const QString folder = folderFor(dir);
    if (const auto &responder = DialogHooks::fileResponder())
        return responder(FileDialogRequest{save, caption, folder, filter});
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return run(false, parent, caption, dir, filter);
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return run(true, parent, caption, dir, filter);
}

} // namespace FileDialogs
