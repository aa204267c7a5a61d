#include "ImportPreviewState.h"

#include "platform/Log.h"

#include <QHash>
#include <QSet>

#include <algorithm>

using HeldBy = RosterImporter::HeldBy;

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

int ImportPreviewState::loadFile(const QString &path, QString *errorText, CSVOperator::TextEncoding encoding,
                                 CSVOperator::Separator separator)
{
    m_previewData.csvObj.setEncoding(encoding);
    m_previewData.csvObj.setSeparator(separator);
    const int result = m_previewData.loadDataFromFile(path, errorText);
    if (result != TovImportPreviewData::Loaded)
        return result;
    m_headerItemList[0] = QString();
    while (m_headerItemList.size() < m_previewData.numOfColumns())
        m_headerItemList << kNotImported;
    m_unnamedHeadings.clear();
    // A first row of field names (as the roster exports write) maps the columns by those names
    // and is left out of the import. A first row of headings that name no field is left out
    // too, and the status line says so: the columns are then taken in their order.
    if (mapByHeaderRow() && m_previewData.numOfRows() > 1) {
        m_previewData.setStartRow(2);
    } else if (looksLikeHeadings()) {
        m_unnamedHeadings = m_previewData.arrAllData.first();
        m_previewData.setStartRow(2);
    }
    fullCheck();
    return result;
}

namespace {
// A field name as a heading may spell it: case, blanks, marks and a note in brackets aside, with
// the names the roster exports write.
QString headingKey(const QString &text)
{
    QString plain = text.section(QLatin1Char('('), 0, 0).toCaseFolded();
    QString key;
    for (QChar c : plain)
        if (c.isLetterOrNumber())
            key += c;
    static const QHash<QString, QString> aliases{{QStringLiteral("birthdate"), QStringLiteral("birthday")},
                                                 {QStringLiteral("sex"), QStringLiteral("gender")},
                                                 {QStringLiteral("fristname"), QStringLiteral("firstname")}};
    return aliases.value(key, key);
}
} // namespace

bool ImportPreviewState::mapByHeaderRow()
{
    if (m_previewData.numOfRows() == 0)
        return false;
    const TovImportPreviewData::Row &first = m_previewData.arrAllData.first();
    QHash<QString, QString> itemByKey;
    for (const ImportItemInfo &item : m_importItemList) {
        itemByKey.insert(headingKey(item.displayName()), item.displayName());
        itemByKey.insert(headingKey(item.keyName()), item.displayName());
    }
    QHash<int, QString> named;
    QSet<QString> taken;
    for (int column = 1; column < m_previewData.numOfColumns() && column < first.size(); ++column) {
        const QString name = itemByKey.value(headingKey(first.at(column)));
        if (!name.isEmpty() && !taken.contains(name)) {
            named.insert(column, name);
            taken.insert(name);
        }
    }
    // One matching cell may be a student called Title; two or more are a row of headings, and a
    // column whose heading names no item is not imported.
    if (named.size() < 2)
        return false;
    for (int column = 1; column < m_headerItemList.size(); ++column) {
        m_headerItemList[column] = named.value(column, kNotImported);
    }
    return true;
}

namespace {
// A number as a file writes one: a keypad or group number, a telephone number, a date.
bool isFigure(const QString &text)
{
    bool digit = false;
    for (QChar c : text) {
        if (c.isDigit())
            digit = true;
        else if (!c.isSpace() && !QStringLiteral("+-./()").contains(c))
            return false;
    }
    return digit;
}

bool hasDigit(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
}
} // namespace

// Headings, whatever their language: a first row of two cells or more that, over a column whose
// every value below is a figure, holds a word; and nowhere holds a figure where the rows below
// do, as a student's row would (a keypad number, a telephone number).
bool ImportPreviewState::looksLikeHeadings() const
{
    const QList<TovImportPreviewData::Row> &rows = m_previewData.arrAllData;
    if (rows.size() < 2)
        return false;
    const auto filled = std::count_if(rows.first().cbegin() + 1, rows.first().cend(),
                                      [](const QString &cell) { return !trimmedCell(cell).isEmpty(); });
    if (filled < 2)
        return false;
    int headings = 0;
    for (int column = 1; column <= m_previewData.numOfFileColumns(); ++column) {
        bool figures = false;
        bool onlyFigures = true;
        for (qsizetype r = 1; r < rows.size() && onlyFigures; ++r) {
            const QString value = trimmedCell(rows.at(r).value(column));
            if (value.isEmpty())
                continue;
            figures = true;
            onlyFigures = isFigure(value);
        }
        const QString head = trimmedCell(rows.first().value(column));
        if (!figures || !onlyFigures || head.isEmpty())
            continue;
        if (hasDigit(head))
            return false;
        ++headings;
    }
    return headings > 0;
}

