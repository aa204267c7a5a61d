#include "HardwareTestCtrl.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/KeypadMouse.h"
#include "core/keypad/SetupFrames.h"
#include "core/keypad/TovDevice.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/TableExtensions.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The key column holds a key ("Rush Quiz" at the longest) or a registered keypad's name.
constexpr int kIdWidth = 44;
constexpr int kKeyWidth = 160;

int currentDeviceType()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    return app ? app->currentDeviceType() : -1;
}

} // namespace

HardwareTestCtrl::HardwareTestCtrl(QWidget *parent)
    : QDialog(parent), m_deviceType(currentDeviceType()), m_keyValues(m_deviceType)
{
    setObjectName(QStringLiteral("HardwareTest"));
    setWindowTitle(tr("Hardware Test"));

    idPart = new QWidget(this);
    idPart->setObjectName(QStringLiteral("idPart"));
    auto *idText = new QLabel(tr("Click an ID to give it to the keypad being set up. The ID turns green once the "
                                 "keypad has taken it; then press keys on the keypads to test them."),
                              idPart);
    idText->setWordWrap(true);
    auto *idLayout = new QVBoxLayout(idPart);
    idLayout->setContentsMargins(0, 0, 0, 0);
    idLayout->addWidget(idText);
    boxSeparate = new QFrame(this);
    boxSeparate->setObjectName(QStringLiteral("boxSeparate"));
    boxSeparate->setFrameShape(QFrame::HLine);
    boxSeparate->setFrameShadow(QFrame::Sunken);

    auto *tables = new QHBoxLayout;
    QTableWidget **views[] = {&tableView1, &tableView2, &tableView3, &tableView4};
    for (int t = 0; t < KeyTestList::kTables; ++t) {
        auto *table = new QTableWidget(KeyTestList::kRowsPerTable, 0, this);
        table->setObjectName(QStringLiteral("tableView%1").arg(t + 1));
        addColumnWithTitle(table, tr("ID"), QStringLiteral("deviceID"), kIdWidth);
        addColumnWithTitle(table, tr("Key"), QStringLiteral("keyValue"), kKeyWidth);
        table->verticalHeader()->setVisible(false);
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
        table->horizontalHeader()->setStretchLastSection(true);
        table->setSelectionMode(QAbstractItemView::NoSelection);
        table->setFocusPolicy(Qt::NoFocus);
        table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        const int height = table->horizontalHeader()->sizeHint().height() +
                           KeyTestList::kRowsPerTable * table->verticalHeader()->defaultSectionSize() + 2 * table->frameWidth();
        table->setFixedHeight(height);
        // As wide as its columns, not a scroll area's usual width: four of those side by side
        // made the window wider than a 1024-point screen.
        table->setFixedWidth(kIdWidth + kKeyWidth + 2 * table->frameWidth());
        connect(table, &QTableWidget::cellClicked, this, [this, t](int row, int) { tblClick(t + 1, row); });
        *views[t] = table;
        tables->addWidget(table);
    }

    txtState = new QLabel(tr("Teacher Key:"), this);
    txtState->setObjectName(QStringLiteral("txtState"));
    teacherKey = new QLineEdit(this);
    teacherKey->setObjectName(QStringLiteral("teacherKey"));
    teacherKey->setReadOnly(true);
    teacherKey->setFocusPolicy(Qt::NoFocus);
    teacherKey->setFixedWidth(teacherKey->fontMetrics().horizontalAdvance(QStringLiteral("Previous")) + 24);
    btnPrev = new QPushButton(tr("Previous"), this);
    btnPrev->setObjectName(QStringLiteral("btnPrev"));
    btnNext = new QPushButton(tr("Next"), this);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    btnReset = new QPushButton(tr("Reset"), this);
    btnReset->setObjectName(QStringLiteral("btnReset"));
    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(txtState);
    bottom->addWidget(teacherKey);
    bottom->addStretch();
    bottom->addWidget(btnPrev);
    bottom->addWidget(btnNext);
    bottom->addSpacing(16);
    bottom->addWidget(btnReset);
    bottom->addWidget(btnOK);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(idPart);
    layout->addWidget(boxSeparate);
    layout->addLayout(tables);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnPrev, &QPushButton::clicked, this, &HardwareTestCtrl::doPrev);
    connect(btnNext, &QPushButton::clicked, this, &HardwareTestCtrl::doNext);
    connect(btnReset, &QPushButton::clicked, this, &HardwareTestCtrl::doReset);
    connect(btnOK, &QPushButton::clicked, this, &HardwareTestCtrl::doOK);

    NotificationCenter::defaultCenter()->addObserver(this, Notify::DeviceChanged,
                                                     [this](const Notification &) { handleDeviceChanged(); });
    device = DeviceController::ShareDeviceController()->currentDeviceOfModel(m_deviceType);
    awakeFromNib();
    setMode(0);
}

