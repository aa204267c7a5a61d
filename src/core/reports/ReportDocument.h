#pragma once

#include "NodeData.h"
#include "ReportFramePolicy.h"
#include "ReportHeadView.h"
#include "ReportPageSlice.h"
#include "ReportSideList.h"
#include "ReportToolTip.h"
#include "SelectStudents.h"
#include "StudentAnswers.h"

#include "core/roster/CSVOperator.h"

#include <QDate>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>

class QPainter;
class QuizEntity;
class ReportCSVWriter;
class ReportPainter;

// One report as printable pages and a CSV file: what the report frame shows, pages, zooms and
// exports. A report derives from it, builds its rows (in its constructor), calls buildPages(), and
// supplies:
//   - reportName(): its English name (CSV row 1; translated for the head and the window title);
//   - rowCount() and, where its pages hold another number of rows than (689 - 25n) / 25,
//     rowPerPageFor(); or cutPages() for pages cut otherwise (a head per student ...);
//   - paintBody(): its page view, drawn into the body frame through a ReportPainter;
//   - csvColumns() and writeCSVBody(): its CSV body (the frame writes head and footer, or the
//     report its own footer with writeCSVFoot());
//   - optionally sideList() / sideRowSelected() or outline() for the list beside the pages.
// Nothing here changes once buildPages() has run, except the row marked through the side list.
class ReportDocument
{
public:
    // Rows built so far out of all (a progress window's steps).
    using Progress = std::function<void(int done, int total)>;

    explicit ReportDocument(const ReportFramePolicy &policy);
    virtual ~ReportDocument();
    ReportDocument(const ReportDocument &) = delete;
    ReportDocument &operator=(const ReportDocument &) = delete;

    const ReportFramePolicy &policy() const { return m_policy; }

    // The English name (CSV row 1, the string table's key) and the name shown.
    virtual QString reportName() const = 0;
    QString title() const;

    // The session head (policy Head::Session), from the session; before buildPages().
    void setSessionHead(const QuizEntity &quiz);
    const ReportHeadView &head() const { return m_head; }
    // n of the layouts: the lines of the session name in the head; 1 without a session head.
    int nameLines() const;

    // Cuts the rows into pages (once; later calls change nothing).
    void buildPages();
    bool hasPages() const { return m_laidOut; }
    int rowPerPage() const { return m_rowPerPage; }
    // At least 1 once built.
    int totalPage() const { return int(m_pages.size()); }
    const QList<ReportPageSlice> &pages() const { return m_pages; }
    // The slice of page (1-based; clamped into the report's pages).
    ReportPageSlice slice(int page) const;

    QSizeF pageSize() const { return m_policy.pageSize; }
    // Where the head and the page view stand on the page, from its bottom left.
    virtual QRectF headFrame(const ReportPageSlice &slice) const;
    virtual QRectF bodyFrame(const ReportPageSlice &slice) const;

    // The day the pages say they were made on ("Created On:"): the report's creation.
    QDate createdOn() const { return m_createdOn; }
    void setCreatedOn(const QDate &day) { m_createdOn = day; }

    // Paints page (1-based) whole: white paper, the captions at its foot, the head and the page
    // view; in page units from the top left, on whatever device painter paints.
    void paintPage(QPainter &painter, int page, QList<ReportToolTip> *toolTips = nullptr) const;
    // "Page:  %d/%d".
    static QString pageCaption(int page, int totalPage);

    bool hasCSV() const { return m_policy.csvHead != ReportFramePolicy::CsvHead::NoCsv; }
    // The CSV grid: the frame's head, the report's body, the footer dated day.
    CSVOperator csv(const QDate &day) const;
    // Writes csv(today) to path, replacing it whole; false with CSVOperator's message (and the
    // system's reason) when it cannot.
    bool saveToCSV(const QString &path, QString *errorText = nullptr, QString *reason = nullptr) const;

    // ---- The list beside the pages ----
    virtual ReportSideList sideList() const { return {}; }
    // The list's row chosen (-1: none): the page to show, 0 for none. A report may mark the
    // chosen row on its pages.
    virtual int sideRowSelected(int row);
    // The outline's top nodes; none: no outline.
    virtual QList<NodeDataPtr> outline() const { return {}; }
    // The page an outline node leads to (by the policy's meaning of its line); 0 for none.
    int pageOfNode(const NodeData &node) const;

protected:
    // The ticked rows of a student check list, in its order; progress counts every row.
    static void forEachTicked(const QList<SelectStudents> &students, const Progress &progress,
                              const std::function<void(const SelectStudents &)> &take);
    // The list beside the pages of a report whose pages are cut per student (owner): one row of
    // ID and name per student; choosing one leads to their first page.
    // A ticked row's student, with no answers yet.
    static StudentAnswers<> studentOf(const SelectStudents &row);
    static ReportSideList studentSideList(const QList<QStringList> &idAndName);
    int firstPageOfOwner(int owner, int owners) const;

    virtual int rowCount() const = 0;
    virtual int rowPerPageFor(int nameLines) const;
    virtual QList<ReportPageSlice> cutPages() const;
    // The session head by default; per-owner and fixed heads are the report's own.
    virtual void paintHead(ReportPainter &painter, const ReportPageSlice &slice) const;
    virtual void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const = 0;
    virtual int csvColumns() const { return 1; }
    virtual void writeCSVBody(ReportCSVWriter &csv) const;
    // The rows after the body: "Created On:" for the session reports, the signature row and then
    // "Created On:" for the gradebook's; a report whose file ends otherwise writes its own.
    virtual void writeCSVFoot(ReportCSVWriter &csv, const QDate &day) const;
    // The subject of the gradebook CSV head.
    virtual QString csvSubject() const { return {}; }

private:
    ReportFramePolicy m_policy;
    ReportHeadView m_head;
    bool m_hasSessionHead = false;
    bool m_laidOut = false;
    int m_rowPerPage = 1;
    QList<ReportPageSlice> m_pages;
    QDate m_createdOn;
};
