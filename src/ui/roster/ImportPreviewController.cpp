#include "ImportPreviewController.h"

#include "ImportHeaderCell.h"
#include "ImportPreviewTableModel.h"
#include "RImageAndTextCell.h"

#include "platform/Log.h"
#include "ui/controls/AppIcons.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/MyEnterFormatter.h"
#include "ui/controls/PollixAlert.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {
const QString kPollixArs = QStringLiteral("Pollix ARS");
constexpr int kNumberColumnWidth = 50;
constexpr int kColumnWidth = 200;
constexpr int kRowHeight = 22;
constexpr int kMappingRowHeight = 26;
} // namespace

ImportPreviewController::ImportPreviewController(const QString &path, const QList<ImportItemInfo> &importItemList,
                                                 QWidget *parent)
    : QDialog(parent), m_path(path), m_state(importItemList)
{
    setObjectName(QStringLiteral("ImportPreview"));
    setWindowTitle(tr("Importing Preview"));
    m_errorType = m_state.loadFile(path, &m_loadError);
    buildWindow();
    refillRowBoxes();
    refreshStatus();
    showEncodingChoice();
}

namespace {
// The entries of the separator box, in order.
const CSVOperator::Separator kSeparators[] = {CSVOperator::Separator::Comma, CSVOperator::Separator::Semicolon,
                                              CSVOperator::Separator::Tab};
} // namespace

void ImportPreviewController::showEncodingChoice()
{
    const bool codePage = m_state.encoding() == CSVOperator::TextEncoding::Windows1252;
    const bool offered = codePage || m_state.hasUndecodedRows();
    lblEncoding->setVisible(offered);
    cboEncoding->setVisible(offered);
    const QSignalBlocker quiet(cboEncoding);
    cboEncoding->setCurrentIndex(codePage ? 1 : 0);
    const QSignalBlocker quietSeparator(cboSeparator);
    cboSeparator->setCurrentIndex(int(std::find(std::begin(kSeparators), std::end(kSeparators), m_state.separator())
                                      - std::begin(kSeparators)));
}

void ImportPreviewController::chooseEncoding(int index)
{
    readAgain(index == 1 ? CSVOperator::TextEncoding::Windows1252 : CSVOperator::TextEncoding::Unicode, m_state.separator());
}

void ImportPreviewController::chooseSeparator(int index)
{
    if (index >= 0 && index < int(std::size(kSeparators)))
        readAgain(m_state.encoding(), kSeparators[index]);
}

void ImportPreviewController::readAgain(CSVOperator::TextEncoding encoding, CSVOperator::Separator separator)
{
    if (encoding == m_state.encoding() && separator == m_state.separator())
        return;
    if (m_edited
        && PollixAlert::show(this, kPollixArs, tr("Reading the file again drops the changes made in the preview."),
                             {tr("Read Again"), tr("Cancel")}, {}, PollixAlert::Default::LeavesAsIs)
               != PollixAlert::AlertFirstButtonReturn) {
        showEncodingChoice();
        return;
    }
    ImportPreviewState fresh(m_state.importItemList());
    QString error;
    if (fresh.loadFile(m_path, &error, encoding, separator) != TovImportPreviewData::Loaded) {
        PollixAlert::show(this, kPollixArs, tr("The file cannot be imported."), {tr("OK")}, error);
        showEncodingChoice();
        return;
    }
    m_state = fresh;
    headerArrayController->reload();
    tvHeader->setColumnWidth(0, kNumberColumnWidth);
    rowsChanged();
    refillRowBoxes();
    m_edited = false;
    showEncodingChoice();
}

ImportPreviewController::~ImportPreviewController() = default;

