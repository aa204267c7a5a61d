#include "MyNumberFormater.h"

#include "core/base/CharacterSet.h"

TextFormatter::Verdict MyNumberFormater::isPartialStringValid(const QString &, const QString &typed) const
{
    if (CharacterSet::decimalDigits().containsAll(typed))
        return {};
    return {false, {}, errorDescription()};
}