QString ImportPreviewState::headingsLine() const
{
    const QList<TovImportPreviewData::Row> &rows = m_previewData.arrAllData;
    // Only while the file's first row is still that row (the teacher may have removed it).
    if (m_unnamedHeadings.isEmpty() || rows.isEmpty() || rows.first().mid(1) != m_unnamedHeadings.mid(1))
        return QString();
    constexpr int kMostNamed = 6;
    QStringList named;
    for (qsizetype column = 1; column < m_unnamedHeadings.size(); ++column) {
        const QString head = trimmedCell(m_unnamedHeadings.at(column));
        if (!head.isEmpty())
            named << head;
    }
    const QString list = named.size() > kMostNamed ? named.mid(0, kMostNamed).join(QStringLiteral(", ")) + QStringLiteral(", ...")
                                                   : named.join(QStringLiteral(", "));
    if (m_previewData.startRow() > 1)
        return QStringLiteral("\nRow 1 looks like column headings (%1), but they do not name the fields: it is left out, "
                              "and the columns are taken in their order. Choose each column's field above the list.")
            .arg(list);
    return QStringLiteral("\nRow 1 looks like column headings (%1), but they do not name the fields: it is imported as a "
                          "student.")
        .arg(list);
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
    // A record needs a name: without either name column every one would be stored as "Null".
    QStringList names;
    for (const ImportItemInfo &item : m_importItemList)
        if (item.keyName() == QLatin1String("FirstName") || item.keyName() == QLatin1String("LastName"))
            names << item.displayName();
    if (studentItems() && !names.isEmpty() && nameColumn() < 0)
        missing << names.join(QStringLiteral(" or "));
    return missing;
}

QString ImportPreviewState::duplicateMessage(const QString &name)
{
    return QStringLiteral("The %1 cannot be duplicate.").arg(name);
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

void ImportPreviewState::noteColumnResult(const ImportItemInfo &item, bool failed, bool blocked)
{
    if (!item.isRequired() && !blocked) {
        m_arrAllErrorFields.removeAll(item.displayName());
        return;
    }
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
    const QString duplicate = duplicateMessage(name);
    QSet<QString> seen;
    bool failed = false;
    bool blocked = false;
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
        const QString blocking = blockingMessage(i, column, *item);
        if (!blocking.isEmpty()) {
            message = blocking;
            blocked = true;
        }
        m_previewData.setError(i, column, message);
        failed = failed || !message.isEmpty();
    }
    noteColumnResult(*item, failed, blocked);
    return !(failed && item->isRequired()) && !blocked;
}

// Cells that would store wrong data whatever the item: bytes that are not text, and a student or
// teacher without any name (stored as "Null" otherwise).
QString ImportPreviewState::blockingMessage(int previewIndex, int column, const ImportItemInfo &item) const
{
    if (item.itemType() == ImportItemInfo::NotImported)
        return {};
    if (m_previewData.cell(previewIndex, column).contains(QChar::ReplacementCharacter))
        return QStringLiteral("Row %1 holds bytes that are not UTF-8 text: choose the file's encoding beside \"Read the "
                              "file as\" (it mends the whole file), or retype the %2.")
            .arg(m_previewData.previewRow(previewIndex).value(0), item.displayName());
    if (column == nameColumn() && rowHasNoName(previewIndex))
        return QStringLiteral("Row %1 has no name: type a first or a last name.").arg(m_previewData.previewRow(previewIndex).value(0));
    return {};
}

