#include "DeviceSettingCtrl.h"

#include "DeviceSettingLight.h"
#include "HardwareTestCtrl.h"
#include "SetChannelCtrl.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/LinkTiming.h"
#include "core/keypad/SetupFrames.h"
#include "core/keypad/TovDevice.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/LoginController.h"
#include "ui/controls/MyEnterFormatter.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ProposedText.h"
#include "ui/controls/Stepper.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Pollix ARS");

void alert(QWidget *parent, const QString &text)
{
    PollixAlert::show(parent, kTitle, text);
}

QLineEdit *numberField(QWidget *parent, const char *name, int maxLength)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QString(maxLength + 1, QLatin1Char('0'))) + 16);
    limitTextField(field, maxLength)->setNumberFormater();
    return field;
}

QPushButton *button(QWidget *parent, const QString &title, const char *name)
{
    auto *b = new QPushButton(title, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

DeviceSettingCtrl::Hooks &DeviceSettingCtrl::hooks()
{
    static Hooks h;
    return h;
}

DeviceSettingCtrl::DeviceSettingCtrl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DeviceSettingCtrl"));
    setWindowTitle(tr("Keypad and Receiver Settings"));
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        m_nDeviceType = app->currentDeviceType();
    device = DeviceController::ShareDeviceController()->currentDeviceOfModel(m_nDeviceType);
    m_answerTimer.setSingleShot(true);
    connect(&m_answerTimer, &QTimer::timeout, this, [this] {
        PollixLog(QStringLiteral("keypad settings: no answer from the receiver"));
        alert(this, SetChannelCtrl::receiverDidNotAnswerText());
    });
    buildInterface();
    NotificationCenter::defaultCenter()->addObserver(this, Notify::DeviceChanged,
                                                     [this](const Notification &) { handleDeviceChanged(); });
    awakeFromNib();
}

DeviceSettingCtrl::~DeviceSettingCtrl()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void DeviceSettingCtrl::buildInterface()
{
    tabview = new QTabWidget(this);
    tabview->setObjectName(QStringLiteral("tabview"));

    // Student id page.
    auto *studentPage = new QWidget(tabview);
    studentDeviceID = numberField(studentPage, "studentDeviceID", 3);
    studentDeviceID->setText(QStringLiteral("0"));
    Stepper **steppers[] = {&stepper1, &stepper2, &stepper3};
    const int increments[] = {100, 10, 1};
    auto *stepRow = new QHBoxLayout;
    stepRow->setSpacing(10);
    for (int i = 0; i < 3; ++i) {
        auto *s = new Stepper(studentPage);
        s->setObjectName(QStringLiteral("stepper%1").arg(i + 1));
        s->setRange(0, SetupFrames::kMaxKeypadId);
        s->setIncrement(increments[i]);
        connect(s, &Stepper::valueChanged, this, &DeviceSettingCtrl::stepperChanged);
        *steppers[i] = s;
        auto *cell = new QVBoxLayout;
        cell->setSpacing(2);
        cell->addWidget(s, 0, Qt::AlignHCenter);
        auto *caption = new QLabel(QString::number(increments[i]), studentPage);
        caption->setAlignment(Qt::AlignHCenter);
        cell->addWidget(caption);
        stepRow->addLayout(cell);
    }
    lightStudent = new DeviceSettingLight(studentPage);
    lightStudent->setObjectName(QStringLiteral("lightStudent"));
    btnSetStudentID = button(studentPage, tr("Set"), "btnSetStudentID");
    btnTestStudentID = button(studentPage, tr("Test..."), "btnTestStudentID");
    auto *studentGrid = new QGridLayout;
    studentGrid->addWidget(new QLabel(tr("Student ID (1-400):"), studentPage), 0, 0);
    studentGrid->addWidget(studentDeviceID, 0, 1);
    studentGrid->addLayout(stepRow, 0, 2);
    studentGrid->addWidget(lightStudent, 0, 3);
    studentGrid->setColumnStretch(4, 1);
    auto *studentButtons = new QHBoxLayout;
    studentButtons->addStretch();
    studentButtons->addWidget(btnTestStudentID);
    studentButtons->addWidget(btnSetStudentID);
    auto *studentLayout = new QVBoxLayout(studentPage);
    auto *studentHelp = new QLabel(tr("Put the keypad into ID setting mode, enter its new ID and click Set. "
                                      "The lamp turns green once the keypad has taken the ID."),
                                   studentPage);
    studentHelp->setWordWrap(true);
    studentLayout->addWidget(studentHelp);
    studentLayout->addLayout(studentGrid);
    studentLayout->addStretch();
    studentLayout->addLayout(studentButtons);
    tabview->addTab(studentPage, tr("Student ID"));

    // Teacher id page (Arvel).
    auto *teacherPage = new QWidget(tabview);
    lightTeacher = new DeviceSettingLight(teacherPage);
    lightTeacher->setObjectName(QStringLiteral("lightTeacher"));
    btnSetTeacherID = button(teacherPage, tr("Set Teacher ID"), "btnSetTeacherID");
    auto *teacherHelp = new QLabel(tr("Put the keypad into ID setting mode and click Set Teacher ID to make it "
                                      "the teacher keypad. The lamp turns green once the keypad has taken it."),
                                   teacherPage);
    teacherHelp->setWordWrap(true);
    auto *teacherRow = new QHBoxLayout;
    teacherRow->addWidget(lightTeacher);
    teacherRow->addStretch();
    teacherRow->addWidget(btnSetTeacherID);
    auto *teacherLayout = new QVBoxLayout(teacherPage);
    teacherLayout->addWidget(teacherHelp);
    teacherLayout->addStretch();
    teacherLayout->addLayout(teacherRow);
    tabview->addTab(teacherPage, tr("Teacher ID"));

    // Channel page.
    auto *channelPage = new QWidget(tabview);
    textChannelNo = numberField(channelPage, "textChannelNo", 2);
    channelRange = new QLabel(channelPage);
    channelRange->setObjectName(QStringLiteral("channelRange"));
    btnSetChannelNo = button(channelPage, tr("Set Channel"), "btnSetChannelNo");
    auto *channelRow = new QHBoxLayout;
    channelRow->addWidget(new QLabel(tr("Channel:"), channelPage));
    channelRow->addWidget(textChannelNo);
    channelRow->addWidget(channelRange);
    channelRow->addStretch();
    channelRow->addWidget(btnSetChannelNo);
    bandBox = new QGroupBox(tr("Band"), channelPage);
    bandBox->setObjectName(QStringLiteral("bandBox"));
    textBand = numberField(bandBox, "textBand", 1);
    btnSetBand = button(bandBox, tr("Set Band"), "btnSetBand");
    auto *bandRow = new QHBoxLayout(bandBox);
    bandRow->addWidget(new QLabel(tr("Band:"), bandBox));
    bandRow->addWidget(textBand);
    bandRow->addWidget(new QLabel(QStringLiteral("(0-3)"), bandBox));
    bandRow->addStretch();
    bandRow->addWidget(btnSetBand);
    auto *channelLayout = new QVBoxLayout(channelPage);
    channelLayout->addLayout(channelRow);
    channelLayout->addWidget(bandBox);
    channelLayout->addStretch();
    tabview->addTab(channelPage, tr("Channel"));

    btnClose = button(this, tr("Close"), "btnClose");
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabview);
    layout->addLayout(bottom);
    resize(460, 260);

    connect(btnSetStudentID, &QPushButton::clicked, this, &DeviceSettingCtrl::doSetStudentID);
    connect(btnTestStudentID, &QPushButton::clicked, this, &DeviceSettingCtrl::doTestStudentID);
    connect(btnSetTeacherID, &QPushButton::clicked, this, &DeviceSettingCtrl::doSetTeacherID);
    connect(btnSetChannelNo, &QPushButton::clicked, this, &DeviceSettingCtrl::doSetChannelNo);
    connect(btnSetBand, &QPushButton::clicked, this, &DeviceSettingCtrl::doSetBand);
    connect(btnClose, &QPushButton::clicked, this, &DeviceSettingCtrl::doClose);
    connect(studentDeviceID, &QLineEdit::textEdited, this, &DeviceSettingCtrl::studentIdTextDidChange);
    connect(textChannelNo, &QLineEdit::textEdited, this, &DeviceSettingCtrl::channelTextDidChange);
    connect(textBand, &QLineEdit::textEdited, this, &DeviceSettingCtrl::bandTextDidChange);
}

