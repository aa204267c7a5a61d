#pragma once

#include "ui/app/MyBorderlessWindow.h"

class QTimer;

// The welcome splash ("WelcomeWindow"): puts the first-run files the application folder lacks in
// place, then counts down and closes itself. The count-down length can be changed (tests use 0:
// no wait), and so can the archive (unset: the one shipped with the program).
class WelcomeWindowController : public MyBorderlessWindow
{
    Q_OBJECT
public:
    explicit WelcomeWindowController(QWidget *parent = nullptr);

    // Shows the splash modally until its count-down ends; returns at once for a count of 0.
    int runModal();
    void startCountDown();
    void unZipSystemFile();

    int ntime() const { return m_ntime; }
    static void setDefaultSeconds(int seconds);
    static void setTickIntervalMs(int ms);
    static void setArchivePath(const QString &path);

private:
    QTimer *closeTimer = nullptr;
    int m_ntime = 5;
};