HardwareTestCtrl::~HardwareTestCtrl()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

QTableWidget *HardwareTestCtrl::tableAt(int t) const
{
    switch (t) {
    case 1: return tableView1;
    case 2: return tableView2;
    case 3: return tableView3;
    case 4: return tableView4;
    default: return nullptr;
    }
}

void HardwareTestCtrl::awakeFromNib()
{
    if (isSmallFamily()) {
        btnPrev->setEnabled(false);
        btnNext->setEnabled(true);
        openReceiveArvel();
    } else if (m_deviceType >= 2 && m_deviceType <= 4) {
        for (int t = 1; t <= KeyTestList::kTables; ++t)
            tableAt(t)->horizontalHeaderItem(1)->setText(tr("Student ID"));
        txtState->setText(QStringLiteral("Hardware CH:"));
        btnPrev->setEnabled(false);
        btnNext->setEnabled(m_deviceType == 4);
        sendGetChannelNo();
        sendPCState(4);
    } else {
        // No receiver model chosen: nothing to page through or listen to.
        btnPrev->setEnabled(false);
        btnNext->setEnabled(m_keyValues.pageCount() > 1);
    }
    if (!device)
        teacherKey->setText(QStringLiteral("No Host"));
    reloadTables();
}

void HardwareTestCtrl::setMode(int mode)
{
    m_mode = mode;
    // Mode 1 keeps only what lies below the separating line.
    idPart->setVisible(mode == 0);
    boxSeparate->setVisible(mode == 0);
    setWindowTitle(mode == 0 ? QStringLiteral("Set remote ID and hardware test") : tr("Hardware Test"));
}

// ---- sending --------------------------------------------------------------------------------

bool HardwareTestCtrl::sendFrame(const QByteArray &frame)
{
    if (!device || frame.isEmpty())
        return false;
    return device->sendData(frame);
}

void HardwareTestCtrl::openReceiveArvel()
{
    sendFrame(SetupFrames::receiverOn());
}

void HardwareTestCtrl::closeReceiveArvel()
{
    sendFrame(m_deviceType == 0 ? SetupFrames::envelStopInput() : SetupFrames::arvelStopInput());
}

void HardwareTestCtrl::sendGetChannelNo()
{
    sendFrame(SetupFrames::getChannel());
}

void HardwareTestCtrl::sendPCState(quint8 state)
{
    sendFrame(SetupFrames::pcState(state));
}

void HardwareTestCtrl::sendSetDeviceID(int id)
{
    if (m_deviceType == 1)
        sendFrame(SetupFrames::arvelStudentId(id));
    else if (m_deviceType == 4)
        sendFrame(SetupFrames::brevelStudentId(id, quint16(QRandomGenerator::global()->bounded(0x10000))));
}

void HardwareTestCtrl::sendHardwareTestSuccess(int keypad, int registerID, const QString &studentName)
{
    sendFrame(SetupFrames::registrationReply(keypad, registerID, studentName));
}