void DeviceSettingCtrl::awakeFromNib()
{
    if (isBrevel()) {
        tabview->removeTab(1);
        bandBox->setVisible(false);
    }
    // The channel and band show what the receiver answers (or 0 where an Arvel has none to ask),
    // once the channel page is chosen: nothing before.
    channelRange->setText(QStringLiteral("(0-%1)").arg(maxChannel()));
    // An Envel receiver takes only the teacher id and the band from here.
    const bool idsAndChannel = isArvel() || isBrevel();
    btnSetStudentID->setEnabled(idsAndChannel);
    btnSetChannelNo->setEnabled(idsAndChannel);
    m_lastTab = tabview->currentIndex();
    connect(tabview, &QTabWidget::currentChanged, this, &DeviceSettingCtrl::tabChanged);
}

int DeviceSettingCtrl::channelPageIndex() const
{
    return isBrevel() ? 1 : 2;
}

int DeviceSettingCtrl::maxChannel() const
{
    return isBrevel() ? SetupFrames::kMaxLargeChannel : SetupFrames::kMaxArvelChannel;
}

// ---- pages ----------------------------------------------------------------------------------

void DeviceSettingCtrl::tabChanged(int index)
{
    if (m_revertingTab)
        return;
    if (!tabViewShouldSelect(index)) {
        m_revertingTab = true;
        tabview->setCurrentIndex(m_lastTab);
        m_revertingTab = false;
        return;
    }
    m_lastTab = index;
    tabViewDidSelect(index);
}