// The column that carries a missing-name mark: the first name's, else the last name's. Students
// only: a teacher file never blocks its import.
int ImportPreviewState::nameColumn() const
{
    if (!studentItems())
        return -1;
    for (const QString &key : {QStringLiteral("FirstName"), QStringLiteral("LastName")})
        for (const ImportItemInfo &item : m_importItemList)
            if (item.keyName() == key) {
                const int column = int(m_headerItemList.indexOf(item.displayName(), 1));
                if (column > 0)
                    return column;
            }
    return -1;
}

bool ImportPreviewState::studentItems() const
{
    return std::any_of(m_importItemList.begin(), m_importItemList.end(),
                       [](const ImportItemInfo &item) { return item.keyName() == QLatin1String("StudentID"); });
}

bool ImportPreviewState::rowHasNoName(int previewIndex) const
{
    bool hasNameItems = false;
    for (const ImportItemInfo &item : m_importItemList) {
        if (item.keyName() != QLatin1String("FirstName") && item.keyName() != QLatin1String("LastName"))
            continue;
        hasNameItems = true;
        const int column = int(m_headerItemList.indexOf(item.displayName(), 1));
        if (column > 0 && !trimmedCell(m_previewData.cell(previewIndex, column)).isEmpty())
            return false;
    }
    return hasNameItems;
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
    const QString blocking = blockingMessage(previewIndex, column, *item);
    if (!blocking.isEmpty())
        message = blocking;
    m_previewData.setError(previewIndex, column, message);
    // A cell alone can only add to the failing columns: the others' cells are not looked at.
    if (!message.isEmpty() && (item->isRequired() || !blocking.isEmpty()))
        noteColumnResult(*item, true, !blocking.isEmpty());
    return message.isEmpty() || (!item->isRequired() && blocking.isEmpty());
}

void ImportPreviewState::editCell(int previewIndex, int column, const QString &text)
{
    if (previewIndex < 0 || previewIndex >= m_previewData.previewRowCount() || column <= 0 ||
        column >= m_previewData.numOfColumns())
        return;
    m_previewData.setCell(previewIndex, column, text);
    checkColumn(column);
    // A name typed in either name column settles the row's missing-name mark.
    const int names = nameColumn();
    if (names > 0 && names != column)
        checkColumn(names);
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
    PollixLog(QStringLiteral("new row %1").arg(m_previewData.previewRow(index).value(0)));
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
        return QStringLiteral("Required Field(s):") + missing.join(QLatin1Char(',')) + headingsLine();
    if (!m_arrAllErrorFields.isEmpty())
        return QStringLiteral("Incorrect Field(s):") + m_arrAllErrorFields.join(QLatin1Char(',')) + headingsLine() + rowsAndReasons();
    return QStringLiteral("Ready to import.") + headingsLine() + replacementLines() + defaultsLine();
}