// ---- the tables -----------------------------------------------------------------------------

void HardwareTestCtrl::reloadTables()
{
    for (int t = 1; t <= KeyTestList::kTables; ++t) {
        QTableWidget *table = tableAt(t);
        for (int r = 0; r < KeyTestList::kRowsPerTable; ++r) {
            const int id = KeyTestList::idAt(m_curPage, t, r);
            auto *idItem = new QTableWidgetItem(QString::number(id));
            idItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            idItem->setFlags(Qt::ItemIsEnabled);
            table->setItem(r, 0, idItem);
            auto *keyItem = new QTableWidgetItem(m_keyValues.entryText(id));
            keyItem->setFlags(Qt::ItemIsEnabled);
            // The id being written: red until its keypad confirms it, then green.
            if (m_deviceID > 0 && id == m_deviceID) {
                keyItem->setBackground(m_isSuccessful ? QColor(Qt::green) : QColor(Qt::red));
                keyItem->setForeground(Qt::black);
            } else {
                keyItem->setBackground(Qt::white);
            }
            table->setItem(r, 1, keyItem);
        }
    }
}

void HardwareTestCtrl::turnToPage(int page)
{
    const int last = m_keyValues.pageCount();
    if (page < 1 || page > last)
        return;
    m_curPage = page;
    btnPrev->setEnabled(page > 1);
    btnNext->setEnabled(page < last);
    reloadTables();
}

void HardwareTestCtrl::doPrev()
{
    turnToPage(std::max(1, m_curPage - 1));
}

void HardwareTestCtrl::doNext()
{
    turnToPage(std::min(m_keyValues.pageCount(), m_curPage + 1));
}

void HardwareTestCtrl::doReset()
{
    m_keyValues.reset();
    if (!m_keyValues.isRegistration() && device)
        teacherKey->clear();
    m_deviceID = 0;
    m_isSuccessful = false;
    turnToPage(1);
}

void HardwareTestCtrl::tblClick(int table, int row)
{
    if (m_mode != 0 || table < 1 || table > KeyTestList::kTables || row < 0 || row >= KeyTestList::kRowsPerTable)
        return;
    if (m_deviceType != 1 && m_deviceType != 4)
        return; // only Arvel and Brevel keypads take an id from here
    const int id = KeyTestList::idAt(m_curPage, table, row);
    if (id > KeyTestList::kKeypadIds)
        return;
    m_keyValues.clearEntries();
    m_deviceID = id;
    m_isSuccessful = false;
    sendSetDeviceID(id);
    reloadTables();
}

void HardwareTestCtrl::confirmId()
{
    m_isSuccessful = true;
    reloadTables();
}

bool HardwareTestCtrl::showsId(int id) const
{
    if (id >= 1 && id <= m_keyValues.entryCount())
        return true;
    PollixLogf("key test: keypad id %d has no entry; ignored", id);
    return false;
}

// ---- frames ---------------------------------------------------------------------------------

void HardwareTestCtrl::handleMachMessage()
{
    handleDataReceive();
}

void HardwareTestCtrl::handleDataReceive()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (!app)
        return;
    const DataOfFrame frame = app->takeFrameToHandle();
    if (frame.isNull())
        return;
    if (isSmallFamily() && frame.type() == 0)
        handleDataReceiveArvel(frame);
    else if (m_deviceType >= 2 && m_deviceType <= 4 && frame.type() == 1)
        handleDataReceiveCorvel_Dravel(frame);
}

void HardwareTestCtrl::handleDataReceiveArvel(const DataOfFrame &frame)
{
    if (m_deviceID > 0 && SetupFrames::isArvelIdConfirmation(frame, m_deviceID)) {
        confirmId();
        return;
    }
    if (frame.isStudentCommand()) {
        const int k = frame.deviceID();
        if (!showsId(k))
            return;
        if (m_mode == 0) {
            m_keyValues.clearEntries();
            m_curPage = KeyTestList::pageOfId(k);
            turnToPage(m_curPage);
        }
        m_keyValues.setEntry(k, KeyTestList::keyText(frame.key()));
        m_deviceID = 0;
        m_isSuccessful = false;
        reloadTables();
    } else if (frame.isTeacherCommand()) {
        teacherKey->setText(KeyTestList::teacherKeyName(frame.key()));
    }
}

