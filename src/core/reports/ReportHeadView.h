#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>

class QuizEntity;
class ReportPainter;

// The head of a session report's pages: the report's name above a framed box with the session's
// class, date, subject, teacher and name. It stands on every page.
class ReportHeadView
{
public:
    // The session name is wrapped at this width in Arial 20 ...
    static constexpr double kSessionWidth = 615;
    // ... into at most this many lines, the last one shortened with "...", so that a page always
    // keeps room for its rows.
    static constexpr int kMaxSessionLines = 4;

    ReportHeadView() = default;
    // The head of quiz's report called title (the translated report name).
    ReportHeadView(const QString &title, const QuizEntity &quiz);

    QString title() const { return m_title; }
    void setTitle(const QString &v) { m_title = v; }
    QString textClass() const { return m_textClass; }
    void setTextClass(const QString &v) { m_textClass = v; }
    QString textDate() const { return m_textDate; }
    void setTextDate(const QString &v) { m_textDate = v; }
    QString textSubject() const { return m_textSubject; }
    void setTextSubject(const QString &v) { m_textSubject = v; }
    QString textTeacher() const { return m_textTeacher; }
    void setTextTeacher(const QString &v) { m_textTeacher = v; }
    QString textSession() const { return m_textSession; }
    void setTextSession(const QString &v) { m_textSession = v; }

    // The session name's lines as the head shows them (at least one).
    static QStringList sessionLines(const QString &session);
    // n of the page layouts: how many lines the head gives the session name.
    static int nameLines(const QString &session) { return int(sessionLines(session).size()); }
    int nameLines() const { return nameLines(m_textSession); }
    // Where the head stands on a session report's page, from the page's bottom left:
    // (25, 828 - 25n, 744, 235 + 25n); its top edge is at 1063 whatever n is.
    static QRectF frameFor(int nameLines);

    // The date as the head and the CSV head show it: the session's date text up to its first blank.
    static QString dateText(const QuizEntity &quiz);

    // Draws the head into its frame (painter set up on it).
    void paint(ReportPainter &painter) const;

private:
    QString m_title, m_textClass, m_textDate, m_textSubject, m_textTeacher, m_textSession;
};
