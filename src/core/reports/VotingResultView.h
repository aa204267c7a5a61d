#pragma once

#include "VotingResultLayout.h"
#include "VotingResultsPrintPerRowDate.h"

#include <QList>

class ReportPainter;

// One page of a vote report: the title bar, then the page's rows (title lines, column headings,
// options with their votes and shares, abstentions). A title or a run of options cut by the page's
// start gets its band from the page's first row.
class VotingResultView
{
public:
    VotingResultView(const VotingResultLayout &layout, const QList<VotingResultsPrintPerRowDate> &printArray);

    void paint(ReportPainter &painter) const;

private:
    // How many rows of kind from row i on follow one another.
    int runOf(int i, int kind) const;

    const VotingResultLayout &m_layout;
    QList<VotingResultsPrintPerRowDate> m_printArray;
};
