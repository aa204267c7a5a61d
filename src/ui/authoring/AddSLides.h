#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The template chooser ("AddSlides"): question layouts and rating scales in a tree. Choosing a
// template tells the opener by a notification carrying its index ("SELECTINDEX"):
//   add type 0, main window's presentation tab: not modal; the template slide is copied into
//     the open presentation, then "PPTTabCtrlAddTemplateOver"; stays open; closing posts "AddOver";
//   add type 1, question editor over slides: modal; at most 99 slides; copies the slide, then
//     "PPTEditAddTemplateOver"; closes;
//   add type 2, question properties window: modal; "PXAddTemplateOver"; closes;
//   add type 3, question-file editor: modal; "PXAddTemplate"; stays open for further adds.
// "PPTSTATE" (1) goes with the first three.
class AddSLides : public QDialog
{
    Q_OBJECT
public:
    // The presentation driver's part: copying template slide n into the open presentation and
    // the presentation's slide count. Until the presentation tools set them, add types 0 and 1
    // offer no Add.
    struct Hooks
    {
        std::function<bool(int index)> copyAndPasteSlide;
        std::function<int()> slideCount;
    };
    static Hooks &hooks();

    explicit AddSLides(QWidget *parent = nullptr);

    void setAddType(int type);
    int addType() const { return nAddType; }
    // Builds the tree for the add type and the current keypad model; the window shows it.
    void awakeFromNib();
    // Runs the window as its add type wants: modally (types 1 to 3, result 0) or not (type 0).
    int runForAddType();

    // Row handling: a click remembers the row, a double-click or Add adds its template.
    void ovClick(QTreeWidgetItem *item);
    void ovDoubleClick(QTreeWidgetItem *item);
    void doAdd();
    void add();

    int nSelectedRow() const { return m_nSelectedRow; }
    bool bIsPPTChanged() const { return m_bIsPPTChanged; }
    int nQueSum() const { return m_nQueSum; }

    QTreeWidget *outlineView = nullptr;
    QPushButton *btnAdd = nullptr;

    // Escape closes the window as its close button does.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool windowShouldClose();
    // Add is offered only for a template row, while one more may be added.
    void updateAddButton();

    int nAddType = 3;
    int m_nSelectedRow = -1;
    QTreeWidgetItem *m_clicked = nullptr;
    // Below the list; from the main window, where the picker stays open, it tells what each add did.
    QLabel *m_hint = nullptr;
    bool m_bIsPPTChanged = false;
    int m_nQueSum = 0;
};
