#include "QuestionForm.h"

#include "ui/controls/MyEnterFormatter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kColumns = 5;

QString tr(const char *text)
{
    return QCoreApplication::translate("QuestionForm", text);
}

QString letter(int k)
{
    return QString(QChar(u'A' + k));
}
} // namespace

void QuestionForm::buildLists(QWidget *parent)
{
    cmbQuestionType = new QComboBox(parent);
    cmbQuestionType->setObjectName(QStringLiteral("cmbQuestionType"));
    cmbActionMode = new QComboBox(parent);
    cmbActionMode->setObjectName(QStringLiteral("cmbActionMode"));
}

QLineEdit *QuestionForm::numberField(QWidget *parent, const char *name, int maxLength)
{
    auto *f = new QLineEdit(parent);
    f->setObjectName(QString::fromLatin1(name));
    setMaxLength(f, maxLength)->setNumberFormater();
    return f;
}

QCheckBox *QuestionForm::applyBox(QWidget *parent, const char *name, const QString &text)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

void QuestionForm::buildDifficulty(QWidget *parent, QObject *owner, const QStringList &levels, QWidget *beside)
{
    matrixDifficulty = new QWidget(parent);
    matrixDifficulty->setObjectName(QStringLiteral("matrixDifficulty"));
    auto *row = new QHBoxLayout(matrixDifficulty);
    row->setContentsMargins(0, 0, 0, 0);
    difficultyCells = new QButtonGroup(owner);
    for (int i = 0; i < levels.size(); ++i) {
        auto *cell = new QRadioButton(levels[i], matrixDifficulty);
        cell->setObjectName(QStringLiteral("difficulty%1").arg(i));
        difficultyCells->addButton(cell, i);
        row->addWidget(cell);
    }
    if (beside)
        row->addWidget(beside);
    row->addStretch(1);
}

void QuestionForm::buildSingleAnswer(QWidget *parent, QObject *owner, bool withBlankCell)
{
    singleBox = new QGroupBox(tr("Correct Answer"), parent);
    singleBox->setObjectName(QStringLiteral("singleBox"));
    matrixCorrectAnswer = new QWidget(singleBox);
    matrixCorrectAnswer->setObjectName(QStringLiteral("matrixCorrectAnswer"));
    auto *cells = new QGridLayout(matrixCorrectAnswer);
    answerCells = new QButtonGroup(owner);
    for (int k = 0; k < 10; ++k) {
        auto *cell = new QRadioButton(letter(k), matrixCorrectAnswer);
        cell->setObjectName(QStringLiteral("answer") + letter(k));
        answerCells->addButton(cell, k);
        cells->addWidget(cell, k / kColumns, k % kColumns);
    }
    auto *none = new QRadioButton(tr("No correct answer"), matrixCorrectAnswer);
    none->setObjectName(QStringLiteral("answerNone"));
    answerCells->addButton(none, QuestionInfoRules::kNoCorrectCell);
    cells->addWidget(none, 2, 0, 1, kColumns);
    if (withBlankCell) {
        auto *blank = new QRadioButton(matrixCorrectAnswer);
        blank->setObjectName(QStringLiteral("answerBlank"));
        blank->hide();
        answerCells->addButton(blank, QuestionInfoRules::kBlankCell);
    }
    (new QVBoxLayout(singleBox))->addWidget(matrixCorrectAnswer);
}

void QuestionForm::buildMultipleAnswer(QWidget *parent)
{
    multipleBox = new QGroupBox(tr("Correct Answers"), parent);
    multipleBox->setObjectName(QStringLiteral("multipleBox"));
    auto *letters = new QGridLayout(multipleBox);
    for (int k = 0; k < 10; ++k) {
        checkBoxes[k] = new QCheckBox(letter(k), multipleBox);
        checkBoxes[k]->setObjectName(QStringLiteral("checkBox") + letter(k));
        letters->addWidget(checkBoxes[k], k / kColumns, k % kColumns);
    }
}

void QuestionForm::buildOtherAnswer(QWidget *parent, const QString &title, int height)
{
    otherBox = new QGroupBox(title, parent);
    otherBox->setObjectName(QStringLiteral("otherBox"));
    otherAnswer = new QPlainTextEdit(otherBox);
    otherAnswer->setObjectName(QStringLiteral("otherAnswer"));
    otherAnswer->setFixedHeight(height);
    (new QVBoxLayout(otherBox))->addWidget(otherAnswer);
}

void QuestionForm::enableControls(const QuestionInfoRules::Controls &c, const std::function<void(QWidget *, bool)> &shade)
{
    const auto enable = [&shade](QWidget *w, bool on) {
        w->setEnabled(on);
        if (qobject_cast<QLineEdit *>(w))
            shade(w, on);
    };
    enable(point, c.point);
    enable(timeLimit, c.timeLimit);
    enable(rushPoint, c.dePoint);
    enable(rushTimeLimit, c.rushTime);
    enable(matrixDifficulty, c.difficulty);
    enable(checkBoxAllInSameTimePoint, c.applyTimePoint);
    enable(checkBoxAllInSameLevel, c.applyLevel);
    enable(checkBoxAllInSameTimePointForRush, c.applyRush);
}

int QuestionForm::limitOf(const QLineEdit *field) const
{
    return field == point       ? QuestionInfoRules::kMaxPoint
           : field == timeLimit ? QuestionInfoRules::kMaxTime
           : field == rushPoint ? QuestionInfoRules::kMaxDePoint
                                : QuestionInfoRules::kMaxRushTime;
}
