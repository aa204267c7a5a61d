#pragma once

#include <QString>

class QTableWidget;

// Appends a read-only column with a header title, an identifier (kept as the header item's
// data) and a width.
void addColumnWithTitle(QTableWidget *table, const QString &title, const QString &identifier, int width);
