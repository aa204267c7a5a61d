#include "ReportHeadView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include "core/store/GlobalFunctions.h"
#include "core/store/QuizEntity.h"

#include <QCoreApplication>
#include <QDateTime>

ReportHeadView::ReportHeadView(const QString &title, const QuizEntity &quiz)
    : m_title(title), m_textClass(quiz.className()), m_textDate(dateText(quiz)), m_textSubject(quiz.subject()),
      m_textTeacher(quiz.teacherName()), m_textSession(quiz.name())
{
}

QString ReportHeadView::dateText(const QuizEntity &quiz)
{
    // A loaded session holds its day as a date in UTC+8; its text form starts with the stored day.
    const QVariant &date = quiz.date();
    const QString text = date.userType() == QMetaType::QDateTime
                             ? GlobalFunctions::standardDateText(date.toDateTime())
                             : date.toString();
    return text.section(QLatin1Char(' '), 0, 0);
}

QStringList ReportHeadView::sessionLines(const QString &session)
{
    return getWordWrappedStrings(session, kSessionWidth, ReportStyle::arial(20), kMaxSessionLines);
}

QRectF ReportHeadView::frameFor(int nameLines)
{
    return QRectF(25, 828 - 25 * nameLines, 744, 235 + 25 * nameLines);
}

void ReportHeadView::paint(ReportPainter &painter) const
{
    const double w = painter.width(), h = painter.height();
    painter.strokeRect(1, 1, w - 2, h - 57, 3, ReportStyle::frameBlue());
    painter.fillRect(2, 2, w - 4, h - 59, ReportStyle::paleBlue());
    painter.drawText(m_title, 0, h - 44, ReportStyle::arial(36), ReportStyle::titleOrange());

    const QFont font = ReportStyle::arial(20);
    const struct
    {
        const char *caption;
        const QString &value;
        int drop;
    } lines[] = {{"Class:", m_textClass, 90},
                 {"Date:", m_textDate, 130},
                 {"Subject:", m_textSubject, 170},
                 {"Teacher:", m_textTeacher, 210}};
    for (const auto &line : lines) {
        painter.drawTextRightAligned(QCoreApplication::translate("Report", line.caption), 102, h - line.drop, font);
        painter.drawText(line.value, 109, h - line.drop, font);
    }
    painter.drawTextRightAligned(QCoreApplication::translate("Report", "Session:"), 102, h - 250, font);
    const QStringList session = sessionLines(m_textSession);
    for (int k = 0; k < session.size(); ++k)
        painter.drawText(session.at(k), 109, h - 250 - 25 * k, font);
}
