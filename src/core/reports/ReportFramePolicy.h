#pragma once

#include <QSizeF>

// Where report windows differ, as values: one frame shows every report, and each report hands it
// the policy of its family. The three families each have their named policy below.
struct ReportFramePolicy
{
    enum class Head {
        Session,  // the session head on every page, growing with the session name's lines
        Fixed,    // one head of the report's own, the same on every page
        PerOwner, // one head per owner (student), switched with the pages
        None      // no head
    };
    enum class Pdf {
        AllPagesBackToShown, // every page; the window then shows the page it showed before
        AllPagesBackToFirst, // every page; the window then shows page 1
        ShownPage,           // the page on show only; the window stays on it
        NoPdf
    };
    enum class CsvHead {
        SessionWithReportRow, // rows 1-6 the report and its session, row 8 "Report", body from 9
        Session,              // rows 1-6 the report and its session, body from 8
        Gradebook,            // row 1 the report, row 2 column 5 the subject, body from 3
        NoCsv
    };
    // What an outline node's line is: a page number, or a row number to round up to its page.
    enum class OutlineLine { Page, Row };

    Head head = Head::Session;
    Pdf pdf = Pdf::AllPagesBackToShown;
    CsvHead csvHead = CsvHead::SessionWithReportRow;
    OutlineLine outlineLine = OutlineLine::Page;
    // The page in page units.
    QSizeF pageSize{794, 1123};

    // The reports of one stored session shown in the report viewer (the first session reports):
    // session head, PDF of every page and back to the page shown, CSV head with its "Report" row.
    static ReportFramePolicy viewerFrame();
    // The second session reports' report window: as above, but back to page 1 after a PDF, and a
    // CSV head without the "Report" row (the report writes what it wants from row 8).
    static ReportFramePolicy windowFrame();
    // The same, returning to the page shown after a PDF, with the CSV head csvHead.
    static ReportFramePolicy windowFrameBackToShown(CsvHead csvHead);
    // The gradebook's report windows: a head per student, back to the page shown after a PDF,
    // the gradebook's CSV skeleton with the signature rows at its end.
    static ReportFramePolicy gradebookFrame();
    // The Dravel-named report windows: the session head, every page in the PDF and back to the
    // page shown, no CSV.
    static ReportFramePolicy dravelFrame();
};
