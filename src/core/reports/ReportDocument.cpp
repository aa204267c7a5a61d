#include "ReportDocument.h"

#include "ReportCSVWriter.h"
#include "ReportPainter.h"
#include "ReportPaging.h"
#include "ReportStyle.h"

#include "core/store/GlobalFunctions.h"
#include "core/store/QuizEntity.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>

ReportDocument::ReportDocument(const ReportFramePolicy &policy)
    : m_policy(policy), m_createdOn(GlobalFunctions::currentDateTime().date())
{
}

ReportDocument::~ReportDocument() = default;

QString ReportDocument::title() const
{
    return QCoreApplication::translate("Report", reportName().toUtf8().constData());
}

void ReportDocument::setSessionHead(const QuizEntity &quiz)
{
    m_head = ReportHeadView(title(), quiz);
    m_hasSessionHead = true;
}

int ReportDocument::nameLines() const
{
    return m_hasSessionHead ? m_head.nameLines() : 1;
}

void ReportDocument::buildPages()
{
    if (m_laidOut)
        return;
    m_rowPerPage = std::max(1, rowPerPageFor(nameLines()));
    m_pages = cutPages();
    if (m_pages.isEmpty())
        m_pages.append(ReportPageSlice{});
    m_laidOut = true;
}

ReportPageSlice ReportDocument::slice(int page) const
{
    if (m_pages.isEmpty())
        return {};
    return m_pages.at(std::clamp(page, 1, int(m_pages.size())) - 1);
}

int ReportDocument::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(689, nameLines);
}

QList<ReportPageSlice> ReportDocument::cutPages() const
{
    return ReportPaging::cut(rowCount(), m_rowPerPage);
}

QRectF ReportDocument::headFrame(const ReportPageSlice &) const
{
    if (m_policy.head == ReportFramePolicy::Head::PerOwner)
        return QRectF(25, 778, 744, 285);
    return ReportHeadView::frameFor(nameLines());
}

QRectF ReportDocument::bodyFrame(const ReportPageSlice &) const
{
    if (m_policy.head == ReportFramePolicy::Head::PerOwner)
        return QRectF(25, 40, 744, 720);
    return QRectF(25, 70, 744, 745 - 25 * nameLines());
}

QString ReportDocument::pageCaption(int page, int totalPage)
{
    return QCoreApplication::translate("Report", "Page:  %1/%2").arg(page).arg(totalPage);
}

void ReportDocument::paintPage(QPainter &painter, int page, QList<ReportToolTip> *toolTips) const
{
    const QSizeF size = pageSize();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);

    // The captions at the foot of every page.
    ReportPainter paper(painter, QRectF(QPointF(0, 0), size), size.height(), toolTips);
    const QFont caption = ReportStyle::arial(22);
    paper.drawText(QCoreApplication::translate("Report", "Created On:  %1").arg(m_createdOn.toString(QStringLiteral("yyyy-MM-dd"))),
                   27, 35, caption);
    paper.drawTextRightAligned(pageCaption(std::clamp(page, 1, std::max(1, totalPage())), std::max(1, totalPage())),
                               767, 35, caption);

    const ReportPageSlice s = slice(page);
    if (m_policy.head != ReportFramePolicy::Head::None) {
        ReportPainter head(painter, headFrame(s), size.height(), toolTips);
        paintHead(head, s);
    }
    ReportPainter body(painter, bodyFrame(s), size.height(), toolTips);
    paintBody(body, s);
    painter.restore();
}

void ReportDocument::paintHead(ReportPainter &painter, const ReportPageSlice &) const
{
    if (m_hasSessionHead)
        m_head.paint(painter);
}

CSVOperator ReportDocument::csv(const QDate &day) const
{
    ReportCSVWriter writer(csvColumns());
    switch (m_policy.csvHead) {
    case ReportFramePolicy::CsvHead::SessionWithReportRow:
    case ReportFramePolicy::CsvHead::Session:
        writer.sessionHead(reportName(), m_head, m_policy.csvHead == ReportFramePolicy::CsvHead::SessionWithReportRow);
        writeCSVBody(writer);
        writeCSVFoot(writer, day);
        break;
    case ReportFramePolicy::CsvHead::Gradebook:
        writer.gradebookHead(reportName(), csvSubject());
        writeCSVBody(writer);
        writeCSVFoot(writer, day);
        break;
    case ReportFramePolicy::CsvHead::NoCsv:
        break;
    }
    return writer.grid();
}

bool ReportDocument::saveToCSV(const QString &path, QString *errorText, QString *reason) const
{
    return csv(GlobalFunctions::currentDateTime().date()).saveCSVTo(path, errorText, reason);
}

void ReportDocument::writeCSVBody(ReportCSVWriter &) const {}

void ReportDocument::writeCSVFoot(ReportCSVWriter &csv, const QDate &day) const
{
    if (m_policy.csvHead == ReportFramePolicy::CsvHead::Gradebook)
        csv.signatureFooter(day);
    else
        csv.footer(day);
}

void ReportDocument::forEachTicked(const QList<SelectStudents> &students, const Progress &progress,
                                   const std::function<void(const SelectStudents &)> &take)
{
    for (int i = 0; i < students.size(); ++i) {
        if (progress)
            progress(i + 1, int(students.size()));
        if (students.at(i).isSelected())
            take(students.at(i));
    }
}

StudentAnswers<> ReportDocument::studentOf(const SelectStudents &row)
{
    StudentAnswers<> student;
    student.setStudentNo(row.studentNo());
    student.setStudentID(row.studentID());
    student.setStudentName(row.studentName());
    return student;
}

ReportSideList ReportDocument::studentSideList(const QList<QStringList> &idAndName)
{
    ReportSideList list;
    list.headers = {QCoreApplication::translate("Report", "Student ID"),
                    QCoreApplication::translate("Report", "Student Name")};
    list.rows = idAndName;
    return list;
}

int ReportDocument::firstPageOfOwner(int owner, int owners) const
{
    if (owner < 0 || owner >= owners)
        return 0;
    return ReportPaging::firstPageOfOwner(m_pages, owner);
}

int ReportDocument::sideRowSelected(int)
{
    return 0;
}

int ReportDocument::pageOfNode(const NodeData &node) const
{
    if (m_pages.isEmpty())
        return 0;
    int page = node.line();
    if (m_policy.outlineLine == ReportFramePolicy::OutlineLine::Row)
        page = (node.line() + m_rowPerPage - 1) / m_rowPerPage;
    return std::clamp(page, 1, totalPage());
}
