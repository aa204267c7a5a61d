#include "Shots.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

void saveShot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("POLLIX_SHOT_DIR");
    if (folder.isEmpty() || !window)
        return;
    QDir().mkpath(folder);
    QApplication::processEvents();
    window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
