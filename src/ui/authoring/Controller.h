#pragma once

#include "core/engine/FreeStyleRules.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

class NSMyColorWell;
class QAction;
class QColor;
class QComboBox;
class QToolBar;
class QToolButton;
class QWidget;
class Questions;
class SmallQuestions;
class TextFormatPanels;

// The free-style toolbar of a run window: the teacher writes each question of a free-style run
// on a page added here (or asked for on the teacher keypad), with the page tools, box roles, a
// standard, and a picture cut from the screen. It tells the run window with notifications:
// "message_freestyle_addnewquestion" when a page is added, "BigQuestionDeleteKey" (object: this
// toolbar) when the teacher confirms a delete, "message_freestyle_cut_picture" for a capture, and
// "BigQuestionBeginDoModal"/"BigQuestionEndDoModal" around its colour panel and its question.
class Controller : public QObject
{
    Q_OBJECT
public:
    Controller(QWidget *window, Questions *canvas, SmallQuestions *strip);
    ~Controller() override;

    QToolBar *toolbar() const { return m_toolbar; }

    // Outlets.
    QComboBox *comboboxToolTip = nullptr;
    QComboBox *cmbTemplate = nullptr;
    QComboBox *pubControl = nullptr;
    QComboBox *pubControlPenSize = nullptr;
    QToolButton *pubControlAlignAndSize = nullptr;
    NSMyColorWell *colorwell = nullptr;
    QToolButton *btnQuestionInfo = nullptr;
    QToolButton *btnStandard = nullptr;
    QAction *tbiCutPicture = nullptr;
    QAction *tbiAddNew = nullptr;
    QAction *tbiDel = nullptr;
    QAction *tbiFont = nullptr;
    QAction *tbiColor = nullptr;
    Questions *bigQuestions = nullptr;
    SmallQuestions *smallQuestions = nullptr;

    // Fills the option-count and role combos for the current receiver; the toolbar is off
    // until setBToolbarEnableFlag(true).
    void initData();
    const QList<int> &arrayTemplateNum() const { return m_arrayTemplateNum; }
    bool bAddNewState() const { return m_bAddNewState; }
    void setAddNewState(bool between);
    void setFreestyleBottomState(bool bottom);
    bool bFreestyleBottom() const { return m_bFreestyleBottom; }
    bool bToolbarEnableFlag() const { return m_bToolbarEnableFlag; }
    void setBToolbarEnableFlag(bool enabled);
    void setIsFreestyle(bool v) { m_bIsFreestyle = v; }
    int nMode() const { return m_nMode; }
    void setNMode(int mode) { m_nMode = mode; }
    bool isColorPanelShown() const;
    void closeColorPanel();

    // Actions.
    void onSelectToolAction();
    void onPenSize();
    void onColorSet(const QColor &color);
    void onColorPanel();
    void onFontPanel();
    void onCutPicture();
    void onStandard();
    void onDel();
    void onAddNewTemplate();
    void comboBoxSelectionDidChange();
    void selectOption(int role);
    // The teacher keypad set a question ("FREESTYLE_ADDNEWQUESTION_MESSAGE").
    void MessageToAdd(const QVariantMap &info);

    // Sets every control's enabled state from the toolbar's state.
    void validateToolbarItems();

private:
    void build(QWidget *window);
    void addPage(int optionCount, int questionType, const QString &answer, const QString &addType);

    QToolBar *m_toolbar = nullptr;
    TextFormatPanels *m_panels = nullptr;
    QList<int> m_arrayTemplateNum;
    bool m_bToolbarEnableFlag = false;
    bool m_bAddNewState = true;
    bool m_bFreestyleBottom = false;
    bool m_bIsFreestyle = true;
    bool m_colorSession = false;
    int m_nMode = 0;
};
