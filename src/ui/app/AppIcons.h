#pragma once

#include <QIcon>
#include <QString>

// The main window's button images, drawn in code: "lock.png", "Report.png", "channel.png",
// "database.png", "system.png", "hardware.png"; any other name gives a plain document icon.
namespace AppIcons {
QIcon icon(const QString &name);
// The icon drawn at exactly side x side pixels, so that every button of a bar shows its picture
// at the bar's one size (an icon that only comes small is scaled up, not left small).
QIcon sized(const QIcon &icon, int side);
}