// Which rows hold the blocking errors and why, a few lines of them, so the teacher can go to them.
QString ImportPreviewState::rowsAndReasons() const
{
    constexpr int kMostLines = 5;
    QStringList lines;
    int more = 0;
    const int rows = m_previewData.previewRowCount();
    for (int i = 0; i < rows; ++i) {
        for (int column = 1; column < m_previewData.numOfColumns(); ++column) {
            const ImportItemInfo *item = itemForColumn(column);
            const QString message = m_previewData.error(i, column);
            if (!item || message.isEmpty() || !m_arrAllErrorFields.contains(item->displayName()))
                continue;
            if (lines.size() < kMostLines) {
                const QString reason = message.startsWith(QLatin1String("Row ")) ? message
                                           : QStringLiteral("Row %1: %2").arg(m_previewData.previewRow(i).value(0), message);
                lines << QString(reason).replace(QLatin1Char('\n'), QLatin1Char(' ')).trimmed();
            } else {
                ++more;
            }
        }
    }
    if (more > 0)
        lines << QStringLiteral("and %1 more.").arg(more);
    return lines.isEmpty() ? QString() : QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

QList<int> ImportPreviewState::columnsOfItems() const
{
    QList<int> columns;
    for (const ImportItemInfo &item : m_importItemList)
        columns << int(m_headerItemList.indexOf(item.displayName(), 1));
    return columns;
}

ImportPreviewState::TakenValue ImportPreviewState::takenValue(int previewIndex, int item, int column) const
{
    const ImportItemInfo &info = m_importItemList.at(item);
    const ImportItemRule &rule = *info.itemRule();
    // Where the keypad number is optional, a record without one is told so (no text), and the
    // import gives it the class's next free number rather than keypad 1 for all.
    const bool openDeviceNo = info.keyName() == QLatin1String("DeviceNo") && !info.isRequired();
    const QString fallback = openDeviceNo ? QString() : rule.defaultStringValue();
    if (column < 1)
        return {fallback, Source::Default};
    const QString typed = trimmedCell(m_previewData.cell(previewIndex, column));
    const bool wrong = !m_previewData.error(previewIndex, column).isEmpty();
    if (typed.isEmpty())
        return {wrong ? fallback : rule.defaultStringValue(), Source::Default};
    if (!wrong)
        return {typed, Source::Typed};
    if (rule.valueType() == ImportItemRule::LimitedText && ImportItemRule::characterCount(typed) > rule.maxLength())
        return {ImportItemRule::firstCharacters(typed, rule.maxLength()), Source::Cut};
    return {fallback, Source::Refused};
}

QList<QStringList> ImportPreviewState::resultData() const
{
    const QList<int> columnOfItem = columnsOfItems();
    QList<QStringList> records;
    const int rows = m_previewData.previewRowCount();
    records.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        QStringList record;
        for (int n = 0; n < int(m_importItemList.size()); ++n) {
            const TakenValue taken = takenValue(i, n, columnOfItem.at(n));
            if (taken.source == Source::Refused)
                PollixLog(QStringLiteral("default for %1").arg(m_importItemList.at(n).displayName()));
            record << taken.value;
        }
        records << record;
    }
    return records;
}

namespace {
// A typed value as a note quotes it: a long one is shortened.
QString quoted(const QString &typed)
{
    constexpr int kMostShown = 30;
    const QString shown = ImportItemRule::characterCount(typed) > kMostShown
                              ? ImportItemRule::firstCharacters(typed, kMostShown).trimmed() + QChar(0x2026)
                              : typed;
    return QLatin1Char('"') + shown + QLatin1Char('"');
}
} // namespace

void ImportPreviewState::setClassToImportInto(const QList<StudentEntity> &students, int maxStudents)
{
    m_class = ClassToImportInto{students, maxStudents};
}

std::optional<QList<RosterImporter::Placement>> ImportPreviewState::placements() const
{
    if (!m_class || !studentItems())
        return std::nullopt;
    return RosterImporter::placements(RosterImporter::studentsFromRecords(resultData()), m_class->students,
                                      m_class->maxStudents);
}

QList<ImportPreviewState::Replacement> ImportPreviewState::replacements() const
{
    const QList<int> columnOfItem = columnsOfItems();
    const std::optional<QList<RosterImporter::Placement>> placed = placements();
    QList<Replacement> out;
    for (int i = 0; i < m_previewData.previewRowCount(); ++i) {
        for (int n = 0; n < int(m_importItemList.size()); ++n) {
            const TakenValue taken = takenValue(i, n, columnOfItem.at(n));
            const ImportItemInfo &item = m_importItemList.at(n);
            const bool deviceNo = item.keyName() == QLatin1String("DeviceNo");
            const RosterImporter::Placement placement = placed ? placed->value(i) : RosterImporter::Placement();
            // A number typed that another student holds, which the import does not take.
            const bool held = deviceNo && taken.source == Source::Typed && placement.heldBy != HeldBy::Nobody;
            // A keypad number the import gives: where one was typed that it cannot take, or
            // where the file gives none and the number is one another student holds.
            const bool givenByImport = deviceNo && (held || (taken.value.isEmpty() && (taken.source == Source::Refused ||
                                                                                       taken.source == Source::Default)));
            const std::optional<RosterEdits::GivenDeviceNo> given = givenByImport ? placement.given : std::nullopt;
            const bool shared = taken.source == Source::Default && given && !given->free && placement.refusal.isEmpty();
            if (taken.source != Source::Cut && taken.source != Source::Refused && !shared && !held)
                continue;
            const QString typed = trimmedCell(m_previewData.cell(i, columnOfItem.at(n)));
            // A number the file repeats is refused by its mark; the record before it holds it.
            const HeldBy heldBy = held ? placement.heldBy
                                       : (m_previewData.error(i, columnOfItem.at(n)) == duplicateMessage(item.displayName())
                                              ? HeldBy::EarlierRow
                                              : HeldBy::Nobody);
            const QString field = item.fieldName();
            QString note, detail;
            if (givenByImport) {
                note = givenDeviceNoNote(field, typed, given, heldBy);
            } else if (taken.source == Source::Cut) {
                note = QStringLiteral("%1 is cut to its first %2 characters.").arg(field).arg(item.itemRule()->maxLength());
                detail = QStringLiteral("%1 is cut to its first %2 characters; it is stored as \"%3\".")
                             .arg(field)
                             .arg(item.itemRule()->maxLength())
                             .arg(taken.value);
            }
            else if (taken.value.isEmpty())
                note = QStringLiteral("%1 %2 cannot be imported; it is left empty.").arg(field, quoted(typed));
            else
                note = QStringLiteral("%1 %2 cannot be imported; it is stored as \"%3\".")
                           .arg(field, quoted(typed), taken.value);
            out << Replacement{i, m_previewData.cell(i, 0), field, note, detail.isEmpty() ? note : detail,
                               typed, givenByImport, heldBy};
        }
    }
    return out;
}

