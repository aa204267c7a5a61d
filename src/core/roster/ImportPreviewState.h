#pragma once

#include "ImportItemInfo.h"
#include "TovImportPreviewData.h"

#include "core/roster/RosterEdits.h"
#include "core/roster/RosterImporter.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Everything the import preview decides, apart from its widgets: which file column feeds which
// item, which cells are wrong and why, whether the import may go on, what the status line says,
// and the records the import finally receives. Columns are counted as the preview's keys: 0 the
// row numbers, k the file's column k.
class ImportPreviewState
{
public:
    explicit ImportPreviewState(const QList<ImportItemInfo> &importItemList);

    // Loads the file (TovImportPreviewData's results: Loaded, NoRows, Unreadable) and, when it
    // loaded, maps the columns past the items to "N/A" and checks every cell. When the first
    // row names the fields, the columns are mapped by those names and the preview starts at
    // row 2; a first row of headings that name no field is left out too (the status line says
    // so), and the columns are taken in their order. The separator is recognised from the file
    // unless one is given.
    int loadFile(const QString &path, QString *errorText,
                 CSVOperator::TextEncoding encoding = CSVOperator::TextEncoding::Unicode,
                 CSVOperator::Separator separator = CSVOperator::Separator::Recognised);
    // Lines of the file that did not decode as UTF-8: their cells are marked and block the import
    // until retyped, or until the file is read in the Windows code page.
    bool hasUndecodedRows() const { return !m_previewData.csvObj.undecodedRows().isEmpty(); }
    CSVOperator::TextEncoding encoding() const { return m_previewData.csvObj.encoding(); }
    // The separator the file was read with (recognised or given).
    CSVOperator::Separator separator() const { return m_previewData.csvObj.separatorRead(); }

    const QList<ImportItemInfo> &importItemList() const { return m_importItemList; }
    // The items' display names in order, then "N/A": the menu of every mapping cell.
    const QStringList &headerMenuItemList() const { return m_headerMenuItemList; }
    // The mapping record: the display name chosen for each column ("" for column 0).
    const QStringList &headerItemList() const { return m_headerItemList; }
    QString mappedName(int column) const { return m_headerItemList.value(column); }
    // The item a column feeds; null for column 0 and for names no item has.
    const ImportItemInfo *itemForColumn(int column) const;

    // Maps a column to a menu entry; a column that held the same item before becomes "N/A", so
    // an item is fed by one column at most. Returns the columns whose entry changed.
    QList<int> setMapping(int column, const QString &displayName);

    TovImportPreviewData &previewData() { return m_previewData; }
    const TovImportPreviewData &previewData() const { return m_previewData; }

    // Required items that no column feeds.
    QStringList missingRequiredItems() const;
    // Marks every preview cell of a column; false when the column feeds a required item and
    // holds an error.
    bool checkColumn(int column);
    // Every column; false when any required column fails.
    bool fullCheck();
    // One cell alone, without the repeat check (a row just added).
    bool checkCell(int previewIndex, int column);

    // The teacher's changes; each checks what it touched again.
    void editCell(int previewIndex, int column, const QString &text);
    bool setStartRow(int row);
    bool setEndRow(int row);
    // An empty row after the preview row given (-1: at the end); returns its preview index.
    int addRow(int afterPreviewIndex);
    void removeRows(const QList<int> &previewIndexes);

    // Display names of the required items whose column holds an error, in column order, and of
    // any item whose column holds bytes that are not text or a row's missing name.
    const QStringList &arrAllErrorFields() const { return m_arrAllErrorFields; }
    // A required item is missing or failing: the import must not go on.
    bool bHasError() const { return !missingRequiredItems().isEmpty() || !m_arrAllErrorFields.isEmpty(); }
    // "Ready to import.", or the missing or failing fields, then up to five lines naming a
    // failing row and why. Ready, it names up to five rows whose typed value the import does
    // not store as typed, and the defaults stored where the file gives no value.
    QString statusText() const;

