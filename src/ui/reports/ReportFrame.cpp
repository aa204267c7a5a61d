#include "ReportFrame.h"

#include "CustomZoomController.h"
#include "GoToPageController.h"
#include "ReportView.h"

#include "core/reports/ReportDocument.h"
#include "core/reports/ReportPdf.h"
#include "core/reports/ReportZoom.h"
#include "platform/Log.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ProgressControl.h"
#include "ui/controls/ScreenFit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {
void addOutlineNodes(QStandardItem *parent, const QList<NodeDataPtr> &nodes)
{
    for (const NodeDataPtr &node : nodes) {
        auto *item = new QStandardItem(node->relativePath());
        item->setEditable(false);
        item->setData(QVariant::fromValue(static_cast<void *>(node.get())), Qt::UserRole);
        addOutlineNodes(item, node->children());
        parent->appendRow(item);
    }
}
} // namespace

ReportFrame::ReportFrame(std::unique_ptr<ReportDocument> report, const QString &name, QWidget *parent)
    : QDialog(parent), m_report(std::move(report))
{
    setObjectName(name);
    // A page count of zero never reaches the window: an empty report has one empty page.
    m_report->buildPages();
    buildInterface();

    // The first page, the buttons for it, the zoom box at "Page Width" without a zoom.
    reportView->setTotalPage(totalPage());
    showPage(1);
    btnGoToPage->setEnabled(totalPage() > 1);
    m_curFrame = reportView->geometry();
}

ReportFrame::~ReportFrame() = default;

int ReportFrame::totalPage() const
{
    return m_report->totalPage();
}

void ReportFrame::buildInterface()
{
    setWindowTitle(m_report->title());
    const auto button = [this](const char *objectName, const QString &title) {
        auto *b = new QPushButton(title, this);
        b->setObjectName(QLatin1String(objectName));
        b->setAutoDefault(false);
        b->setEnabled(false);
        return b;
    };
    btnFirst = button("btnFirst", tr("First"));
    btnPrevious = button("btnPrevious", tr("Previous"));
    btnNext = button("btnNext", tr("Next"));
    btnLast = button("btnLast", tr("Last"));
    btnGoToPage = button("btnGoToPage", tr("Go to Page..."));
    btnSaveToPDF = button("btnSaveToPDF", tr("Save as PDF..."));
    btnSaveToCSV = button("btnSaveToCSV", tr("Save as CSV..."));
    btnSaveToPDF->setEnabled(m_report->policy().pdf != ReportFramePolicy::Pdf::NoPdf);
    btnSaveToCSV->setEnabled(m_report->hasCSV());
    btnSaveToPDF->setVisible(m_report->policy().pdf != ReportFramePolicy::Pdf::NoPdf);
    btnSaveToCSV->setVisible(m_report->hasCSV());
    connect(btnFirst, &QPushButton::clicked, this, &ReportFrame::firstPage);
    connect(btnPrevious, &QPushButton::clicked, this, &ReportFrame::previousPage);
    connect(btnNext, &QPushButton::clicked, this, &ReportFrame::nextPage);
    connect(btnLast, &QPushButton::clicked, this, &ReportFrame::lastPage);
    connect(btnGoToPage, &QPushButton::clicked, this, &ReportFrame::goToPage);
    connect(btnSaveToPDF, &QPushButton::clicked, this, qOverload<>(&ReportFrame::saveToPDF));
    connect(btnSaveToCSV, &QPushButton::clicked, this, qOverload<>(&ReportFrame::saveToCSV));

    cboScale = new QComboBox(this);
    cboScale->setObjectName(QStringLiteral("cboScale"));
    cboScale->addItems(ReportZoom::items());
    cboScale->setCurrentIndex(0);
    m_zoomItem = cboScale->currentText();
    connect(cboScale, &QComboBox::activated, this, &ReportFrame::comboBoxWillDismiss);

    scrollView = new QScrollArea(this);
    scrollView->setObjectName(QStringLiteral("scrollView"));
    scrollView->setWidgetResizable(false);
    scrollView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scrollView->setBackgroundRole(QPalette::Dark);
    reportSuperView = new QWidget;
    reportSuperView->setObjectName(QStringLiteral("reportSuperView"));
    const QSizeF page = m_report->pageSize();
    reportSuperView->resize(page.toSize());
    reportView = new ReportView(m_report.get(), QRectF(QPointF(0, 0), page), reportSuperView);
    scrollView->setWidget(reportSuperView);
    scrollView->installEventFilter(this);

    txtPage = new QLabel(this);
    txtPage->setObjectName(QStringLiteral("txtPage"));
    // Room for the longest caption this report shows: the buttons beside it never move.
    txtPage->setMinimumWidth(txtPage->fontMetrics().horizontalAdvance(ReportDocument::pageCaption(totalPage(), totalPage())) + 8);
    txtPage->setAlignment(Qt::AlignCenter);

    auto *bar = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(btnFirst), static_cast<QWidget *>(btnPrevious),
                       static_cast<QWidget *>(txtPage), static_cast<QWidget *>(btnNext), static_cast<QWidget *>(btnLast),
                       static_cast<QWidget *>(btnGoToPage), static_cast<QWidget *>(cboScale)})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(btnSaveToPDF);
    bar->addWidget(btnSaveToCSV);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    buildSideList();
    if (tableView || outlineView) {
        auto *split = new QSplitter(Qt::Horizontal, this);
        split->addWidget(tableView ? static_cast<QWidget *>(tableView) : static_cast<QWidget *>(outlineView));
        split->addWidget(scrollView);
        split->setStretchFactor(1, 1);
        split->setSizes({sideListWidth(), 840});
        layout->addWidget(split, 1);
    } else {
        layout->addWidget(scrollView, 1);
    }
    ScreenFit::resize(this, tableView || outlineView ? 1140 : 880, 900);
}

