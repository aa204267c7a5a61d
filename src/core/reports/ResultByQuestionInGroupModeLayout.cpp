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
