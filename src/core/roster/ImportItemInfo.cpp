#include "ImportItemInfo.h"

ImportItemInfo::ImportItemInfo(const QString &keyName, const QString &displayName, int orderID, int itemType,
                               ImportItemRulePtr rule)
    : m_keyName(keyName), m_displayName(displayName), m_orderID(orderID), m_itemType(itemType)
{
    setItemRule(std::move(rule));
}

ImportItemInfo ImportItemInfo::invalidItemWithOrderID(int orderID)
{
    return ImportItemInfo(QStringLiteral("N/A"), QStringLiteral("N/A"), orderID, NotImported,
                          ImportItemRule::noNeedImportItemRule());
}
