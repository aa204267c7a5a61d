#include "ImportPreviewState.h"

#include "platform/Log.h"

#include <QSet>

namespace {
const QString kNotImported = QStringLiteral("N/A");

QString trimmedCell(const QString &text)
{
    return text.trimmed();
}

bool allAsciiDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

ImportPreviewState::ImportPreviewState(const QList<ImportItemInfo> &importItemList)
    : m_importItemList(importItemList), m_previewData(int(importItemList.size()))
{
    m_headerItemList << QString();
    for (const ImportItemInfo &item : m_importItemList) {
        m_headerMenuItemList << item.displayName();
        m_importItemDic.insert(item.displayName(), item);
        m_headerItemList << item.displayName();
    }
    m_headerMenuItemList << kNotImported;
    m_importItemDic.insert(kNotImported, ImportItemInfo::invalidItemWithOrderID(100));
}

int ImportPreviewState::loadFile(const QString &path, QString *errorText)
{
    const int result = m_previewData.loadDataFromFile(path, errorText);
    if (result != TovImportPreviewData::Loaded)
        return result;
    m_headerItemList[0] = QString();
    while (m_headerItemList.size() < m_previewData.numOfColumns())
        m_headerItemList << kNotImported;
    fullCheck();
    return result;
}

const ImportItemInfo *ImportPreviewState::itemForColumn(int column) const
{
    if (column <= 0)
        return nullptr;
    const auto hit = m_importItemDic.constFind(m_headerItemList.value(column));
    return hit == m_importItemDic.constEnd() ? nullptr : &hit.value();
}

QList<int> ImportPreviewState::setMapping(int column, const QString &displayName)
{
    if (column <= 0 || column >= m_headerItemList.size() || !m_headerMenuItemList.contains(displayName))
        return {};
    PollixLog(QStringLiteral("headerItemList changed."));
    QList<int> changed;
    if (displayName != kNotImported) {
        for (int k = 1; k < m_headerItemList.size(); ++k) {
            if (k != column && m_headerItemList.at(k) == displayName) {
                m_headerItemList[k] = kNotImported;
                changed << k;
            }
        }
    }
    if (m_headerItemList.at(column) != displayName) {
        m_headerItemList[column] = displayName;
        changed << column;
    }
    fullCheck();
    return changed;
}

QStringList ImportPreviewState::missingRequiredItems() const
{
    QStringList missing;
    for (const ImportItemInfo &item : m_importItemList)
        if (item.isRequired() && !m_headerItemList.contains(item.displayName()))
            missing << item.displayName();
    return missing;
}

// Repeats are judged as the stores will see them: IDs ignoring case (the stores match students
// that way), numbers by value (keypad 05 is keypad 5).
QString ImportPreviewState::duplicateKey(const ImportItemRule &rule, const QString &value) const
{
    if (rule.valueType() == ImportItemRule::WholeNumber && allAsciiDigits(value)) {
        QString digits = value;
        while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
            digits.remove(0, 1);
        return QLatin1Char('#') + digits;
    }
    return value.toCaseFolded();
}

void ImportPreviewState::noteColumnResult(const ImportItemInfo &item, bool failed)
{
    if (!item.isRequired())
        return;
    if (failed) {
        if (!m_arrAllErrorFields.contains(item.displayName()))
            m_arrAllErrorFields << item.displayName();
    } else {
        m_arrAllErrorFields.removeAll(item.displayName());
    }
}

bool ImportPreviewState::checkColumn(int column)
{
    const ImportItemInfo *item = itemForColumn(column);
    if (!item) {
        if (column > 0)
            PollixLog(QStringLiteral("%1 not found").arg(mappedName(column)));
        return true;
    }
    const ImportItemRule &rule = *item->itemRule();
    const QString &name = item->displayName();
    const QString blank = QStringLiteral("The %1 cannot be blank.").arg(name);
    const QString duplicate = QStringLiteral("The %1 cannot be duplicate.").arg(name);
    QSet<QString> seen;
    bool failed = false;
    const int rows = m_previewData.previewRowCount();
    for (int i = 0; i < rows; ++i) {
        const QString value = trimmedCell(m_previewData.cell(i, column));
        QString message;
        if (value.isEmpty() && !rule.canBeEmpty()) {
            message = blank;
        } else if (!rule.canBeDuplicate() && !value.isEmpty()) {
            const QString key = duplicateKey(rule, value);
            if (seen.contains(key))
                message = duplicate;
            else
                seen.insert(key);
        }
        if (message.isEmpty() && item->itemType() != ImportItemInfo::NotImported)
            message = rule.errorDescriptionByStringValue(value, name);
        m_previewData.setError(i, column, message);
        failed = failed || !message.isEmpty();
    }
    noteColumnResult(*item, failed);
    return !(failed && item->isRequired());
}

bool ImportPreviewState::fullCheck()
{
    m_arrAllErrorFields.clear();
    bool passed = true;
    for (int column = 1; column < m_previewData.numOfColumns(); ++column)
        passed = checkColumn(column) && passed;
    return passed;
}

bool ImportPreviewState::checkCell(int previewIndex, int column)
{
    const ImportItemInfo *item = itemForColumn(column);
    if (!item || previewIndex < 0 || previewIndex >= m_previewData.previewRowCount())
        return true;
    const ImportItemRule &rule = *item->itemRule();
    const QString value = trimmedCell(m_previewData.cell(previewIndex, column));
    QString message;
    if (value.isEmpty() && !rule.canBeEmpty())
        message = QStringLiteral("The %1 cannot be blank.").arg(item->displayName());
    else if (item->itemType() != ImportItemInfo::NotImported)
        message = rule.errorDescriptionByStringValue(value, item->displayName());
    m_previewData.setError(previewIndex, column, message);
    // A cell alone can only add to the failing columns: the others' cells are not looked at.
    if (!message.isEmpty())
        noteColumnResult(*item, true);
    return message.isEmpty() || !item->isRequired();
}

void ImportPreviewState::editCell(int previewIndex, int column, const QString &text)
{
    if (previewIndex < 0 || previewIndex >= m_previewData.previewRowCount() || column <= 0 ||
        column >= m_previewData.numOfColumns())
        return;
    m_previewData.setCell(previewIndex, column, text);
    checkColumn(column);
}

bool ImportPreviewState::setStartRow(int row)
{
    if (!m_previewData.setStartRow(row))
        return false;
    fullCheck();
    return true;
}

bool ImportPreviewState::setEndRow(int row)
{
    if (!m_previewData.setEndRow(row))
        return false;
    fullCheck();
    return true;
}

int ImportPreviewState::addRow(int afterPreviewIndex)
{
    const int index = m_previewData.insertRow(afterPreviewIndex);
    PollixLog(QStringLiteral("new row %1").arg(m_previewData.previewRow(index).join(QLatin1Char(','))));
    for (int column = 1; column < m_previewData.numOfColumns(); ++column)
        checkCell(index, column);
    return index;
}

void ImportPreviewState::removeRows(const QList<int> &previewIndexes)
{
    m_previewData.removeRows(previewIndexes);
    fullCheck();
}

QString ImportPreviewState::statusText() const
{
    const QStringList missing = missingRequiredItems();
    if (!missing.isEmpty())
        return QStringLiteral("Required Field(s):") + missing.join(QLatin1Char(','));
    if (!m_arrAllErrorFields.isEmpty())
        return QStringLiteral("Incorrect Field(s):") + m_arrAllErrorFields.join(QLatin1Char(','));
    return QStringLiteral("Ready to import.");
}

QList<QStringList> ImportPreviewState::resultData() const
{
    QList<int> columnOfItem;
    for (const ImportItemInfo &item : m_importItemList) {
        const int column = int(m_headerItemList.indexOf(item.displayName(), 1));
        columnOfItem << column;
    }
    QList<QStringList> records;
    const int rows = m_previewData.previewRowCount();
    records.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        QStringList record;
        for (qsizetype n = 0; n < m_importItemList.size(); ++n) {
            const ImportItemRule &rule = *m_importItemList.at(n).itemRule();
            const int column = columnOfItem.at(n);
            if (column < 1) {
                record << rule.defaultStringValue();
                continue;
            }
            QString value = trimmedCell(m_previewData.cell(i, column));
            if (value.isEmpty())
                value = rule.defaultStringValue();
            if (!m_previewData.error(i, column).isEmpty()) {
                if (rule.valueType() == ImportItemRule::LimitedText &&
                    ImportItemRule::characterCount(value) > rule.maxLength()) {
                    value = ImportItemRule::firstCharacters(value, rule.maxLength());
                } else {
                    value = rule.defaultStringValue();
                    PollixLog(QStringLiteral("default %1").arg(value));
                }
            }
            record << value;
        }
        records << record;
    }
    return records;
}
