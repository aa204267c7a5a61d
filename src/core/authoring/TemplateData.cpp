#include "TemplateData.h"

namespace {
QString s(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

const QList<TemplateData::Scale> &TemplateData::ratingScales()
{
    static const QList<Scale> scales = {
        {14, "Affect on X", true, {s("No affect"), s("Minor affect"), s("Neutral"), s("Moderate affect"), s("Major affect")}},
        {15, "Amount of Use", true, {s("Never use"), s("Almost never"), s("Occasionally/Sometimes"), s("Almost every time "), s("Frequently use")}},
        {16, "Barriers", true, {s("Not a barrier"), s("Somewhat of a barrier"), s("Moderate barrier"), s("Extreme barrier")}},
        {17, "Comparison of Two Products", true, {s("Much worse"), s("Somewhat worse"), s("About the same"), s("Somewhat better"), s("Much better")}},
        {18, "Frequency", true, {s("Never"), s("Rarely "), s("Occasionally"), s("A moderate amount"), s("A great deal")}},
        {19, "Frequency-5 point", true, {s("Never"), s("Rarely "), s("Sometimes"), s("Often"), s("Always")}},
        {20, "Frequency-7 point", false, {s("Never"), s("Rarely, in less than 10% of the chances when I could have "), s("Occasionally, in about 30% of the chances when I could have"), s("Sometimes, in about 50% of the chances when I could have"), s("Frequently, in about 70% of the chances when I could have"), s("Usually, in about 90% of the chances I could have"), s("Every time")}},
        {21, "Frequency of Use", true, {s("Never"), s("Almost never"), s("Occasionally/Sometimes"), s("Almost every time "), s("Every time")}},
        {22, "Good / Bad", true, {s("Very negative"), s("Neutral"), s("Very positive")}},
        {23, "Knowledge of Action", false, {s("Never true"), s("Rarely true"), s("Sometimes but infrequently true"), s("Neutral"), s("Sometimes true"), s("Usually true"), s("Always true")}},
        {24, "Level of Acceptability", false, {s("Totally unacceptable"), s("Unacceptable"), s("Slightly unacceptable"), s("Neutral"), s("Slightly acceptable"), s("Acceptable"), s("Perfectly Acceptable")}},
        {25, "Level of Agreement", true, {s("Strongly disagree"), s("Disagree"), s("Neither agree or disagree"), s("Agree"), s("Strongly agree")}},
        {26, "Level of Agreement", false, {s("Strongly disagree"), s("Disagree"), s("Somewhat disagree"), s("Neither agree or disagree"), s("Somewhat agree"), s("Agree"), s("Strongly agree")}},
        {27, "Level of Appropriateness", false, {s("Absolutely inappropriate"), s("Inappropriate"), s("Slightly inappropriate"), s("Neutral"), s("Slightly appropriate"), s("Appropriate"), s("Absolutely appropriate")}},
        {28, "Level of Awareness", true, {s("Not at all aware"), s("Slightly aware"), s("Somewhat aware"), s("Moderately aware"), s("Extremely aware")}},
        {29, "Level of Concern", true, {s("Not at all concerned"), s("Slightly concerned"), s("Somewhat concerned"), s("Moderately concerned"), s("Extremely concerned")}},
        {30, "Level of Consideration", true, {s("Would not consider"), s("Might or might not consider"), s("Definitely consider")}},
        {31, "Level of Desirability", true, {s("Very undesirable"), s("Undesirable"), s("Neutral"), s("Desirable"), s("Very desirable")}},
        {32, "Level of Detraction", true, {s("Detracted very little"), s("Neutral"), s("Detracted very much")}},
        {33, "Level of Difficulty", true, {s("Very difficult"), s("Difficult"), s("Neutral"), s("Easy"), s("Very easy")}},
        {34, "Level of Familiarity", true, {s("Not at all familiar"), s("Slightly familiar"), s("Somewhat familiar"), s("Moderately familiar"), s("Extremely familiar")}},
        {35, "Level of Importance", false, {s("Not at all important"), s("Low importance"), s("Slightly important"), s("Neutral"), s("Moderately important"), s("Very important"), s("Extremely important")}},
        {36, "Level of Influence", true, {s("Not at all influential"), s("Slightly influential"), s("Somewhat influential"), s("Very influential"), s("Extremely influential")}},
        {37, "Level of Participation", true, {s("No, and not considered"), s("No, but considered"), s("Yes")}},
        {38, "Level of Probability", true, {s("Not probable"), s("Somewhat improbable"), s("Neutral"), s("Somewhat probable"), s("Very probable")}},
        {39, "Level of Problem", true, {s("Not at all a problem"), s("Minor problem"), s("Moderate problem"), s("Serious problem")}},
        {40, "Level of Quality - 5 point", true, {s("Poor"), s("Fair"), s("Good"), s("Very good"), s("Excellent")}},
        {41, "Level of Responsibility", true, {s("Not at all responsible"), s("Somewhat responsible"), s("Mostly responsible"), s("Completely responsible")}},
        {42, "Level of Satisfaction - 5 point", true, {s("Not at all satisfied"), s("Slightly satisfied"), s("Moderately satisfied"), s("Very satisfied"), s("Extremely satisfied")}},
        {43, "Level of Satisfaction - 7 point", false, {s("Completely dissatisfied"), s("Mostly dissatisfied"), s("Somewhat dissatisfied"), s("Neither satisfied or dissatisfied"), s("Somewhat satisfied"), s("Mostly satisfied"), s("Completely satisfied")}},
        {44, "Level of Satisfaction2 - 5 point", true, {s("Very dissatisfied"), s("Dissatisfied"), s("Unsure"), s("Satisfied"), s("Very satisfied")}},
        {45, "Level of Support/Opposition", true, {s("Strongly oppose"), s("Somewhat oppose"), s("Neutral"), s("Somewhat favor"), s("Strongly favor")}},
        {46, "Likelihood", true, {s("Extremely unlikely"), s("Unlikely"), s("Neutral"), s("Likely"), s("Extremely likely")}},
        {47, "My beliefs", false, {s("Very untrue of what I believe"), s("Untrue of what I believe"), s("Somewhat untrue of what I believe"), s("Neutral"), s("Somewhat true of what I believe"), s("True of what I believe"), s("Very true of what I believe")}},
        {48, "Priority", false, {s("Not a priority"), s("Low priority"), s("Somewhat priority"), s("Neutral"), s("Moderate Priority"), s("High priority"), s("Essential priority")}},
        {49, "Priority Level", true, {s("Not a priority"), s("Low priority"), s("Medium priority"), s("High priority"), s("Essential")}},
        {50, "Reflect Me?", false, {s("Very untrue of me"), s("Untrue of me"), s("Somewhat untrue of me"), s("Neutral"), s("Somewhat true of me"), s("True of me"), s("Very true of me")}},
    };
    return scales;
}

QStringList TemplateData::getOptionContentByindex(int index)
{
    if (index == 0)
        return {QStringLiteral("True"), QStringLiteral("False")};
    if (index >= 14 && index <= 50)
        return ratingScales()[index - 14].choices;
    return {};
}

TemplateData::Node TemplateData::templateTree(int addType, int deviceType)
{
    const bool arvel = deviceType == 1;
    auto leaf = [](int index, const QString &name) { return Node{TemplateData(index, name, true), {}}; };

    Node root{TemplateData(-1, QStringLiteral("All Templates"), false), {}};
    root.children.append(leaf(0, QStringLiteral("True or False")));
    if (!arvel)
        root.children.append(leaf(1, QStringLiteral("Cloze and Short Answer")));

    Node selection{TemplateData(-1, QStringLiteral("Selection"), false), {}};
    if (addType == 2 || addType == 3) {
        for (int n = 2; n <= (arvel ? 6 : 10); ++n)
            selection.children.append(leaf(n, QStringLiteral("%1 Options").arg(n)));
    } else if (addType == 0 || addType == 1) {
        static const char *layouts[] = {"2 Selections 2 Coulumns", "2 Selections 1 Coulumns", "3 Selections 1 Coulumns",
                                        "4 Selections 1 Coulumns", "4 Selections 2 Coulumns", "5 Selections 1 Coulumns",
                                        "6 Selections 1 Coulumns", "6 Selections 2 Coulumns", "7 Selections 1 Coulumns",
                                        "8 Selections 2 Coulumns", "9 Selections 2 Coulumns", "10 Selections 2 Coulumns"};
        for (int index = 2; index <= (arvel ? 9 : 13); ++index)
            selection.children.append(leaf(index, QString::fromUtf8(layouts[index - 2])));
    }
    root.children.append(selection);

    Node likert{TemplateData(-1, QStringLiteral("Likert"), false), {}};
    for (const Scale &scale : ratingScales())
        if (scale.arvel || !arvel)
            likert.children.append(leaf(scale.index, QString::fromUtf8(scale.name)));
    root.children.append(likert);
    return root;
}
