#pragma once

#include "core/reports/ActionDetail.h"
#include "core/reports/ReportTable1Element.h"
#include "core/reports/SingleColumnString.h"
#include "core/store/QuizEntity.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>

class MyComboBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;
class ReportController;

// The session editor ("EditSession"): corrects one stored session: its name, type and subject,
// each question's type, correct answer, option count, points, level, text and standard, and each
// student's answer. The class average follows every edit; a save scores every answer again by
// the session's own rule and rewrites the file the editor was opened on, whatever the Report
// window's list shows meanwhile. Tab 1 holds the questions, tab 2 one student's answers.
class EditSessionController : public QDialog
{
    Q_OBJECT
public:
    // row: the session's row of the Report window; its file is the one loaded and rewritten.
    // hostType: the receiver's device type the limits follow; by default the current one.
    EditSessionController(int actNo, ReportController *parent, const ReportTable1Element &row,
                          std::optional<int> hostType = std::nullopt);
    ~EditSessionController() override;

    bool isLoaded() const { return m_loaded; }
    QString loadError() const { return m_loadError; }
    QString filePath() const { return m_filePath; }
    QString actID() const { return m_actID; }
    int hostType() const { return m_hostType; }
    bool hasChanged() const { return m_hasChanged; }
    bool shouldClose() const { return m_shouldClose; }
    const QuizEntity &editQuizData() const { return m_quiz; }
    const QList<ActionDetail> &questionArray() const { return m_questionArray; }
    const QList<SingleColumnString> &studentArray() const { return m_studentArray; }

    // Actions. doSave() is false when a check refused or the file could not be written.
    bool doSave();
    void doSaveClose();
    void doClose();
    void doStandard();
    void calculateAvgPoint();

    // Tab-1 question table columns; tab-2 question table columns.
    enum Column1 { ColNo, ColMode, ColCorrectAnswer, ColOptions, ColPoint, ColLevel, ColQuestion };
    enum Column2 { Col2No, Col2Question, Col2CorrectAnswer, Col2Answer };
    // The type and level boxes of row r of the tab-1 question table.
    QComboBox *modeBox(int r) const;
    QComboBox *levelBox(int r) const;

    // The close box (and Escape).
    void reject() override;

    // Outlets.
    QTabWidget *tabView = nullptr;
    QLineEdit *textSession1 = nullptr, *textTotalPoints1 = nullptr, *textClass1 = nullptr, *textAvgPoints1 = nullptr,
              *textTotalStudent1 = nullptr;
    MyComboBox *cboType1 = nullptr, *cboSubject1 = nullptr;
    QDateEdit *dateActDate1 = nullptr;
    QTableWidget *tableQuestion1 = nullptr;
    QPlainTextEdit *textQuestionTitle1 = nullptr, *textStandard1 = nullptr;
    QPushButton *btnStandard = nullptr;
    QLineEdit *textSession2 = nullptr, *textTotalPoints2 = nullptr, *textClass2 = nullptr, *textAvgPoints2 = nullptr,
              *textTotalStudent2 = nullptr;
    MyComboBox *cboType2 = nullptr, *cboSubject2 = nullptr;
    QDateEdit *dateActDate2 = nullptr;
    QTableWidget *tableStudent2 = nullptr, *tableQuestion2 = nullptr;
    QPushButton *btnSave = nullptr, *btnSaveClose = nullptr, *btnClose = nullptr;

private:
    QWidget *buildTab(int tab);
    void awakeFromNib();
    void fillQuestionTable();
    void fillQuestionTable2();
    void markChanged();
    void questionEdited(QTableWidgetItem *item);
    void modeChosen(int row, const QString &name);
    void levelChosen(int row, const QString &name);
    void questionSelected();
    void studentSelected();
    void answerEdited(QTableWidgetItem *item);
    void refreshQuestionAnswer(int row);
    void refreshQuestionStudentAnswers(int row);
    void setRowCells(int row);
    void reopen(QTableWidget *table, int row, int column);
    // The longest correct answer, and student's answer, of the question on that row.
    int answerLimit(int row) const;
    int alert(const QString &text, const QStringList &buttons = {}, const QString &informative = {});
    // Closing with unsaved edits: false keeps the window open.
    bool askToSave();

    int m_curActNo = 0;
    QString m_actID;
    QString m_filePath;
    ReportController *m_parent = nullptr;
    QuizEntity m_quiz;
    bool m_loaded = false;
    QString m_loadError;
    QList<ActionDetail> m_questionArray;
    QList<SingleColumnString> m_studentArray;
    int m_hostType = -1;
    bool m_hasChanged = false;
    bool m_shouldClose = true;
    bool m_filling = false;
};