bool DeviceSettingCtrl::tabViewShouldSelect(int index)
{
    if (index != channelPageIndex())
        return true;
    // The receiver's channel is kept from students: a login each time.
    if (hooks().runLogin)
        return hooks().runLogin(this);
    LoginController login(this);
    login.exec();
    return LoginController::isLogin();
}

void DeviceSettingCtrl::tabViewDidSelect(int index)
{
    m_answerTimer.stop();
    if (index == channelPageIndex()) {
        m_curState = 2;
        askReceiverValues(true);
        // The channel shown is proposed for typing over, as in Set Channel: the next digit
        // replaces it rather than joining it.
        textChannelNo->setFocus(Qt::OtherFocusReason);
        textChannelNo->selectAll();
    } else {
        m_curState = index; // 0 student id, 1 teacher id (Arvel)
    }
}

// ---- typing ---------------------------------------------------------------------------------

void DeviceSettingCtrl::showStudentId(int id)
{
    studentDeviceID->setText(QString::number(id));
    for (Stepper *s : {stepper1, stepper2, stepper3})
        s->setValue(id);
}

void DeviceSettingCtrl::studentIdTextDidChange()
{
    const QString text = studentDeviceID->text();
    int value = TextFormatter::leadingInteger(text);
    if (value > SetupFrames::kMaxKeypadId)
        value = SetupFrames::kMaxKeypadId;
    m_deviceID = value;
    showStudentId(value);
    // 0, or three digits: the next digit typed starts a new id.
    if (value == 0 || text.size() > 2)
        studentDeviceID->selectAll();
}

void DeviceSettingCtrl::stepperChanged(int value)
{
    m_deviceID = value;
    showStudentId(value);
}

void DeviceSettingCtrl::channelTextDidChange()
{
    const QString text = textChannelNo->text();
    m_channelNo = TextFormatter::leadingInteger(text);
    m_channelTyped = true;
    if (m_channelNo > maxChannel()) {
        alert(this, QStringLiteral("Channel number must be between %1 and %2").arg(0).arg(maxChannel()));
        m_channelNo = 0;
    }
    textChannelNo->setText(QString::number(m_channelNo));
    if (m_channelNo == 0 || text.size() > 1)
        textChannelNo->selectAll();
}

void DeviceSettingCtrl::bandTextDidChange()
{
    m_band = TextFormatter::leadingInteger(textBand->text());
    m_bandTyped = true;
    if (m_band > SetupFrames::kMaxBand) {
        alert(this, QStringLiteral("Band number must be between %1 and %2").arg(0).arg(SetupFrames::kMaxBand));
        m_band = 0;
    }
    textBand->setText(QString::number(m_band));
    textBand->selectAll();
}

