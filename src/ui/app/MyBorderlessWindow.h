#pragma once

#include <QDialog>

// A window without title bar or frame, whatever style was asked for.
class MyBorderlessWindow : public QDialog
{
    Q_OBJECT
public:
    explicit MyBorderlessWindow(QWidget *parent = nullptr) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog) {}
};
