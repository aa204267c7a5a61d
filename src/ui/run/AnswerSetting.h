#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>

class DataOfFrame;
class Orvenda_AppDelegate;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QuizStateWindowController;

// The free-style answer dialog ("AnswerSetting"): after a free-style question has been asked,
// the teacher gives it its answer type (single or multiple), its correct answer among the
// question's options and its points. OK posts "message_freestyle_getquestion" {"QUETYPE",
// "QUEANS", "QUEPOINT"}; both OK and Cancel end the dialog with 1. The teacher keypad answers it
// with F1 and F2; the run's other frames go on to the activity window.
class AnswerSetting : public QDialog
{
    Q_OBJECT
public:
    explicit AnswerSetting(QWidget *parent = nullptr);
    ~AnswerSetting() override;

    // Set before the dialog is shown.
    void setParent(QuizStateWindowController *parent) { m_parent = parent; }
    int nOptionSum() const { return m_nOptionSum; }
    void setNOptionSum(int n) { m_nOptionSum = n; }
    QString strAnswer() const { return m_strAnswer; }
    void setStrAnswer(const QString &a) { m_strAnswer = a; }
    int nQuestionType() const { return m_nQuestionType; }
    void setNQuestionType(int t) { m_nQuestionType = t; }
    int nPoint() const { return m_nPoint; }
    void setNPoint(int p) { m_nPoint = p; }

    // Loads the values into the controls (exec() calls it).
    void awakeFromNib();
    int exec() override;

    void onOk();
    void onCancel();
    void onChangeQuestionType();
    void bindAnswerAndOption();
    void controlTextDidChange();
    Q_INVOKABLE void handleMachMessage();

    // Outlets.
    QLineEdit *point = nullptr;
    QList<QCheckBox *> checkBoxes;       // checkBoxA .. checkBoxJ
    QList<QRadioButton *> answerCells;   // matrixCorrectAnswer, A .. J in two rows of five
    QGroupBox *singleBox = nullptr;
    QGroupBox *multipleBox = nullptr;
    QRadioButton *rowSingle = nullptr;   // matrixQuestionType row 0
    QRadioButton *rowMultiple = nullptr; // matrixQuestionType row 1
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void reject() override;

private:
    bool multipleSelected() const;
    void keypadKey(const DataOfFrame &frame, int family);

    QPointer<QuizStateWindowController> m_parent;
    Orvenda_AppDelegate *appDelegate = nullptr;
    QButtonGroup *m_cells = nullptr;
    int m_nOptionSum = 0;
    QString m_strAnswer = QStringLiteral("A");
    int m_nQuestionType = 0;
    int m_nPoint = 10;
    int nDeviceType = -1;
    bool m_done = false;
};
