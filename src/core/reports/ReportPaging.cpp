#include "ReportPaging.h"

#include <algorithm>

namespace ReportPaging {

int rowPerPage(int base, int nameLines)
{
    return std::max(1, (base - kRowHeight * std::max(1, nameLines)) / kRowHeight);
}

QList<ReportPageSlice> cut(int rows, int rowPerPage)
{
    return cutPerOwner({rows}, rowPerPage);
}

QList<ReportPageSlice> cutPerOwner(const QList<int> &rowsPerOwner, int rowPerPage, int signatureThreshold)
{
    return cutPerOwner(rowsPerOwner, rowPerPage, QList<int>(rowsPerOwner.size(), signatureThreshold));
}

QList<ReportPageSlice> cutPerOwner(const QList<int> &rowsPerOwner, int rowPerPage,
                                   const QList<int> &signatureThresholds)
{
    const int perPage = std::max(1, rowPerPage);
    QList<ReportPageSlice> pages;
    int first = 0;
    for (int owner = 0; owner < rowsPerOwner.size(); ++owner) {
        const int rows = std::max(0, rowsPerOwner.at(owner));
        int done = 0;
        do {
            const int count = std::min(perPage, rows - done);
            pages.append({owner, first + done, count, false});
            done += count;
        } while (done < rows);
        const int signatureThreshold = signatureThresholds.value(owner, -1);
        if (signatureThreshold >= 0 && pages.last().count > signatureThreshold)
            pages.append({owner, first + rows, 0, false});
        pages.last().hasSignature = true;
        first += rows;
    }
    if (pages.isEmpty())
        pages.append({0, 0, 0, false});
    return pages;
}

int pageOfRow(const QList<ReportPageSlice> &pages, int row)
{
    for (int i = 0; i < pages.size(); ++i)
        if (row >= pages.at(i).first && row < pages.at(i).first + pages.at(i).count)
            return i + 1;
    return 0;
}

int firstPageOfOwner(const QList<ReportPageSlice> &pages, int owner)
{
    for (int i = 0; i < pages.size(); ++i)
        if (pages.at(i).owner == owner)
            return i + 1;
    return 0;
}

} // namespace ReportPaging
