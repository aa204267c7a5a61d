#pragma once

#include "ReportTable1Element.h"

#include "core/store/TovSessionXmlParsedResult.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The rules of the Report window's session list: which index entries are listed for the
// filters, in which order, the default date range, and which buttons a selection enables. The
// window asks here and applies the answers; everything works on the header index only.
class ReportSessionList
{
public:
    ReportSessionList() = delete;

    // The filter values as the combo boxes show them: "All" passes everything, any other text
    // must equal the row's field exactly; a null text (no item selected) passes nothing.
    // Days are calendar days, both included; a row without a readable day is not held back by
    // the dates.
    struct Filter
    {
        QString title, activity, type, className, subject, teacher, kind;
        QDate from, to;

        bool passes(const ReportTable1Element &row) const;
    };

    // One row per index entry (passing filter, when one is given), newest first; rows of the
    // same moment keep the index's order.
    static QList<ReportTable1Element> rows(const QList<TovSessionXmlParsedResult> &index, const Filter *filter = nullptr);
    // Every distinct Title of the index, in index order.
    static QStringList titles(const QList<TovSessionXmlParsedResult> &index);
    // The activity names the activity filter offers after "All".
    static QStringList activityNames();
    // The kinds the kind filter offers after "All".
    static QStringList kinds();
    // The session types built in, offered by the type filter after "All" while the gradebook's
    // own list is not at hand.
    static QStringList builtInSessionTypes();

    // The default range of the date filter: from the earliest listed day (today when that is
    // later) to the latest listed day. With nothing listed, the days of createdTexts (the
    // DateCreated texts of every session file; asked for only then), else today to today.
    struct DateRange
    {
        QDate from, to;
    };
    static DateRange defaultDateRange(const QList<ReportTable1Element> &listed, const QDate &today,
                                      const std::function<QStringList()> &createdTexts);

    // Which of the list's buttons the selected rows (in list order) allow. resetting: the list is
    // being rebuilt by the window itself, and the merge checks are skipped.
    struct Buttons
    {
        bool edit = false, merge = false, exportFile = false, report = false, importFile = false, deleteRows = false;
        bool operator==(const Buttons &) const = default;
    };
    static Buttons buttonsFor(const QList<ReportTable1Element> &selected, bool resetting);
    // A double click opens the editor: one row selected, of an activity that has answers to edit.
    static bool doubleClickEdits(const QList<ReportTable1Element> &selected);
    // The merge's own checks: one subject, and each session either of the first one's question
    // file (testPaper: the title and question count of a file) or of its class.
    static bool mayMerge(const QList<ReportTable1Element> &selected,
                         const std::function<QString(const QString &path)> &testPaper);
    // Why a merge of these rows is refused for the points-only sessions among them (each keeps
    // its own total); empty when there are none.
    static QString pointsOnlyRefusal(const QList<ReportTable1Element> &selected);
};
