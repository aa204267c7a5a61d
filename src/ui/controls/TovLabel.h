#pragma once

#include <QLabel>

// A fixed caption: no background, no border, and its text can be neither selected nor edited.
class TovLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TovLabel(const QString &text = {}, QWidget *parent = nullptr);
};