void HardwareTestCtrl::handleDataReceiveCorvel_Dravel(const DataOfFrame &frame)
{
    switch (frame.cmd()) {
    case 0xF3:
        teacherKey->setText(QString::number(frame.dataAt(0)));
        break;
    case 0xF5:
        sendPCState(4);
        break;
    case 0xF7:
    case 0xFB:
        RX_HardwareTestBrevel(frame);
        break;
    case 0xFD:
        if (m_deviceType == 4)
            RX_HardwareTestBrevel(frame);
        else
            RX_HardwareTest(frame);
        break;
    case 0xFC:
        if (SetupFrames::isBrevelIdConfirmation(frame, m_deviceID)) {
            confirmId();
        } else {
            KeypadMouse::pass(frame);
        }
        break;
    default:
        break;
    }
}

void HardwareTestCtrl::RX_HardwareTest(const DataOfFrame &frame)
{
    const QString name = SetupFrames::registrationName(frame);
    const int before = m_keyValues.entryCount();
    const int number = m_keyValues.registerName(name);
    if (number < 0) {
        PollixLog(QStringLiteral("key test: no registration number left"));
        return;
    }
    if (m_keyValues.entryCount() > before && KeyTestList::pageOfId(number) != m_curPage)
        turnToPage(m_keyValues.pageCount());
    else
        turnToPage(m_curPage);
    sendHardwareTestSuccess(frame.deviceID(), number, name);
}

void HardwareTestCtrl::RX_HardwareTestBrevel(const DataOfFrame &frame)
{
    if (frame.isTeacherCommand()) {
        m_keyValues.setEntry(1, QStringLiteral("Teacher"));
        sendHardwareTestSuccess(frame.deviceID(), 1, QStringLiteral("Teacher"));
        reloadTables();
        return;
    }
    QString text;
    if (frame.cmd() == 0xF7) {
        const int len = frame.dataLen();
        text = len > 6 ? QString::fromUtf8(reinterpret_cast<const char *>(frame.data()) + 6, len - 6) : QString();
    } else if (frame.cmd() == 0xFB) {
        text = QStringLiteral("Rush");
    } else {
        // A student keypad's registration has no place in an id-keyed test.
        PollixLogf("key test: FD frame from keypad %d ignored", frame.deviceID());
        return;
    }
    const int k = frame.deviceID();
    if (!showsId(k))
        return;
    m_keyValues.setEntry(k, text);
    turnToPage(KeyTestList::pageOfId(k));
}

void HardwareTestCtrl::handleDeviceChanged()
{
    device = DeviceController::ShareDeviceController()->currentDeviceOfModel(m_deviceType);
    if (!device) {
        // The channel or key shown came from the receiver that left: the teacher sees it is out.
        teacherKey->setText(QStringLiteral("No Host"));
        return;
    }
    teacherKey->clear();
    if (isSmallFamily()) {
        openReceiveArvel();
    } else {
        // A receiver plugged in again knows nothing of the test: the keypads are put in it again.
        sendGetChannelNo();
        sendPCState(4);
    }
}

// ---- closing --------------------------------------------------------------------------------

void HardwareTestCtrl::doOK()
{
    done(0);
}

void HardwareTestCtrl::done(int result)
{
    // However the window closes, the keypads leave the test: small-family input stops, the
    // large-family keypads are told the PC left the test state.
    if (isSmallFamily())
        closeReceiveArvel();
    else if (m_deviceType >= 2 && m_deviceType <= 4)
        sendPCState(1);
    QDialog::done(result);
}
