#pragma once

#include "core/gradebook/ConversionLetter.h"
#include "core/gradebook/GradebookReportSource.h"
#include "core/store/LetterGradeEntity.h"
#include "core/store/PeriodEntity.h"
#include "core/gradebook/SelectSessionType.h"
#include "core/store/SessionSelect.h"
#include "core/store/WeightEntity.h"
#include "core/gradebook/TickedSessionScores.h"
#include "core/store/SubjectEntity.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;
class QTableWidget;

// The session selection ("SessionSelect"), the first step of a course grade: the sessions of a
// class, subject and teacher inside a grading period whose type counts in the weight list,
// newest first, for the teacher to tick. Preview checks that every counted type has a ticked
// session and opens the course grade; while it is up, this window is its source of the head
// texts, the counted types with their weights, the ticked sessions and the letters.
class SessionSelectController : public QDialog
{
    Q_OBJECT
public:
    SessionSelectController(const WeightEntity &weight, const LetterGradeEntity &conversionList,
                            const PeriodEntity &period, int classNum, const SubjectEntity &subject, int teacherNum,
                            QWidget *parent = nullptr);
    ~SessionSelectController() override;

    void doPreview();
    void doClose();

    QList<SelectSessionType> &sessionWeightArray() { return m_sessionWeightArray; }
    const QList<ConversionLetter> &conversionLetterArray() const { return m_conversionLetterArray; }
    QList<SessionSelect> &sessionSelectArray() { return m_sessionSelectArray; }
    QString subjectGrade() const { return m_subjectGrade; }
    QString className() const { return m_className; }
    QString subjectName() const { return m_subjectName; }
    QString teacherName() const { return m_teacherName; }
    QString dateFrom() const { return m_dateFrom; }
    QString dateTo() const { return m_dateTo; }
    QString weightTitle() const { return m_weightTitle; }
    QString letterTitle() const { return m_letterTitle; }
    int periodNum() const { return m_periodNum; }
    int classNum() const { return m_classNum; }
    int teacherNum() const { return m_teacherNum; }
    const PeriodEntity &periodEntity() const { return m_periodEntity; }
    const SubjectEntity &subjectEntity() const { return m_subjectEntity; }

    // What the gradebook reports take from this selection: its head texts, period, weights,
    // letters and the sessions ticked.
    GradebookReportSource reportSource() const;
    // The ticked sessions read for a report, with progress shown over progressParent.
    TickedSessionScores readTickedScores(QWidget *progressParent) const;

    // Ticks or unticks a listed session as its check box does.
    void setTicked(int row, bool ticked);

    QTableWidget *tableSession = nullptr;
    QLabel *textHead = nullptr;
    QPushButton *btnPreview = nullptr, *btnClose = nullptr;

private:
    void fillTable();

    QList<SelectSessionType> m_sessionWeightArray;
    QList<ConversionLetter> m_conversionLetterArray;
    QList<SessionSelect> m_sessionSelectArray;
    QString m_subjectGrade, m_className, m_subjectName, m_teacherName, m_dateFrom, m_dateTo, m_weightTitle,
        m_letterTitle;
    int m_periodNum = 0;
    int m_classNum = 0;
    int m_teacherNum = 0;
    // Value copies: nothing the stores do later changes what this window was opened with.
    WeightEntity m_weigthEntity;
    LetterGradeEntity m_letterGradeEntity;
    PeriodEntity m_periodEntity;
    SubjectEntity m_subjectEntity;
    bool m_filling = false;
};
