#pragma once

#include "core/reports/ReportTable1Element.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QWidget;
class ReportController;

// The merge dialog ("Merge"): the sessions chosen in the Report window joined into one new
// session under a name the teacher types, by questions (one class, several papers) or by
// classes (one paper, several classes). The sources are deleted on request, and only once the
// new session has been written and read back.
class MergeController : public QDialog
{
    Q_OBJECT
public:
    explicit MergeController(ReportController *parent);

    const QList<ReportTable1Element> &table1Array() const { return m_table1Array; }
    const ReportTable1Element &result() const { return m_result; }
    // The file the merge wrote.
    QString mergedPath() const { return m_mergedPath; }

    // False when nothing was merged (no name, refused, not confirmed, or a failure told).
    bool doSave();
    void doClose();

    // The close box (and Escape).
    void reject() override;

    // Outlets. matrixMegeType holds the two choices.
    QTableWidget *table1 = nullptr, *table2 = nullptr;
    QWidget *matrixMegeType = nullptr;
    QRadioButton *radioByQuestions = nullptr, *radioByClasses = nullptr;
    QCheckBox *box = nullptr;
    QPushButton *btnSave = nullptr, *btnClose = nullptr;

private:
    void buildInterface();
    void awakeFromNib();
    int alert(const QString &text, const QStringList &buttons = {}, const QString &informative = {});

    ReportController *m_parent = nullptr;
    QList<ReportTable1Element> m_table1Array;
    ReportTable1Element m_result;
    QString m_mergedPath;
};