void ImportPreviewController::buildWindow()
{
    cboRowStart = new MyComboBox(this);
    cboRowStart->setObjectName(QStringLiteral("cboRowStart"));
    cboRowEnd = new MyComboBox(this);
    cboRowEnd->setObjectName(QStringLiteral("cboRowEnd"));
    for (QComboBox *box : {cboRowStart, cboRowEnd}) {
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumContentsLength(6);
        box->setMaxVisibleItems(20);
        auto *digits = new MyEnterFormatter(box);
        digits->setLegalCharacterSet(CharacterSet::decimalDigits());
        digits->attachTo(box->lineEdit());
    }

    headerArrayController = new ImportPreviewTableModel(&m_state, ImportPreviewTableModel::MappingRow, this);
    previewDataArrayController = new ImportPreviewTableModel(&m_state, ImportPreviewTableModel::PreviewRows, this);

    tvHeader = new QTableView(this);
    tvHeader->setObjectName(QStringLiteral("tvHeader"));
    tvHeader->setModel(headerArrayController);
    tvHeader->setItemDelegate(new ImportHeaderCell(ImportPreviewTableModel::MenuRole, tvHeader));
    tvHeader->setSelectionMode(QAbstractItemView::NoSelection);
    tvHeader->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvHeader->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tvHeader->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tvHeader->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    tvHeader->verticalHeader()->hide();
    tvHeader->verticalHeader()->setDefaultSectionSize(kMappingRowHeight);
    tvHeader->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    tvHeader->horizontalHeader()->setHighlightSections(false);
    tvHeader->setColumnWidth(0, kNumberColumnWidth);
    tvHeader->setFixedHeight(tvHeader->horizontalHeader()->sizeHint().height() + kMappingRowHeight + 2 * tvHeader->frameWidth());
    // A press on a half-visible mapping cell must not scroll the row away from the data below.
    tvHeader->setAutoScroll(false);

    tvPreviewData = new QTableView(this);
    tvPreviewData->setObjectName(QStringLiteral("tvPreviewData"));
    tvPreviewData->setModel(previewDataArrayController);
    auto *cell = new RImageAndTextCell(ImportPreviewTableModel::ErrorRole, tvPreviewData);
    cell->setImage(AppIcons::icon(QStringLiteral("info.png")).pixmap(14, 14).toImage());
    tvPreviewData->setItemDelegate(cell);
    tvPreviewData->horizontalHeader()->hide();
    tvPreviewData->verticalHeader()->hide();
    tvPreviewData->verticalHeader()->setDefaultSectionSize(kRowHeight);
    tvPreviewData->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tvPreviewData->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    tvPreviewData->setColumnWidth(0, kNumberColumnWidth);
    tvPreviewData->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    tvPreviewData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    tvPreviewData->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvPreviewData->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvPreviewData->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    tvPreviewData->setMouseTracking(true);
    tvPreviewData->viewport()->installEventFilter(this);
    connect(tvPreviewData, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.column() > 0)
            tvPreviewData->edit(index);
    });

    // The mapping row scrolls with the data below it and gives its column widths to it; a gap as
    // wide as the data's scroll bar keeps the columns over each other at the far right too.
    connect(tvPreviewData->horizontalScrollBar(), &QScrollBar::valueChanged, tvHeader->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(tvHeader->horizontalScrollBar(), &QScrollBar::valueChanged, tvPreviewData->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(tvHeader->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        PollixLog(QStringLiteral("column %1 width %2").arg(column).arg(width));
        tvPreviewData->setColumnWidth(column, width);
    });
    m_headerScrollBarGap = new QWidget(this);
    m_headerScrollBarGap->setFixedWidth(tvPreviewData->verticalScrollBar()->sizeHint().width());

    connect(headerArrayController, &ImportPreviewTableModel::edited, this, [this] {
        m_edited = true;
        previewDataArrayController->allChanged();
        refreshStatus();
    });
    connect(previewDataArrayController, &ImportPreviewTableModel::edited, this, [this] {
        m_edited = true;
        refreshStatus();
    });
    // Corrections, mappings and row choices are the teacher's work: no way out drops them unasked.
    m_hold = new EditHold(this, [this] { return m_edited; }, [this] {
        return EditHold::askLeave(this, kPollixArs, tr("Are you sure to quit without importing?"), {tr("Yes"), tr("No")});
    });
    connect(tvPreviewData->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { btnRemove->setEnabled(!selectedPreviewRows().isEmpty()); });

    for (QComboBox *box : {cboRowStart, cboRowEnd}) {
        const bool start = box == cboRowStart;
        connect(box, &QComboBox::activated, this, [this, box, start](int index) {
            const QString text = box->itemText(index);
            start ? chooseStartRow(text) : chooseEndRow(text);
        });
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this, box, start] {
            start ? chooseStartRow(box->currentText()) : chooseEndRow(box->currentText());
        });
    }

    lblErrorText = new QLabel(this);
    lblErrorText->setObjectName(QStringLiteral("lblErrorText"));
    lblErrorText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long line folds within the window rather than widening it past a small screen.
    lblErrorText->setWordWrap(true);

    auto makeButton = [this](QPushButton *&b, const char *name, const QString &title) {
        b = new QPushButton(title, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
    };
    makeButton(btnAdd, "btnAdd", tr("Add Row"));
    makeButton(btnRemove, "btnRemove", tr("Remove Rows"));
    makeButton(btnCancel, "btnCancel", tr("Cancel"));
    makeButton(btnImport, "btnImport", tr("Import"));
    btnRemove->setEnabled(false);
    connect(btnAdd, &QPushButton::clicked, this, &ImportPreviewController::doAdd);
    connect(btnRemove, &QPushButton::clicked, this, &ImportPreviewController::doRemove);
    connect(btnCancel, &QPushButton::clicked, this, &ImportPreviewController::doCancel);
    connect(btnImport, &QPushButton::clicked, this, &ImportPreviewController::doImport);

    lblEncoding = new QLabel(tr("Read the file as:"), this);
    cboEncoding = new QComboBox(this);
    cboEncoding->setObjectName(QStringLiteral("cboEncoding"));
    cboEncoding->addItems({tr("UTF-8"), tr("Windows (Western European)")});
    connect(cboEncoding, &QComboBox::activated, this, &ImportPreviewController::chooseEncoding);
    cboSeparator = new QComboBox(this);
    cboSeparator->setObjectName(QStringLiteral("cboSeparator"));
    cboSeparator->addItems({tr("Commas"), tr("Semicolons"), tr("Tabs")});
    connect(cboSeparator, &QComboBox::activated, this, &ImportPreviewController::chooseSeparator);

    auto *rows = new QHBoxLayout;
    rows->addWidget(new QLabel(tr("Import from row:"), this));
    rows->addWidget(cboRowStart);
    rows->addSpacing(12);
    rows->addWidget(new QLabel(tr("to row:"), this));
    rows->addWidget(cboRowEnd);
    rows->addStretch();
    rows->addWidget(lblEncoding);
    rows->addWidget(cboEncoding);
    rows->addSpacing(12);
    rows->addWidget(new QLabel(tr("Separated by:"), this));
    rows->addWidget(cboSeparator);

    auto *mapping = new QHBoxLayout;
    mapping->setSpacing(0);
    mapping->addWidget(tvHeader, 1);
    mapping->addWidget(m_headerScrollBarGap);

    auto *tables = new QVBoxLayout;
    tables->setSpacing(0);
    tables->addLayout(mapping);
    tables->addWidget(tvPreviewData, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnRemove);
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnImport);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addLayout(tables, 1);
    layout->addWidget(lblErrorText);
    layout->addLayout(buttons);
    resize(980, 620);
}

