#pragma once

#include "ReportPainter.h"

#include <QList>

// Where the Question Report's page view puts things (page-view units, from its bottom left). A
// variant of the view is a second instance, not a second class.
struct QuestionReportLayout
{
    // "Report" in the title bar, and the note under it.
    int titleSize = 20;
    int noteSize = 20;
    // Question and option lines, the answer table's heading.
    int textSize = 18;
    // The students' rows of the answer table.
    int studentTextSize = 10;
    // Question texts are wrapped at textWidth, option texts at optionWidth.
    int textWidth = 700;
    int optionWidth = 716;
    // The answer table's three cells (ID, name, answer), heading and rows alike, and where the ID
    // and the name stand in them.
    QList<ReportPainter::Cell> answerCells;
    int idX = 15;
    int nameX = 150;
    // The students' answers: left-aligned at answerX, or centred in the third cell.
    bool centreAnswers = false;
    int answerX = 410;
    // "Student Name" in the heading.
    int nameCaptionX = 150;
    // The question types (the reports' numbers) whose pages carry the chart.
    QList<int> chartTypes;
    // The chart needs this many free rows below the last row of its page.
    int chartRows = 8;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 664;

    static const QuestionReportLayout &standard();
    // The Dravel-named pages: larger bars and student rows, the answers centred, a chart for
    // single-answer questions only.
    static const QuestionReportLayout &dravel();
};
