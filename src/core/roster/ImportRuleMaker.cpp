#include "ImportRuleMaker.h"

namespace ImportRuleMaker {

namespace {
ImportItemRulePtr rule(int valueType, const QString &defaultValue)
{
    auto r = ImportItemRule::noNeedImportItemRule();
    r->setValueType(valueType);
    r->setDefaultStringValue(defaultValue);
    return r;
}
} // namespace

ImportItemRulePtr noCheck(const QString &defaultValue)
{
    return rule(ImportItemRule::NoCheck, defaultValue);
}

ImportItemRulePtr number(int low, int high, const QString &defaultValue)
{
    auto r = rule(ImportItemRule::WholeNumber, defaultValue);
    r->setMinDecimalValue(float(low));
    r->setMaxDecimalValue(float(high));
    return r;
}

ImportItemRulePtr text(int maxLength, const QString &defaultValue)
{
    auto r = rule(ImportItemRule::LimitedText, defaultValue);
    r->setMaxLength(maxLength);
    return r;
}

ImportItemRulePtr date(const QString &defaultValue)
{
    return rule(ImportItemRule::DateValue, defaultValue);
}

ImportItemRulePtr gender(bool canBeEmpty)
{
    auto r = rule(ImportItemRule::OneOfList, QStringLiteral("Male"));
    r->setEnumStringList({QStringLiteral("F"), QStringLiteral("M"), QStringLiteral("Male"), QStringLiteral("Female")});
    r->setCanBeEmpty(canBeEmpty);
    return r;
}

} // namespace ImportRuleMaker
