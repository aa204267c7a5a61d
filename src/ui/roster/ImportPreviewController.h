#pragma once

#include "core/roster/ImportItemInfo.h"
#include "core/roster/CSVOperator.h"
#include "core/roster/ImportPreviewState.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class ImportPreviewTableModel;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// The editable preview of a roster CSV file before its import ("ImportPreview"): the teacher maps
// file columns to import items, chooses the first and last row, corrects, adds and removes rows,
// and sees every wrong cell marked in red at once. It ends with 1 (import) only when every
// required item is mapped and free of errors; the caller then takes resultData(). The file is
// loaded on construction; a file that cannot be loaded is told in an alert and exec() gives 0.
//
// The tables stand in for their own scroll views: a QTableView scrolls itself.
class ImportPreviewController : public QDialog
{
    Q_OBJECT
public:
    ImportPreviewController(const QString &path, const QList<ImportItemInfo> &importItemList, QWidget *parent = nullptr);
    ~ImportPreviewController() override;

    // The result of loading the file: 0 loaded, 1 no rows, 2 unreadable.
    int errorType() const { return m_errorType; }
    QString path() const { return m_path; }
    int exec() override;

    QList<QStringList> resultData() const { return m_state.resultData(); }
    ImportPreviewState &state() { return m_state; }
    // The class a student import goes into (ImportPreviewState::setClassToImportInto); the
    // status line follows.
    void setClassToImportInto(const QList<StudentEntity> &students, int maxStudents);

    void doImport();
    void doCancel();
    void doAdd();
    void doRemove();

    // The row boxes as the teacher uses them: a value chosen or typed.
    void chooseStartRow(const QString &text);
    void chooseEndRow(const QString &text);
    // Reads the file again in the encoding, or with the separator, given; the preview's changes
    // go (asked first).
    void chooseEncoding(int index);
    void chooseSeparator(int index);

    QComboBox *cboRowStart = nullptr;
    QComboBox *cboRowEnd = nullptr;
    // Offered when lines of the file are not UTF-8: the teacher says the file is in the Windows
    // code page instead of the program guessing it.
    QComboBox *cboEncoding = nullptr;
    QLabel *lblEncoding = nullptr;
    // Commas, semicolons or tabs: shows the separator recognised, and lets the teacher say
    // otherwise.
    QComboBox *cboSeparator = nullptr;
    QTableView *tvHeader = nullptr;
    QTableView *tvPreviewData = nullptr;
    QLabel *lblErrorText = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnImport = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void refillRowBoxes();
    void refreshStatus();
    void rowsChanged();
    QList<int> selectedPreviewRows() const;
    void alertLoadFailure();
    void showEncodingChoice();
    void readAgain(CSVOperator::TextEncoding encoding, CSVOperator::Separator separator);

    QString m_path;
    ImportPreviewState m_state;
    int m_errorType = 0;
    QString m_loadError;
    ImportPreviewTableModel *headerArrayController = nullptr;
    ImportPreviewTableModel *previewDataArrayController = nullptr;
    QWidget *m_headerScrollBarGap = nullptr;
    class EditHold *m_hold = nullptr;
    bool m_edited = false;
};
