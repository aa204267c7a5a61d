#pragma once

#include "ImportItemRule.h"

#include <QString>

// One field a roster import can fill: the name shown in the column menus (also the key by which
// a file column is mapped to it), its place in its list, whether it must be mapped, and its rule.
class ImportItemInfo
{
public:
    enum ItemType {
        Required = 0,   // must be mapped to a column; an error in its column blocks the import
        Optional = 1,   // errors are marked but do not block
        NotImported = 2 // no checks
    };

    ImportItemInfo() = default;
    ImportItemInfo(const QString &keyName, const QString &displayName, int orderID, int itemType, ImportItemRulePtr rule);

    // The "N/A" placeholder: a column that is not imported.
    static ImportItemInfo invalidItemWithOrderID(int orderID);

    QString keyName() const { return m_keyName; }
    void setKeyName(const QString &v) { m_keyName = v; }
    QString displayName() const { return m_displayName; }
    void setDisplayName(const QString &v) { m_displayName = v; }
    // The name as a sentence says it: the column menu's "* " that marks a field the import
    // needs is no part of the field's name.
    QString fieldName() const
    {
        return m_displayName.startsWith(QLatin1String("* ")) ? m_displayName.mid(2) : m_displayName;
    }
    int orderID() const { return m_orderID; }
    void setOrderID(int v) { m_orderID = v; }
    int itemType() const { return m_itemType; }
    void setItemType(int v) { m_itemType = v; }
    // Never null: an item without a rule of its own checks nothing.
    const ImportItemRulePtr &itemRule() const { return m_itemRule; }
    void setItemRule(ImportItemRulePtr v) { m_itemRule = v ? std::move(v) : ImportItemRule::noNeedImportItemRule(); }

    bool isRequired() const { return m_itemType == Required; }

private:
    QString m_keyName = QStringLiteral("");
    QString m_displayName = QStringLiteral("");
    int m_orderID = -1;
    int m_itemType = NotImported;
    ImportItemRulePtr m_itemRule = ImportItemRule::noNeedImportItemRule();
};
