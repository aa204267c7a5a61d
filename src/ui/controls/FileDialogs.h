#pragma once

#include <QString>

class QWidget;

// Open and save panels, answerable by the test hook.
namespace FileDialogs {
QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir = {}, const QString &filter = {});
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir = {}, const QString &filter = {});
} // namespace FileDialogs
