#pragma once

#include <QIcon>
#include <QString>

// Button images drawn in code: the main window's "lock.png", "Report.png", "channel.png",
// "database.png", "system.png", "hardware.png"; the question editor's "addpage.png",
// "delpage.png", "info.png", "standard.png", "picture.png", "capture.png", "align.png",
// "font.png", "colors.png", "save.png", "saveas.png"; the grouping outline's student
// "Image.tiff"; any other name gives a plain document icon.
namespace AppIcons {
QIcon icon(const QString &name);
// The icon drawn at exactly side x side pixels, so that every button of a bar shows its picture
// at the bar's one size (an icon that only comes small is scaled up, not left small).
QIcon sized(const QIcon &icon, int side);
}
