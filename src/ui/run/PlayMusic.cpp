#include "PlayMusic.h"

#include "RunTimer.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PPTEditorMSO.h"
#include "platform/SpeechSynthesizer.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

namespace {
// The voices the two choices take, by the engine's list: the third voice, and the first.
constexpr int kFirstChoiceVoice = 2;
constexpr int kSecondChoiceVoice = 0;
} // namespace

PlayMusic::PlayMusic(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("PlayMusic"));
    setWindowTitle(tr("Read Aloud"));
    m_speechSynth = SpeechSynthesizer::create(this);

    auto *root = new QVBoxLayout(this);
    auto *buttons = new QHBoxLayout;
    btnRead = new QPushButton(this);
    btnRead->setObjectName(QStringLiteral("btnRead"));
    btnRead->setIconSize(QSize(32, 32));
    btnRead->setToolTip(tr("Read / Pause"));
    btnStop = new QPushButton(style()->standardIcon(QStyle::SP_MediaStop), QString(), this);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnStop->setIconSize(QSize(32, 32));
    btnStop->setToolTip(tr("Stop"));
    buttons->addWidget(btnRead);
    buttons->addWidget(btnStop);
    root->addLayout(buttons);

    auto *speed = new QHBoxLayout;
    speed->addWidget(new QLabel(tr("Slow"), this));
    slideSpeed = new QSlider(Qt::Horizontal, this);
    slideSpeed->setObjectName(QStringLiteral("slideSpeed"));
    // 100 to 260 words a minute.
    slideSpeed->setRange(-200, 200);
    speed->addWidget(slideSpeed, 1);
    speed->addWidget(new QLabel(tr("Fast"), this));
    root->addLayout(speed);

    auto *roles = new QHBoxLayout;
    roleFirst = new QRadioButton(tr("Voice 1"), this);
    roleFirst->setObjectName(QStringLiteral("roleFirst"));
    roleSecond = new QRadioButton(tr("Voice 2"), this);
    roleSecond->setObjectName(QStringLiteral("roleSecond"));
    roleSecond->setChecked(true);
    roles->addWidget(roleFirst);
    roles->addWidget(roleSecond);
    root->addLayout(roles);

    txtStatus = new QLabel(this);
    txtStatus->setObjectName(QStringLiteral("txtStatus"));
    txtStatus->setWordWrap(true);
    // Room for a failure's three lines from the start, so that its longer text neither pushes the
    // buttons about nor loses its end.
    txtStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtStatus->setMinimumHeight(3 * txtStatus->fontMetrics().lineSpacing());
    root->addWidget(txtStatus);

    if (m_speechSynth) {
        const QStringList voices = m_speechSynth->voices();
        if (kFirstChoiceVoice < voices.size())
            roleFirst->setText(voices[kFirstChoiceVoice]);
        if (kSecondChoiceVoice < voices.size())
            roleSecond->setText(voices[kSecondChoiceVoice]);
        m_speechSynth->setRate(kNormalRate);
        slideSpeed->setValue(qRound((m_speechSynth->rate() - kNormalRate) / kRateStep));
        connect(m_speechSynth.get(), &SpeechSynthesizer::finishedSpeaking, this, &PlayMusic::speechDidFinish);
        connect(m_speechSynth.get(), &SpeechSynthesizer::failed, this, &PlayMusic::speechFailed);
        connect(btnRead, &QPushButton::clicked, this, &PlayMusic::onRead);
        connect(btnStop, &QPushButton::clicked, this, &PlayMusic::onStop);
        connect(slideSpeed, &QSlider::valueChanged, this, &PlayMusic::onChangeSpeed);
        connect(roleFirst, &QRadioButton::toggled, this, [this](bool on) { if (on) onSelectReadRole(); });
        connect(roleSecond, &QRadioButton::toggled, this, [this](bool on) { if (on) onSelectReadRole(); });
        txtStatus->setText(tr("Speech: %1").arg(m_speechSynth->engineName()));
    } else {
        // Nothing can speak: nothing is offered.
        for (QWidget *c : std::initializer_list<QWidget *>{btnRead, btnStop, slideSpeed, roleFirst, roleSecond})
            c->setEnabled(false);
        txtStatus->setText(tr("No speech engine is installed, so questions cannot be read aloud."));
    }
    setState(0);
    adjustSize();
}

PlayMusic::~PlayMusic()
{
    closeSelf();
}

void PlayMusic::setWindowOriginPoint(const QPoint &origin)
{
    move(origin);
}

void PlayMusic::setState(int state)
{
    m_nSpeedState = state;
    const bool speaking = state == 1;
    btnRead->setIcon(style()->standardIcon(speaking ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    btnRead->setProperty("imageName", speaking ? QStringLiteral("playmusic_pause.png") : QStringLiteral("playmusic_start.png"));
    // The voice is chosen before reading starts.
    const bool choose = state == 0 && m_speechSynth;
    roleFirst->setEnabled(choose);
    roleSecond->setEnabled(choose);
}

void PlayMusic::onRead()
{
    if (!m_speechSynth)
        return;
    NotificationCenter::defaultCenter()->postNotification(Notify::GetReadContent, {}, this);
    switch (m_nSpeedState) {
    case 0:
        txtStatus->setText(tr("Speech: %1").arg(m_speechSynth->engineName()));
        setState(1);
        m_speechSynth->say(m_strReadContent);
        break;
    case 1:
        m_speechSynth->pause();
        setState(2);
        break;
    default:
        m_speechSynth->resume();
        setState(1);
        break;
    }
    afterAction();
}

void PlayMusic::onStop()
{
    if (m_speechSynth)
        m_speechSynth->stop();
    m_rateChangePending = false;
    setState(0);
    afterAction();
}

double PlayMusic::sliderRate() const
{
    return slideSpeed->value() * kRateStep + kNormalRate;
}

void PlayMusic::onChangeSpeed()
{
    if (!m_speechSynth)
        return;
    m_speechSynth->setRate(sliderRate());
    if (m_nSpeedState == 1 && !m_rateChangePending) {
        // The engine takes a new speed from the next sentence: pause, then go on at it.
        m_rateChangePending = true;
        m_speechSynth->pause();
        RunTimer::after(kRateChangePauseMs, this, [this] {
            if (!m_rateChangePending)
                return;
            m_rateChangePending = false;
            if (m_nSpeedState == 1)
                m_speechSynth->resume();
        });
    }
    afterAction();
}

void PlayMusic::onSelectReadRole()
{
    if (!m_speechSynth)
        return;
    // A choice whose voice the engine lacks reads with the engine's default voice.
    m_speechSynth->setVoice(roleFirst->isChecked() ? kFirstChoiceVoice : kSecondChoiceVoice);
    afterAction();
}

void PlayMusic::speechDidFinish()
{
    m_rateChangePending = false;
    setState(0);
}

void PlayMusic::speechFailed(const QString &reason)
{
    m_rateChangePending = false;
    setState(0);
    txtStatus->setText(tr("The question could not be read aloud: %1").arg(reason));
}

void PlayMusic::afterAction()
{
    // A slide show on the screen comes back to the front, on the slide it was showing.
    PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
    if (ppt->isShowRunning())
        ppt->setPPT(-1);
}

void PlayMusic::closeSelf()
{
    if (m_speechSynth && m_nSpeedState != 0)
        m_speechSynth->stop();
    m_rateChangePending = false;
    m_nSpeedState = 0;
    m_strReadContent.clear();
}

void PlayMusic::closeEvent(QCloseEvent *event)
{
    closeSelf();
    setState(0);
    event->accept();
}