// ---- buttons --------------------------------------------------------------------------------

bool DeviceSettingCtrl::sendFrame(const QByteArray &frame)
{
    if (!device || frame.isEmpty())
        return false;
    return device->sendData(frame);
}

bool DeviceSettingCtrl::sendExpectingAnswer(const QByteArray &frame)
{
    if (!device || frame.isEmpty())
        return false;
    if (!device->sendData(frame)) {
        alert(this, SetChannelCtrl::receiverDidNotAnswerText());
        return false;
    }
    m_answerTimer.start(LinkTiming::current().setupAnswerMs);
    return true;
}

void DeviceSettingCtrl::answered()
{
    m_answerTimer.stop();
}

void DeviceSettingCtrl::doSetStudentID()
{
    m_deviceID = TextFormatter::leadingInteger(studentDeviceID->text());
    if (m_deviceID < 1 || m_deviceID > SetupFrames::kMaxKeypadId) {
        alert(this, QStringLiteral("ID must be between %1 and %2.").arg(1).arg(SetupFrames::kMaxKeypadId));
        return;
    }
    if (!device) {
        alert(this, QStringLiteral("No Host"));
        return;
    }
    bool sent = false;
    if (isArvel())
        sent = sendFrame(SetupFrames::arvelStudentId(m_deviceID));
    else if (isBrevel())
        sent = sendFrame(SetupFrames::brevelStudentId(m_deviceID, quint16(QRandomGenerator::global()->bounded(0x10000))));
    if (sent)
        lightStudent->setRed();
}

void DeviceSettingCtrl::doSetTeacherID()
{
    if (!device) {
        alert(this, QStringLiteral("No Host"));
        return;
    }
    if (sendFrame(SetupFrames::arvelTeacherId()))
        lightTeacher->setRed();
}

void DeviceSettingCtrl::doTestStudentID()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (hooks().runHardwareTest) {
        hooks().runHardwareTest(this);
    } else {
        HardwareTestCtrl test(this);
        test.setMode(0);
        if (app)
            app->setObjectToReceiveCommData(&test);
        test.exec();
    }
    if (app)
        app->setObjectToReceiveCommData(this);
}

void DeviceSettingCtrl::doSetChannelNo()
{
    if (!device) {
        alert(this, QStringLiteral("No Host"));
        return;
    }
    m_channelNo = TextFormatter::leadingInteger(textChannelNo->text());
    if (isArvel()) {
        if (sendExpectingAnswer(SetupFrames::arvelSetChannel(m_channelNo)))
            m_channelSetState = 1;
    } else if (isBrevel()) {
        if (sendExpectingAnswer(SetupFrames::setChannel(m_channelNo)))
            m_channelSent = m_channelNo;
    }
}

void DeviceSettingCtrl::doSetBand()
{
    if (!device) {
        alert(this, QStringLiteral("No Host"));
        return;
    }
    m_band = TextFormatter::leadingInteger(textBand->text());
    if (!sendFrame(SetupFrames::arvelSetBand(m_band)))
        return;
    m_bandSet = m_band;
    if (!isArvel())
        return;
    // The receiver does not answer the write; reading the band back tells whether it took it.
    QTimer::singleShot(100, this, [this] {
        sendGetBand();
        m_channelSetState = 3;
    });
}

void DeviceSettingCtrl::doClose()
{
    done(0);
}

void DeviceSettingCtrl::done(int result)
{
    m_answerTimer.stop();
    QDialog::done(result);
}

void DeviceSettingCtrl::sendGetChannelNo()
{
    if (sendExpectingAnswer(SetupFrames::arvelGetChannel()))
        m_channelSetState = 0;
}

void DeviceSettingCtrl::sendGetChannelNoBrevel()
{
    if (sendExpectingAnswer(SetupFrames::getChannel()))
        m_channelSetState = 0;
}

void DeviceSettingCtrl::sendGetBand()
{
    if (sendExpectingAnswer(SetupFrames::arvelGetBand()))
        m_channelSetState = 2;
}

void DeviceSettingCtrl::openReceiveArvel()
{
    sendFrame(SetupFrames::receiverOn());
}

