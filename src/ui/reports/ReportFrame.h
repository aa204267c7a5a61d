#pragma once

#include <QDialog>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStandardItemModel;
class QTableView;
class QTreeView;
class ReportDocument;
class ReportView;

// The window every report is shown in: one page at a time, First, Previous, Next, Last and Go
// to page, zoom, the PDF of the pages and the CSV file, and the report's list beside the pages
// when it has one. The report (a ReportDocument) brings its pages, its CSV and its policy (the
// head, which pages the PDF takes and where the window returns after it, the CSV head); see
// ReportFramePolicy::viewerFrame(), windowFrame() and gradebookFrame().
//
// A report window is a ReportFrame made with its report (each report's controller class does
// that in its constructor) and run modally by its opener; closing it ends the run with 0.
class ReportFrame : public QDialog
{
    Q_OBJECT
public:
    // name: the window's interface name (its objectName).
    ReportFrame(std::unique_ptr<ReportDocument> report, const QString &name, QWidget *parent = nullptr);
    ~ReportFrame() override;

    ReportDocument *report() const { return m_report.get(); }
    int curPageNum() const { return m_curPageNum; }
    int totalPage() const;
    int memoryPageNum() const { return m_memoryPageNum; }
    // The page's frame in the scrolled area, as the zoom left it.
    QRectF curFrame() const { return m_curFrame; }

    // ---- Paging ----
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    // Asks for the page in the go-to dialog; 0 keeps the page.
    void goToPage();
    void goToMemoryPage();
    // Shows page (clamped into the report's pages) and sets the paging buttons for it.
    void showPage(int page);

    // ---- Zoom ----
    // Applies the zoom box's item (the box's list closing). "Page Width" and "Whole Page" fit the
    // page again whenever the visible area changes size.
    void comboBoxWillDismiss();

    // ---- Export ----
    // Asks for a file, writes the PDF with progress shown, and says why when it could not.
    // Says where the file went once it is written.
    void saveToPDF();
    // Writes the PDF (the pages the policy says) to path without asking; returns to the page the
    // policy says.
    bool saveToPDF(const QString &path, QString *errorText = nullptr);
    void saveToCSV();
    bool saveToCSV(const QString &path, QString *errorText = nullptr, QString *reason = nullptr);

    // ---- The list beside the pages ----
    void tableViewSelectionDidChange();
    void outlineViewSelectionDidChange();

    // Outlets.
    QPushButton *btnFirst = nullptr, *btnPrevious = nullptr, *btnNext = nullptr, *btnLast = nullptr,
                *btnGoToPage = nullptr, *btnSaveToPDF = nullptr, *btnSaveToCSV = nullptr;
    QScrollArea *scrollView = nullptr;
    QWidget *reportSuperView = nullptr;
    ReportView *reportView = nullptr;
    QComboBox *cboScale = nullptr;
    // The page on show and the count, beside the paging buttons.
    QLabel *txtPage = nullptr;
    // The report's list (none when the report has none), and its outline.
    QTableView *tableView = nullptr;
    QTreeView *outlineView = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildInterface();
    void buildSideList();
    int sideListWidth() const;
    void setPagingButtons();
    void applyZoom(const QSizeF &pageSize);
    // Sizes the page for a zoom item that needs no dialog.
    void zoomTo(const QString &item, std::optional<int> percent = std::nullopt);
    // The scroll view's area as the zoom counts it (the visible area and a point on each side),
    // and the room a vertical scroll bar takes from it.
    QSizeF zoomArea() const;
    double scrollBarRoom() const;
    void savedTo(const QString &kind, const QString &path);

    std::unique_ptr<ReportDocument> m_report;
    QStandardItemModel *m_sideModel = nullptr;
    int m_curPageNum = 1;
    int m_memoryPageNum = 0;
    QRectF m_curFrame;
    QString m_zoomItem;
    bool m_placed = false;
};
