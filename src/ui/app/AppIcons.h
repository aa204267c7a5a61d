#pragma once

#include <QIcon>
#include <QString>

// The main window's button images, drawn in code: "lock.png", "Report.png", "channel.png",
// "database.png"; any other name gives a plain document icon.
namespace AppIcons {
QIcon icon(const QString &name);
}