void DeviceSettingCtrl::closeReceiveArvel()
{
    sendFrame(SetupFrames::arvelStopInput());
}

// ---- frames ---------------------------------------------------------------------------------

void DeviceSettingCtrl::handleMachMessage()
{
    handleDataReceive();
}

void DeviceSettingCtrl::handleDataReceive()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (!app)
        return;
    const DataOfFrame frame = app->takeFrameToHandle();
    if (frame.isNull())
        return;
    if (isArvel() && frame.type() == 0) {
        if (m_curState == 0 && SetupFrames::isArvelIdConfirmation(frame, m_deviceID))
            lightStudent->setGreen();
        else if (m_curState == 1 && SetupFrames::isArvelTeacherIdConfirmation(frame))
            lightTeacher->setGreen();
        else if (m_curState == 2)
            handleChannelSetReceive(frame);
    } else if (isBrevel() && frame.type() == 1) {
        if (SetupFrames::isBrevelIdConfirmation(frame, m_deviceID)) {
            lightStudent->setGreen();
        } else if (const int channel = SetupFrames::channelAnswer(frame); channel >= 0) {
            answered();
            showReceiverValues(channel, -1);
        } else if (const int set = SetupFrames::channelSetAnswer(frame); set >= 0) {
            answered();
            if (set == m_channelSent)
                alert(this, QStringLiteral("Channel setup successful."));
            else
                textChannelNo->setText(QString::number(set));
            m_channelSent = -1;
        }
    }
}

void DeviceSettingCtrl::handleChannelSetReceive(const DataOfFrame &frame)
{
    switch (m_channelSetState) {
    case 0:
        if (const int channel = SetupFrames::arvelChannelAnswer(frame); channel >= 0) {
            answered();
            showReceiverValues(channel, -1);
            sendGetBand();
        }
        break;
    case 1:
        if (SetupFrames::isArvelChannelSetAnswer(frame)) {
            answered();
            alert(this, QStringLiteral("Channel setup successful."));
        }
        break;
    case 2:
    case 3:
        if (const int band = SetupFrames::arvelBandAnswer(frame); band >= 0) {
            answered();
            if (m_channelSetState == 3) {
                // The read-back of a band set: what the receiver took, typed or not.
                m_band = band;
                textBand->setText(QString::number(band));
            } else {
                showReceiverValues(-1, band);
            }
            if (m_channelSetState == 3 && band == m_bandSet)
                alert(this, QStringLiteral("Band setup successful."));
            m_bandSet = -1;
        }
        break;
    default:
        break;
    }
}

void DeviceSettingCtrl::showReceiverValues(int channel, int band)
{
    if (channel >= 0 && !m_channelTyped) {
        m_channelNo = channel;
        ProposedText::propose(textChannelNo, QString::number(channel));
    }
    if (band >= 0 && !m_bandTyped) {
        m_band = band;
        textBand->setText(QString::number(band));
        textBand->selectAll(); // one digit: the next one typed replaces it
    }
}

void DeviceSettingCtrl::askReceiverValues(bool pageChosen)
{
    if (device && (isArvel() || isBrevel())) {
        // Asked afresh, the receiver's answer shows over what was typed before; only what the
        // teacher types while it is on its way stays.
        m_channelTyped = false;
        m_bandTyped = false;
        if (isArvel())
            sendGetChannelNo();
        else
            sendGetChannelNoBrevel();
    } else if (pageChosen && !isArvel()) {
        // A Brevel's channel, and an Envel's, is known only from its receiver: without one the
        // page keeps what it shows, rather than a 0 that is no receiver's.
    } else {
        // Nothing to ask: 0, except where the teacher typed. A value typed while the receiver is
        // out is the one to set on the receiver that comes; 0 written over it lost it, and Set
        // Channel then set channel 0.
        showReceiverValues(0, 0);
    }
}

void DeviceSettingCtrl::handleDeviceChanged()
{
    device = DeviceController::ShareDeviceController()->currentDeviceOfModel(m_nDeviceType);
    m_answerTimer.stop();
    // A set under way was lost with the receiver; its answer would not come.
    m_channelSent = -1;
    m_bandSet = -1;
    if (m_curState == 2)
        askReceiverValues(false);
}
