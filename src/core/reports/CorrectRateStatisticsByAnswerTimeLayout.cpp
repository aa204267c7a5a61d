#include "CorrectRateStatisticsByAnswerTimeLayout.h"

const CorrectRateStatisticsByAnswerTimeLayout &CorrectRateStatisticsByAnswerTimeLayout::standard()
{
    using F = Field;
    static const CorrectRateStatisticsByAnswerTimeLayout layout{
        {{"Q#", 28, F::QuNo}, {"Student", 237, F::StudentName}, {"AnswerTime", 485, F::AnsTime}, {"Points", 640, F::Point}},
    };
    return layout;
}