int ImportPreviewController::exec()
{
    if (m_errorType != TovImportPreviewData::Loaded) {
        alertLoadFailure();
        setResult(0);
        return 0;
    }
    return QDialog::exec();
}

void ImportPreviewController::alertLoadFailure()
{
    QWidget *over = parentWidget();
    if (m_errorType == TovImportPreviewData::NoRows)
        PollixAlert::show(over, kPollixArs, tr("The file holds no rows to import."), {tr("OK")}, m_path);
    else
        PollixAlert::show(over, kPollixArs, tr("The file cannot be imported."), {tr("OK")},
                          m_loadError.isEmpty() ? m_path : m_loadError);
}

void ImportPreviewController::setClassToImportInto(const QList<StudentEntity> &students, int maxStudents)
{
    m_state.setClassToImportInto(students, maxStudents);
    refreshStatus();
}

void ImportPreviewController::refillRowBoxes()
{
    const TovImportPreviewData &data = m_state.previewData();
    QStringList numbers;
    numbers.reserve(data.numOfRows());
    for (int i = 1; i <= data.numOfRows(); ++i)
        numbers << QString::number(i);
    for (QComboBox *box : {cboRowStart, cboRowEnd}) {
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(numbers);
        box->setEnabled(!numbers.isEmpty());
    }
    const QSignalBlocker quietStart(cboRowStart);
    const QSignalBlocker quietEnd(cboRowEnd);
    cboRowStart->setCurrentIndex(numbers.isEmpty() ? -1 : data.startRow() - 1);
    cboRowEnd->setCurrentIndex(numbers.isEmpty() ? -1 : data.endRow() - 1);
    if (numbers.isEmpty()) {
        cboRowStart->setEditText(QStringLiteral("1"));
        cboRowEnd->setEditText(QStringLiteral("1"));
    }
}

