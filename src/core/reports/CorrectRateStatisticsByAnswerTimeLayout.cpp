#include "CorrectRateStatisticsByAnswerTimeLayout.h"

const CorrectRateStatisticsByAnswerTimeLayout &CorrectRateStatisticsByAnswerTimeLayout::standard()
{
    using F = Field;
    static const CorrectRateStatisticsByAnswerTimeLayout layout{
        {{"Q#", 28, F::QuNo}, {"Student", 237, F::StudentName}, {"AnswerTime", 485, F::AnsTime}, {"Points", 640, F::Point}},
    };
    return layout;
}

const CorrectRateStatisticsByAnswerTimeLayout &CorrectRateStatisticsByAnswerTimeLayout::dravel()
{
    using F = Field;
    static const CorrectRateStatisticsByAnswerTimeLayout layout = [] {
        CorrectRateStatisticsByAnswerTimeLayout l;
        l.columns = {{"Q#", 28, F::QuNo},
                     {"Student", 177, F::StudentName},
                     {"Answer", 374, F::Answer},
                     {"AnswerTime", 485, F::AnsTime},
                     {"Points", 640, F::Point}};
        l.answerLine = false;
        return l;
    }();
    return layout;
}
