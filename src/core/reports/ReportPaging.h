#pragma once

#include "ReportPageSlice.h"

#include <QList>

// Cutting a report's rows into pages. Pure functions: a window, the PDF writer and the tests all
// ask here, and the answer never has zero pages or zero rows per page.
namespace ReportPaging {

// The height of one report row and of one line of the session name in the head.
constexpr int kRowHeight = 25;

// Rows that fit below a head of nameLines session-name lines: (base - 25 * nameLines) / 25, and
// at least 1 (a session name so long that nothing would fit still leaves one row per page).
int rowPerPage(int base, int nameLines);

// rows rows, rowPerPage on a page: pages of rowPerPage rows, the last holding the rest. No rows
// give one empty page.
QList<ReportPageSlice> cut(int rows, int rowPerPage);

// Reports with a head per owner (per student): each owner's rows start on a page of their own
// and are cut into pages of rowPerPage rows; an owner with no rows still gets one empty page. The
// owner's last page carries the signature; when signatureThreshold is at least 0 and that page
// holds more rows than it, one more page without rows follows to carry the signature alone.
// Owners are numbered by their place in rowsPerOwner; the rows are counted across all owners.
// No owners give one empty page.
QList<ReportPageSlice> cutPerOwner(const QList<int> &rowsPerOwner, int rowPerPage, int signatureThreshold = -1);
// The same with a threshold of each owner's own (missing ones -1): owners whose closing block
// needs room (a chart under a question's rows) beside owners that have none.
QList<ReportPageSlice> cutPerOwner(const QList<int> &rowsPerOwner, int rowPerPage,
                                   const QList<int> &signatureThresholds);

// The page (1-based) holding row, or 0 when no page does.
int pageOfRow(const QList<ReportPageSlice> &pages, int row);
// The first page (1-based) of owner, or 0 when it has none.
int firstPageOfOwner(const QList<ReportPageSlice> &pages, int owner);

} // namespace ReportPaging
