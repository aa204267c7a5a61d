#pragma once

#include "ImportItemRule.h"

// The few shapes of rule the student and teacher import lists are made of.
namespace ImportRuleMaker {
ImportItemRulePtr noCheck(const QString &defaultValue);
// Whole number from low to high.
ImportItemRulePtr number(int low, int high, const QString &defaultValue);
// At most maxLength characters.
ImportItemRulePtr text(int maxLength, const QString &defaultValue);
ImportItemRulePtr date(const QString &defaultValue);
// "F", "M", "Male" or "Female" in any case; "Male" by default.
ImportItemRulePtr gender(bool canBeEmpty);
} // namespace ImportRuleMaker
