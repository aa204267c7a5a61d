#pragma once

#include <QDialog>
#include <QRect>

// A tiny floating button near the bottom right of the screen; a click asks the run over a
// presentation to show or hide its window ("ShowHideWindowMeg") and closes the button.
class Show : public QDialog
{
    Q_OBJECT
public:
    explicit Show(QWidget *parent = nullptr);
    // Where it stands on a screen with this geometry.
    static QRect place(const QRect &screen);
    void showHideWindow();
};