int ReportFrame::sideListWidth() const
{
    // Wide enough for every column of the list (a long name would otherwise push the ID column out
    // of sight), but never more than a third of the window.
    if (!tableView)
        return 260;
    // (The slack covers the splitter handle and the header's own margins.)
    int need = 2 * tableView->frameWidth() + tableView->verticalScrollBar()->sizeHint().width() + 24;
    for (int c = 0; c < tableView->model()->columnCount(); ++c)
        need += std::max(static_cast<const QAbstractItemView *>(tableView)->sizeHintForColumn(c), tableView->horizontalHeader()->sectionSizeHint(c));
    return std::clamp(need, 260, 380);
}

void ReportFrame::buildSideList()
{
    const ReportSideList list = m_report->sideList();
    if (!list.isEmpty()) {
        m_sideModel = new QStandardItemModel(int(list.rows.size()), int(list.headers.size()), this);
        m_sideModel->setHorizontalHeaderLabels(list.headers);
        for (int r = 0; r < list.rows.size(); ++r)
            for (int c = 0; c < list.headers.size(); ++c) {
                auto *item = new QStandardItem(list.rows.at(r).value(c));
                item->setEditable(false);
                m_sideModel->setItem(r, c, item);
            }
        tableView = new QTableView(this);
        tableView->setObjectName(QStringLiteral("tableView"));
        tableView->setModel(m_sideModel);
        tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
        tableView->setSelectionMode(QAbstractItemView::SingleSelection);
        tableView->verticalHeader()->hide();
        tableView->verticalHeader()->setDefaultSectionSize(tableView->fontMetrics().height() + 8);
        tableView->horizontalHeader()->setStretchLastSection(true);
        tableView->setWordWrap(false);
        tableView->resizeColumnToContents(0);
        connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &ReportFrame::tableViewSelectionDidChange);
        return;
    }
    const QList<NodeDataPtr> nodes = m_report->outline();
    if (nodes.isEmpty())
        return;
    m_sideModel = new QStandardItemModel(this);
    addOutlineNodes(m_sideModel->invisibleRootItem(), nodes);
    outlineView = new QTreeView(this);
    outlineView->setObjectName(QStringLiteral("outlineView"));
    outlineView->setHeaderHidden(true);
    outlineView->setModel(m_sideModel);
    outlineView->expandAll();
    connect(outlineView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReportFrame::outlineViewSelectionDidChange);
}

void ReportFrame::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The page as the zoom box says, placed in the area the window now has.
    if (!m_placed) {
        m_placed = true;
        zoomTo(m_zoomItem);
    }
    scrollView->verticalScrollBar()->setValue(0);
}

bool ReportFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == scrollView && event->type() == QEvent::Resize && m_placed && ReportZoom::followsArea(m_zoomItem))
        zoomTo(m_zoomItem);
    return QDialog::eventFilter(watched, event);
}

// ---- Paging ----

void ReportFrame::showPage(int page)
{
    const int shown = std::clamp(page, 1, totalPage());
    const bool turned = shown != m_curPageNum;
    m_curPageNum = shown;
    reportView->setPage(m_curPageNum);
    txtPage->setText(ReportDocument::pageCaption(m_curPageNum, totalPage()));
    setPagingButtons();
    // Another page is read from its top, not from where the last one was left; the column in
    // view stays, as the pages share their columns.
    if (turned)
        scrollView->verticalScrollBar()->setValue(0);
}

void ReportFrame::setPagingButtons()
{
    btnFirst->setEnabled(m_curPageNum > 1);
    btnPrevious->setEnabled(m_curPageNum > 1);
    btnNext->setEnabled(m_curPageNum < totalPage());
    btnLast->setEnabled(m_curPageNum < totalPage());
}

void ReportFrame::firstPage()
{
    showPage(1);
}

void ReportFrame::previousPage()
{
    showPage(m_curPageNum - 1);
}

void ReportFrame::nextPage()
{
    showPage(m_curPageNum + 1);
}

void ReportFrame::lastPage()
{
    showPage(totalPage());
}

void ReportFrame::goToPage()
{
    GoToPageController dialog(totalPage(), this);
    dialog.setCurrentPage(m_curPageNum);
    const int page = DialogHooks::runModal(&dialog);
    if (page > 0)
        showPage(page);
}

