#pragma once

#include "core/authoring/QuestionSetView.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>

class QAction;
class NSMyColorWell;
class QComboBox;
class QTextCharFormat;
class QToolBar;
class QToolButton;
#include "QuestionInfoWindowController.h"
class Questions;
class SmallQuestions;
class TextFormatPanels;

// The question-file editor ("QuestionSet"): the page canvas, the thumbnail strip and a toolbar
// with the editing tools, the page commands and Save / Save As. The main window opens it for a
// new file or for a file it has checked, hands itself over with setFather and hides; the editor
// brings it back when it closes. Not modal; deletes itself when closed.
//
// Observes "MESSAGESCREENSHOTCAPTION" (capturePicture), "PXAddTemplate" (AddTemplate) and
// "CloseQueInfo" (CloseQueInfo); posts "SmallQuestionCtrl", "BigQuestionDeleteKey" and
// "ChangeQuestionContent".
class QuestionsSettingWindowController : public QMainWindow
{
    Q_OBJECT
public:
    explicit QuestionsSettingWindowController(QWidget *parent = nullptr);
    ~QuestionsSettingWindowController() override;

    // The file to edit (kept only when none is kept yet); the window reads it when first shown.
    void openFile(const QString &path);
    // Reads the file of openFile into the canvas, takes the snapshot and sets the title.
    void windowDidLoad();
    void showWindow();
    void setFather(QWidget *father) { m_father = father; }
    int modalType() const { return m_modalType; }
    void setModalType(int type) { m_modalType = type; }
    QString path() const { return m_path; }

    // Snapshot of the pages as last opened or saved; isQuestionsContentChange() answers true
    // when nothing has changed since (the name says the opposite, the design's own).
    void toSaveLastSaveQuestionsInfo();
    bool isQuestionsContentChange() const;

    // Toolbar and controls.
    void onSelectToolAction();
    void onPenSize();
    void onColorSet(const QColor &color);
    void onImport();
    void onMakeSameSize();
    void onMakeSameHeight();
    void onMakeSameWidth();
    void onAlignBottom();
    void onAlignTop();
    void onAlignRight();
    void onAlignLeft();
    void onFontPanel();
    void onColorPanel();
    void onCapture();
    void onAddNewTemplate();
    void onDelQuestion();
    void onQuestionInfo();
    void onStandard();
    // Both answer whether the file was written.
    bool onSave();
    bool onSaveAs();
    void comboBoxSelectionDidChange();
    // Enables the controls by page count (the add item by the page limit).
    void validateToolbarItems();

    // Notification handlers.
    void AddTemplate(int index);
    void capturePicture(const QVariantMap &info);
    void CloseQueInfo();

    QuestionInfoWindowController *questionInfoWindow() const { return m_questionInfo; }
    TextFormatPanels *panels() const { return m_panels; }

    // Outlets.
    QComboBox *comboboxToolTip = nullptr;
    Questions *bigQuestions = nullptr;
    SmallQuestions *smallQuestions = nullptr;
    QComboBox *pubControl = nullptr;
    QComboBox *pubControlPenSize = nullptr;
    QAction *tbiAddNew = nullptr;
    QToolButton *btnQuestionInfo = nullptr;
    QToolButton *pubControlAlignAndSize = nullptr;
    NSMyColorWell *colorwell = nullptr;
    QToolButton *btnStandard = nullptr;
    QAction *tbiDel = nullptr;
    QAction *tbiImport = nullptr;
    QAction *tbiCapture = nullptr;
    QAction *tbiFont = nullptr;
    QAction *tbiColor = nullptr;
    QAction *tbiSave = nullptr;
    QAction *tbiSaveAs = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildInterface();
    // The drawing tools beside the page commands, or on a row of their own below them when the
    // window is too narrow for one row.
    void placeToolBars();
    bool windowShouldClose();
    void runSavePass(bool saveAs);
    // The save panel (kinds "px" and "sep") and the replace question; "" when the teacher gave up.
    QString chooseSavePath();
    bool write(const QString &path, bool saveAs);
    void setTitleForPath();
    void refreshThumbnails();
    void postContentChanged(QuestionSetView *page);
    void followAnchorRole();
    void applyTextFormat(const QTextCharFormat &format);

    QList<QuestionSetViewPtr> equalArray;
    QString m_path;
    int m_modalType = 1;
    bool m_loaded = false;
    bool isOpenQusetionInfo = false;
    QPointer<QWidget> m_father;
    QPointer<QuestionInfoWindowController> m_questionInfo;
    TextFormatPanels *m_panels = nullptr;
    QToolBar *formatBar = nullptr;
    bool m_toolBarsWrapped = false;
};