    // One record per preview row: a text per item in item order, defaults standing in for
    // missing, blank and rejected cells.
    QList<QStringList> resultData() const;

    // The class a student import goes into: its students, and the most it may hold. Told it,
    // the preview says which keypad number the import gives each student without one, or whose
    // number typed another student of the class or an earlier row holds
    // (RosterImporter::placements), and names every student it puts on a number that another
    // student of the class, or of the file, holds too.
    void setClassToImportInto(const QList<StudentEntity> &students, int maxStudents);

    // A typed value that the import stores otherwise: replaced by its field's default, cut to
    // the field's length, or (a keypad number) left to the import to give where the one typed
    // cannot be imported or another student holds it; and, where the file gives no keypad
    // number, one the import gives that another student holds.
    struct Replacement
    {
        int record = -1; // index in resultData()
        QString row;     // the file row's number
        QString field;   // the item's display name
        QString note;    // what happens to it, e.g. Gender "Femme" cannot be imported; it is stored as "Male".
        // The note with the value stored written out whole (a cut value too), as the list of the
        // records imported shows it.
        QString detail;
        QString typed;             // the cell as typed; "" where the file gives none
        bool deviceNoGiven = false; // a keypad number the import gives (givenDeviceNoNote)
        // Who holds the keypad number typed, where that is why the import gives one.
        RosterImporter::HeldBy heldBy = RosterImporter::HeldBy::Nobody;
    };
    QList<Replacement> replacements() const;
    // The note on a keypad number the import gives (RosterEdits::deviceNoForNewStudent) where
    // the one typed cannot be imported or another student holds it (heldBy), or where the file
    // gives none (typed ""): given, the number given, as the preview foresees it or as the import
    // gave it; without it, what the import will give.
    static QString givenDeviceNoNote(const QString &field, const QString &typed,
                                     const std::optional<RosterEdits::GivenDeviceNo> &given = std::nullopt,
                                     RosterImporter::HeldBy heldBy = RosterImporter::HeldBy::Nobody);

private:
    // blocked: the column holds an error that blocks the import although its item is optional.
    void noteColumnResult(const ImportItemInfo &item, bool failed, bool blocked = false);
    QString blockingMessage(int previewIndex, int column, const ImportItemInfo &item) const;
    int nameColumn() const;
    bool studentItems() const;
    bool rowHasNoName(int previewIndex) const;
    QString rowsAndReasons() const;
    // Maps columns by a first row that names the fields; false when the first row is data.
    bool mapByHeaderRow();
    // A first row of headings that mapByHeaderRow could not map: words over columns of figures.
    bool looksLikeHeadings() const;
    // The status line's word on such a row ("" when the file has none, or it was removed).
    QString headingsLine() const;
    QString duplicateKey(const ImportItemRule &rule, const QString &value) const;
    // The mark of a value repeated in a column whose values may not repeat.
    static QString duplicateMessage(const QString &name);

    // Where a record's value comes from: the cell as typed, the item's default (no column or a
    // blank cell), the cell cut to its length, or a default standing in for a refused cell.
    enum class Source { Typed, Default, Cut, Refused };
    struct TakenValue
    {
        QString value;
        Source source = Source::Typed;
    };
    TakenValue takenValue(int previewIndex, int item, int column) const;
    QList<int> columnsOfItems() const;
    // What the import does with each record, where the class is known.
    std::optional<QList<RosterImporter::Placement>> placements() const;
    QString replacementLines() const;
    QString defaultsLine() const;

    QList<ImportItemInfo> m_importItemList;
    QHash<QString, ImportItemInfo> m_importItemDic;
    QStringList m_headerMenuItemList;
    QStringList m_headerItemList;
    TovImportPreviewData m_previewData;
    QStringList m_arrAllErrorFields;
    // The first row as loaded, when it is a row of headings that name no field.
    QStringList m_unnamedHeadings;
    struct ClassToImportInto
    {
        QList<StudentEntity> students;
        int maxStudents = 0;
    };
    std::optional<ClassToImportInto> m_class;
};