void ReportFrame::goToMemoryPage()
{
    showPage(m_memoryPageNum);
}

// ---- Zoom ----

void ReportFrame::comboBoxWillDismiss()
{
    const QString item = cboScale->currentText();
    std::optional<int> percent;
    if (item == ReportZoom::customizeItem()) {
        CustomZoomController dialog(this);
        const int code = DialogHooks::runModal(&dialog);
        if (code == 0)
            return;
        percent = code;
    }
    zoomTo(item, percent);
}

void ReportFrame::zoomTo(const QString &item, std::optional<int> percent)
{
    const std::optional<QSizeF> size =
        ReportZoom::pageSize(item, reportView->defaultFrame().size(), zoomArea(), percent, scrollBarRoom());
    if (!size)
        return;
    m_zoomItem = item;
    applyZoom(*size);
}

QSizeF ReportFrame::zoomArea() const
{
    // What lies inside the scroll view's frame, scroll bars included.
    return QSizeF(scrollView->contentsRect().size()) + QSizeF(2, 2);
}

double ReportFrame::scrollBarRoom() const
{
    const QStyle *style = scrollView->style();
    int room = std::max(scrollView->verticalScrollBar()->sizeHint().width(),
                        style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollView->verticalScrollBar()));
    if (style->styleHint(QStyle::SH_ScrollView_FrameOnlyAroundContents, nullptr, scrollView))
        room += style->pixelMetric(QStyle::PM_ScrollView_ScrollBarSpacing, nullptr, scrollView);
    return room;
}

void ReportFrame::applyZoom(const QSizeF &pageSize)
{
    const ReportZoom::Placement place = ReportZoom::place(pageSize, reportView->defaultFrame().size(), zoomArea(), scrollBarRoom());
    reportSuperView->resize(place.holder.toSize());
    reportView->setGeometry(place.page.toRect());
    m_curFrame = place.page;
    scrollView->verticalScrollBar()->setValue(0);
}

// ---- Export ----

void ReportFrame::saveToPDF()
{
    const QString path = FileDialogs::getSaveFileNameOfType(this, tr("Save as PDF"), FileDialogs::Kind::Reports, tr("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString why;
    if (!saveToPDF(path, &why))
        PollixAlert::show(this, QStringLiteral("Pollix ARS"), tr("The PDF file could not be saved."), {tr("OK")}, why);
    else
        savedTo(tr("The PDF file was saved."), path);
}

void ReportFrame::savedTo(const QString &kind, const QString &path)
{
    PollixAlert::show(this, QStringLiteral("Pollix ARS"), kind, {tr("OK")}, PollixAlert::savedTo(path));
}

bool ReportFrame::saveToPDF(const QString &path, QString *errorText)
{
    const ReportFramePolicy::Pdf policy = m_report->policy().pdf;
    if (policy != ReportFramePolicy::Pdf::ShownPage)
        m_memoryPageNum = m_curPageNum;
    const QList<int> pages = policy == ReportFramePolicy::Pdf::ShownPage ? QList<int>{m_curPageNum}
                                                                          : ReportPdf::allPages(*m_report);
    QString why;
    const ReportDocument &report = *m_report;
    const bool ok = ProgressControl::runWithProgress(this, [&](const ProgressControl::Progress &progress) {
        return ReportPdf::write(report, pages, path, &why, progress);
    });
    if (!ok)
        PollixLog(QStringLiteral("Failed to write the PDF %1: %2").arg(path, why));
    if (errorText)
        *errorText = why;
    if (policy == ReportFramePolicy::Pdf::AllPagesBackToShown)
        goToMemoryPage();
    else if (policy == ReportFramePolicy::Pdf::AllPagesBackToFirst)
        firstPage();
    return ok;
}

void ReportFrame::saveToCSV()
{
    const QString path = FileDialogs::getSaveFileNameOfType(this, tr("Save as CSV"), FileDialogs::Kind::Reports, tr("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QString message, reason;
    if (!saveToCSV(path, &message, &reason)) {
        PollixLog(message);
        PollixAlert::show(this, QStringLiteral("Pollix ARS"), message, {tr("OK")}, reason);
        return;
    }
    savedTo(tr("The CSV file was saved."), path);
}

bool ReportFrame::saveToCSV(const QString &path, QString *errorText, QString *reason)
{
    return m_report->saveToCSV(path, errorText, reason);
}

// ---- The list beside the pages ----

void ReportFrame::tableViewSelectionDidChange()
{
    const QModelIndexList rows = tableView->selectionModel()->selectedRows();
    const int page = m_report->sideRowSelected(rows.isEmpty() ? -1 : rows.first().row());
    if (page > 0)
        showPage(page);
    reportView->update();
}

void ReportFrame::outlineViewSelectionDidChange()
{
    const QModelIndexList selected = outlineView->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const auto *node = static_cast<const NodeData *>(selected.first().data(Qt::UserRole).value<void *>());
    if (!node)
        return;
    const int page = m_report->pageOfNode(*node);
    if (page > 0)
        showPage(page);
}
