#pragma once

#include <QList>

// How the group-mode Result By Question cuts its pages and where its page view puts the member
// table (page-view units, from its bottom left). The header block, the group bands and the
// summaries stand alike in every variant; a variant is a second instance, not a second class.
struct ResultByQuestionInGroupModeLayout
{
    // Page breaks, in rows pending on the page (with a one-line session name; each further line
    // of it takes one row off each): a group starts a new page when more than groupBreak are
    // pending, a member when more than memberBreak (the group's header repeated), the group's
    // summary when more than summaryBreak (its title and points repeated), the question's totals
    // when more than totalsBreak.
    int groupBreak = 11;
    int memberBreak = 17;
    int summaryBreak = 12;
    int totalsBreak = 12;
    // Each member's row is followed by a line with the member's response.
    bool responseLines = true;

    // The member table: each caption at its x, the member's value centred under the caption from
    // valueX (the caption's width in bold).
    enum class Value { Name, Response, Point, TotalPoint, CorrectRate };
    struct Column
    {
        const char *caption; // translated when drawn
        int x;
        int valueX;
        Value value;
    };
    QList<Column> memberColumns;

    // The question's text is wrapped at titleWidth into at most maxTitleLines lines, the last
    // ending in "..." when more would follow (more would run into the correct answer's line).
    double titleWidth = 703;
    int maxTitleLines = 4;

    static const ResultByQuestionInGroupModeLayout &standard();
    // The Dravel-named pages: no response lines, the response a column of the member's row, one
    // row more on each page.
    static const ResultByQuestionInGroupModeLayout &dravel();
};