QString ImportPreviewState::givenDeviceNoNote(const QString &field, const QString &typed,
                                              const std::optional<RosterEdits::GivenDeviceNo> &given, HeldBy heldBy)
{
    QString why;
    if (typed.isEmpty())
        why = QStringLiteral("The file gives no %1").arg(field);
    else if (heldBy == HeldBy::Class)
        why = QStringLiteral("%1 %2 is held by another student of the class").arg(field, quoted(typed));
    else if (heldBy == HeldBy::EarlierRow)
        why = QStringLiteral("%1 %2 is typed for an earlier row too").arg(field, quoted(typed));
    else
        why = QStringLiteral("%1 %2 cannot be imported").arg(field, quoted(typed));
    if (!given)
        return QStringLiteral("%1; the student gets the class's next free keypad number, or shares keypad number 1 "
                              "with other students where the class holds every number from 1 to %2.")
            .arg(why)
            .arg(RosterEdits::kMostDeviceNo);
    if (given->free)
        return QStringLiteral("%1; the student is stored with keypad number %2, the class's next free one.")
            .arg(why)
            .arg(given->number);
    return QStringLiteral("%1; the class holds every keypad number from 1 to %2, so the student is stored with keypad "
                          "number %3, which other students of the class hold too.")
        .arg(why)
        .arg(RosterEdits::kMostDeviceNo)
        .arg(given->number);
}

// The rows whose typed values are not stored as typed, a few lines of them, as the blocking
// errors are listed.
QString ImportPreviewState::replacementLines() const
{
    constexpr int kMostLines = 5;
    const QList<Replacement> all = replacements();
    QString out;
    for (qsizetype k = 0; k < all.size() && k < kMostLines; ++k)
        out += QStringLiteral("\nRow %1: %2").arg(all.at(k).row, all.at(k).note);
    if (all.size() > kMostLines)
        out += QStringLiteral("\nand %1 more.").arg(all.size() - kMostLines);
    return out;
}

// The defaults that records take where the file gives no value: no column for the field, or a
// blank cell. An empty default stores nothing the teacher did not type, and is not named.
QString ImportPreviewState::defaultsLine() const
{
    const QList<int> columnOfItem = columnsOfItems();
    QStringList named;
    for (int n = 0; n < int(m_importItemList.size()); ++n) {
        for (int i = 0; i < m_previewData.previewRowCount(); ++i) {
            const TakenValue taken = takenValue(i, n, columnOfItem.at(n));
            if (taken.source == Source::Default && !taken.value.isEmpty()) {
                named << m_importItemList.at(n).displayName() + QLatin1Char(' ') + taken.value;
                break;
            }
        }
    }
    if (named.isEmpty())
        return {};
    return QStringLiteral("\nWhere the file gives none, the import stores ") + named.join(QStringLiteral(", ")) + QLatin1Char('.');
}
