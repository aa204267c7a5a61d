#pragma once

#include "core/gradebook/ConversionLetter.h"
#include "core/gradebook/ConversionList.h"
#include "core/gradebook/GradePeriod.h"
#include "core/gradebook/SelectSessionType.h"
#include "core/gradebook/WeightList.h"
#include "core/store/SessionTypeEntity.h"
#include "ui/controls/PollixAlert.h"

#include <QDialog>
#include <QList>

#include <memory>

class FieldLeave;
class GradebookSettingsParent;
class MyComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;
class SubjectGradeListTabs;
class TabSwitchGate;

// The gradebook settings ("SubjectGradeSetting"): grading periods (tab 0), weight lists (tab 1),
// letter scales (tab 2) and session types (tab 3). Each tab edits copies of the stored settings
// and writes them when the teacher saves it; a whole weight list or letter scale is deleted at
// once. A refused edit leaves its error code pending, which holds the tab until the teacher
// types again; a cell or field being edited holds every save and tab switch ("Please press
// Enter."); leaving a tab, a list or the window with unsaved edits asks first.
class SubjectGradeSettingController : public QDialog
{
    Q_OBJECT
public:
    SubjectGradeSettingController(int tabIndex, GradebookSettingsParent *parent, QWidget *parentWidget = nullptr);
    ~SubjectGradeSettingController() override;

    // Shows the alert of the pending error code again.
    void showMessage();

    // ---- Tab 0: grading periods ----
    void doAdd1();
    void doDelete1();
    void doSave1();
    void doSaveClose1();
    // ---- Tab 1: weight lists ----
    void doAdd2();
    void doDelete2();
    void doSave2();
    void doSaveClose2();
    void selectASessionType(int row);
    void calculateTotal2();
    void sessionWeightTableReNew();
    // ---- Tab 2: letter scales ----
    void doAdd3();
    void doDelete3();
    void doAddRight3();
    void doDeleteRight3();
    void doSave3();
    void doSaveClose3();
    // ---- Tab 3: session types ----
    void doAdd4();
    void doDelete4();
    void doSave4();
    void doSaveClose4();
    // The Close button of every tab.
    void doClose();

    int tabIndex() const { return m_tabIndex; }
    int flag() const { return m_flag; }
    bool shouldChange() const { return m_shouldChange; }
    bool shouldClose() const { return m_shouldClose; }
    bool isChanged(int tab) const { return m_isChanged[tab]; }

    QList<GradePeriod> table1Array;
    QList<SessionTypeEntity> table4Array;
    QList<WeightList> weightListArray;
    QList<SelectSessionType> sessionWeightArray;
    QList<SelectSessionType> havedSelectedRowsArray;
    QList<ConversionList> conversionListArray;
    QList<ConversionLetter> letterArray;

    // Outlets.
    QTabWidget *tabView = nullptr;
    QPushButton *btnSave1 = nullptr, *btnSaveClose1 = nullptr, *btnClose1 = nullptr, *btnAdd1 = nullptr,
                *btnDelete1 = nullptr;
    QTableWidget *table1 = nullptr;
    QPushButton *btnSave2 = nullptr, *btnSaveClose2 = nullptr, *btnClose2 = nullptr, *btnAdd2 = nullptr,
                *btnDelete2 = nullptr;
    MyComboBox *cboClass2 = nullptr, *cboSubject2 = nullptr, *cboTeacher2 = nullptr;
    QLineEdit *textWeightTitle2 = nullptr;
    QLabel *textTotal2 = nullptr;
    QTableWidget *weightListTable2 = nullptr, *selectSessionTable2 = nullptr;
    QPushButton *btnSave3 = nullptr, *btnSaveClose3 = nullptr, *btnClose3 = nullptr, *btnAdd3 = nullptr,
                *btnDelete3 = nullptr, *btnAddRight3 = nullptr, *btnDeleteRight3 = nullptr;
    MyComboBox *cboClass3 = nullptr, *cboSubject3 = nullptr, *cboTeacher3 = nullptr;
    QLineEdit *textConversionTitle3 = nullptr;
    QTableWidget *conversionListTable3 = nullptr, *letterGradeTable3 = nullptr;
    QPushButton *btnSave4 = nullptr, *btnSaveClose4 = nullptr, *btnClose4 = nullptr, *btnAdd4 = nullptr,
                *btnDelete4 = nullptr;
    QTableWidget *table4 = nullptr;

protected:
    // The close box: asks about unsaved edits of any tab, as Close does.
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    friend class SubjectGradeListTabs;
    friend class SubjectGradeSettingInterface;

    void awakeFromNib();

    // A question before rows are deleted: the 0-based button pressed; Return presses the last,
    // which deletes nothing.
    int ask(const QString &title, const QString &text, const QStringList &buttons);
    void alert(const QString &text, const QString &why = {});
    // Sets the pending code and shows its alert.
    void refuse(int code);
    bool gateOpen();
    void markChanged(int tab);
    void markClean(int tab);
    void setChanged(int tab, bool changed);
    void updateSelectionButtons();
    void closeWindow();
    // Runs the tab's save; true when it went through.
    bool saveTab(int tab);
    // Drops the tab's unsaved edits ("No" at a question).
    void revertTab(int tab);
    QString tabQuestion(int tab) const;
    // The tab's question about its unsaved edits.
    PollixAlert::SaveAnswer askTabQuestion(int tab);
    // The tab switch; false keeps the shown tab.
    bool shouldSelectTab(int to);

    bool cellShouldEnd(QTableWidget *table, const QModelIndex &index, QString &text);
    bool cellAccepted(QTableWidget *table, const QModelIndex &index, QString &text);
    bool titleShouldEnd(QLineEdit *field);

    void fillPeriodTable();
    void fillTypeTable();
    int selectedRow(QTableWidget *table) const;
    void selectRow(QTableWidget *table, int row);
    // Fills a choice box with "All" and the names, choosing current (or "All").
    void fillChoice(MyComboBox *box, const QStringList &names, const QString &current);

    GradebookSettingsParent *m_parent = nullptr;
    int m_tabIndex = 0;
    bool m_isChanged[4] = {false, false, false, false};
    bool m_shouldClose = true;
    bool m_shouldChange = true;
    int m_flag = 0;
    QString m_tmpStr;
    QString m_editingString;
    // While the window sets controls itself, their signals are not the teacher's.
    bool m_resetting = false;
    // A click on another tab, or Ctrl+Tab, is asked about before the page goes out of sight.
    TabSwitchGate *m_tabGate = nullptr;
    FieldLeave *m_titleLeave[2] = {nullptr, nullptr};
    int m_weightRow = 0;
    int m_scaleRow = 0;
    std::unique_ptr<SubjectGradeListTabs> m_lists;
};
