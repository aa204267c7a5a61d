#include "FileDialogs.h"

#include "DialogHooks.h"

#include <QFileDialog>

namespace FileDialogs {

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (const auto &responder = DialogHooks::fileResponder())
        return responder(FileDialogRequest{false, caption, dir, filter});
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (const auto &responder = DialogHooks::fileResponder())
        return responder(FileDialogRequest{true, caption, dir, filter});
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

} // namespace FileDialogs
