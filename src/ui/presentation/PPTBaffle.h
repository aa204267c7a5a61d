#pragma once

#include <QMargins>
#include <QString>
#include <QWidget>

class QLabel;

// The backdrop of a run over a slide show: a grey window as large as the main screen behind the
// show, with one line naming the test's ID and title.
class PPTBaffle : public QWidget
{
    Q_OBJECT
public:
    explicit PPTBaffle(QWidget *parent = nullptr);

    QLabel *txtMessage = nullptr;

    void setMessageID(const QString &testId, const QString &title);
    // The edges of the screen that the run's windows take (the strip, the bar, the students not
    // in the class): the line stands in the middle of the rest.
    void setFreeArea(const QMargins &taken);
    // The title as the line shows it: the file name without folders and without anything from
    // its first dot on, cut to 20 characters and three dots.
    static QString shownTitle(const QString &title);

private:
    static constexpr int kMargin = 40;
};