void ImportPreviewController::refreshStatus()
{
    lblErrorText->setText(m_state.statusText());
    QPalette palette = lblErrorText->palette();
    palette.setColor(QPalette::WindowText,
                     m_state.bHasError() ? QColor(0xc0, 0x00, 0x00) : this->palette().color(QPalette::WindowText));
    lblErrorText->setPalette(palette);
}

void ImportPreviewController::rowsChanged()
{
    m_edited = true;
    previewDataArrayController->reload();
    // A reset gives the data's columns their default widths; the mapping row keeps the teacher's.
    for (int column = 0; column < headerArrayController->columnCount(); ++column)
        tvPreviewData->setColumnWidth(column, tvHeader->columnWidth(column));
    btnRemove->setEnabled(!selectedPreviewRows().isEmpty());
    refreshStatus();
}

void ImportPreviewController::chooseStartRow(const QString &text)
{
    const TovImportPreviewData &data = m_state.previewData();
    bool ok = false;
    int row = text.trimmed().toInt(&ok);
    if (!ok || row < 1)
        row = 1;
    if (data.numOfRows() > 0 && row != data.startRow() && m_state.setStartRow(row))
        rowsChanged();
    // A refused value gives way to the row in force.
    const QSignalBlocker quiet(cboRowStart);
    cboRowStart->setCurrentIndex(data.numOfRows() > 0 ? data.startRow() - 1 : -1);
    cboRowStart->setEditText(QString::number(std::max(1, data.startRow())));
}

void ImportPreviewController::chooseEndRow(const QString &text)
{
    const TovImportPreviewData &data = m_state.previewData();
    bool ok = false;
    const int row = text.trimmed().toInt(&ok);
    if (ok && data.numOfRows() > 0 && row != data.endRow() && m_state.setEndRow(row))
        rowsChanged();
    const QSignalBlocker quiet(cboRowEnd);
    cboRowEnd->setCurrentIndex(data.numOfRows() > 0 ? data.endRow() - 1 : -1);
    cboRowEnd->setEditText(QString::number(std::max(1, data.endRow())));
}

QList<int> ImportPreviewController::selectedPreviewRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : tvPreviewData->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ImportPreviewController::doAdd()
{
    const QList<int> selected = selectedPreviewRows();
    const int row = m_state.addRow(selected.isEmpty() ? -1 : selected.last());
    rowsChanged();
    refillRowBoxes();
    const QModelIndex first = previewDataArrayController->index(row, 1);
    tvPreviewData->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    tvPreviewData->setCurrentIndex(first);
    tvPreviewData->scrollTo(first);
    tvPreviewData->edit(first);
}

void ImportPreviewController::doRemove()
{
    const QList<int> selected = selectedPreviewRows();
    if (selected.isEmpty())
        return;
    m_state.removeRows(selected);
    tvPreviewData->clearSelection();
    rowsChanged();
    refillRowBoxes();
}

void ImportPreviewController::doImport()
{
    // Also a required item that no column feeds blocks the import, not only a wrong cell.
    if (m_state.bHasError()) {
        PollixAlert::show(this, kPollixArs, m_state.statusText(), {tr("OK")});
        return;
    }
    done(1);
}

void ImportPreviewController::doCancel()
{
    m_hold->leave(0);
}

bool ImportPreviewController::eventFilter(QObject *watched, QEvent *event)
{
    // The cell's message shows as soon as the pointer rests on it, not after the usual delay.
    if (watched == tvPreviewData->viewport() && event->type() == QEvent::MouseMove) {
        const auto *move = static_cast<QMouseEvent *>(event);
        const QModelIndex index = tvPreviewData->indexAt(move->position().toPoint());
        const QString tip = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(move->globalPosition().toPoint(), tip, tvPreviewData->viewport(),
                               tvPreviewData->visualRect(index));
    }
    return QDialog::eventFilter(watched, event);
}
