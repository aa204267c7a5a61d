#include "SetChannelCtrl.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/LinkTiming.h"
#include "core/keypad/SetupFrames.h"
#include "core/keypad/TovDevice.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/MyEnterFormatter.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ProposedText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Pollix ARS");

void alert(QWidget *parent, const QString &text)
{
    PollixAlert::show(parent, kTitle, text);
}

} // namespace

QString SetChannelCtrl::receiverDidNotAnswerText()
{
    return QStringLiteral("The receiver did not answer. Please check that it is plugged in and try again.");
}

SetChannelCtrl::SetChannelCtrl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetChannel"));
    setWindowTitle(tr("Channel Setup"));
    channelNo = new QLineEdit(this);
    channelNo->setObjectName(QStringLiteral("channelNo"));
    channelNo->setAlignment(Qt::AlignRight);
    channelNo->setFixedWidth(channelNo->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    channelConfine = new QLabel(this);
    channelConfine->setObjectName(QStringLiteral("channelConfine"));
    // Room for the range, so the field does not move when it is shown.
    channelConfine->setMinimumWidth(channelConfine->fontMetrics().horizontalAdvance(QStringLiteral("(0-39)")) + 4);
    btnSend = new QPushButton(tr("Send"), this);
    btnSend->setObjectName(QStringLiteral("btnSend"));
    btnSend->setDefault(true);
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Channel:"), this));
    row->addWidget(channelNo);
    row->addWidget(channelConfine);
    row->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClose);
    buttons->addWidget(btnSend);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(300);

    connect(btnSend, &QPushButton::clicked, this, &SetChannelCtrl::doSend);
    connect(btnClose, &QPushButton::clicked, this, &SetChannelCtrl::doClose);
    connect(channelNo, &QLineEdit::textChanged, this, &SetChannelCtrl::controlTextDidChange);

    m_answerTimer.setSingleShot(true);
    connect(&m_answerTimer, &QTimer::timeout, this, [this] {
        PollixLog(QStringLiteral("set channel: no answer from the receiver"));
        alert(this, receiverDidNotAnswerText());
    });

    NotificationCenter::defaultCenter()->addObserver(this, Notify::DeviceChanged,
                                                     [this](const Notification &) { handleDeviceChanged(); });
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        device = app->currentDevice();
    awakeFromNib();
}

SetChannelCtrl::~SetChannelCtrl()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void SetChannelCtrl::awakeFromNib()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const int type = app ? app->currentDeviceType() : -1;
    MyEnterFormatter *formatter = limitTextField(channelNo, 2);
    formatter->setNumberFormater();
    if (isChannelModel(type)) {
        channelConfine->setText(QStringLiteral("0-39"));
        formatter->setMaxNum(SetupFrames::kMaxLargeChannel);
    }
    // The field shows the receiver's channel (once it answers), for the teacher to type over.
    ProposedText::propose(channelNo, QStringLiteral("0"));
    sendGetChannelNo();
}

void SetChannelCtrl::controlTextDidChange()
{
    btnSend->setEnabled(!channelNo->text().isEmpty());
}

void SetChannelCtrl::doSend()
{
    const int v = TextFormatter::leadingInteger(channelNo->text());
    if (!device || !isChannelModel(device->type())) {
        alert(this, QStringLiteral("No Host"));
        return;
    }
    if (v > SetupFrames::kMaxLargeChannel) {
        alert(this, QStringLiteral("The channel number should be an integer between 0 and 39"));
        channelNo->setText(QString::number(SetupFrames::kMaxLargeChannel));
        return;
    }
    sendSetChannelNo(v);
}

void SetChannelCtrl::doClose()
{
    close();
}

void SetChannelCtrl::done(int result)
{
    // Closing by any means ends the session with 0 and forgets a request under way.
    m_answerTimer.stop();
    QDialog::done(result);
}

bool SetChannelCtrl::sendExpectingAnswer(const QByteArray &frame)
{
    if (!device || frame.isEmpty())
        return false;
    if (!device->sendData(frame)) {
        alert(this, receiverDidNotAnswerText());
        return false;
    }
    m_answerTimer.start(LinkTiming::current().setupAnswerMs);
    return true;
}

void SetChannelCtrl::sendGetChannelNo()
{
    sendExpectingAnswer(SetupFrames::getChannel());
}

void SetChannelCtrl::sendSetChannelNo(int channel)
{
    if (sendExpectingAnswer(SetupFrames::setChannel(channel)))
        m_channelSent = channel;
}

void SetChannelCtrl::handleMachMessage()
{
    handleDataReceive();
}

void SetChannelCtrl::handleDataReceive()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (!app)
        return;
    const DataOfFrame frame = app->takeFrameToHandle();
    if (const int set = SetupFrames::channelSetAnswer(frame); set >= 0) {
        m_answerTimer.stop();
        // Success is the channel asked for: the field may have been edited since Send.
        if (set == m_channelSent) {
            alert(this, QStringLiteral("Channel setup successful."));
        } else {
            PollixLogf("set channel: the receiver answered channel %d, not %d", set, m_channelSent);
            ProposedText::propose(channelNo, QString::number(set));
        }
        m_channelSent = -1;
        checkChannels();
    } else if (const int current = SetupFrames::channelAnswer(frame); current >= 0) {
        m_answerTimer.stop();
        // A channel the teacher typed since the receiver was asked stays: its answer came late.
        if (!channelNo->isModified())
            ProposedText::propose(channelNo, QString::number(current));
    }
}

void SetChannelCtrl::checkChannels()
{
    QPointer<SetChannelCtrl> self(this);
    DeviceController::ShareDeviceController()->checkChannelsOfCurrent([self](bool conflict) {
        if (self && conflict) {
            alert(self, QStringLiteral("Two main receivers have the same channel, please change the channel number "
                                       "for any one of them."));
        }
    });
}

void SetChannelCtrl::handleDeviceChanged()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    device = app ? app->currentDevice() : nullptr;
    m_answerTimer.stop();
    m_channelSent = -1;
    if (!device) {
        // Pulled out: a channel the teacher typed stays in view while there is no receiver to
        // ask; an untyped field shows 0 rather than the channel of a receiver gone.
        if (!channelNo->isModified())
            ProposedText::propose(channelNo, QStringLiteral("0"));
        return;
    }
    if (isChannelModel(device->type())) {
        // The receiver plugged in is asked afresh, and its channel shows over what was typed
        // before it came (what is typed while its answer is on the way stays).
        channelNo->setModified(false);
        sendGetChannelNo();
    }
}
