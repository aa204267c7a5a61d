#include "ResultByQuestionInGroupModeLayout.h"

const ResultByQuestionInGroupModeLayout &ResultByQuestionInGroupModeLayout::standard()
{
    using Value = ResultByQuestionInGroupModeLayout::Value;
    static const ResultByQuestionInGroupModeLayout layout = [] {
        ResultByQuestionInGroupModeLayout l;
        l.memberColumns = {
            {"Student", 160, 160, Value::Name},
            {"Points", 390, 390, Value::Point},
            {"Total Points", 470, 470, Value::TotalPoint},
            {"Correct Rate", 600, 600, Value::CorrectRate},
        };
        return l;
    }();
    return layout;
}

const ResultByQuestionInGroupModeLayout &ResultByQuestionInGroupModeLayout::dravel()
{
    using Value = ResultByQuestionInGroupModeLayout::Value;
    static const ResultByQuestionInGroupModeLayout layout = [] {
        ResultByQuestionInGroupModeLayout l;
        l.groupBreak = 12;
        l.memberBreak = 18;
        l.summaryBreak = 13;
        l.totalsBreak = 13;
        l.responseLines = false;
        l.memberColumns = {
            {"Student", 60, 60, Value::Name},
            {"Response", 255, 255, Value::Response},
            {"Points", 403, 403, Value::Point},
            {"Total Points", 489, 494, Value::TotalPoint},
            {"Correct Rate", 611, 611, Value::CorrectRate},
        };
        return l;
    }();
    return layout;
}
