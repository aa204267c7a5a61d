#pragma once

#include "core/authoring/ExamPaperInfo.h"

#include <QDialog>
#include <QString>

class PPTEditor;
class QLineEdit;
class QPushButton;

// The title and ID dialog ("TitleSet") of a loaded question file or answer sheet: exam ID,
// teacher and subject (shown only), title and memo. OK writes ID, title and memo back into the
// file, its pages untouched. A file that cannot be read is never written: the dialog refuses to
// open over it ("Error format!"). For an open presentation the ID and the memo live in the
// shapes "ID" and "Memo" of its first slide, and OK saves the presentation.
class TitleSetController : public QDialog
{
    Q_OBJECT
public:
    explicit TitleSetController(QWidget *parent = nullptr);

    QString teacherName() const { return m_teacherName; }
    void setTeacherName(const QString &v) { m_teacherName = v; }
    QString subjectName() const { return m_subjectName; }
    void setSubjectName(const QString &v) { m_subjectName = v; }
    QString testTitle() const { return m_testTitle; }
    void setTestTitle(const QString &v) { m_testTitle = v; }
    QString memo() const { return m_memo; }
    void setMemo(const QString &v) { m_memo = v; }
    QString filePath() const { return m_filePath; }
    void setFilePath(const QString &v) { m_filePath = v; }
    int nID() const { return m_nID; }
    void setNID(int v) { m_nID = v; }
    // The set lives in the open presentation, not in a question file.
    bool bIsPPT() const { return m_bIsPPT; }
    void setBIsPPT(bool v) { m_bIsPPT = v; }

    // Reads the file and fills the fields; false (nothing shown, nothing to write) when the file
    // cannot be read.
    bool awakeFromNib();
    // Reads the file, then runs the dialog modally; after a failed read it says "Error format!"
    // and does not open (0).
    int runModal();

    // The ID field's text as its own number, selected when it is 0 or four digits long.
    void controlTextDidChange();
    void onOK();
    void onCancel();
    // Takes a new exam ID from the counter when the set has none.
    void setTestID();

    QLineEdit *txtID = nullptr;
    QLineEdit *txtTeacherName = nullptr;
    QLineEdit *txtSubjectName = nullptr;
    QLineEdit *txtTestTitle = nullptr;
    QLineEdit *txtMemo = nullptr;
    QPushButton *btnOK = nullptr;

private:
    bool awakeFromNibPresentation();
    void onOKPresentation();

    PPTEditor *pptUI = nullptr;
    QString m_teacherName = QStringLiteral("");
    QString m_subjectName = QStringLiteral("");
    QString m_testTitle = QStringLiteral("");
    QString m_memo = QStringLiteral("");
    QString m_filePath;
    int m_nID = 0;
    bool m_bIsPPT = false;
    ExamPaperInfoPtr currentEPI;
};
