#include "SystemSettingCtrl.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/store/SoundFile.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/FileDialogs.h"
#include "ui/keypad/SendQueCtrl.h"
#include "ui/controls/PollixAlert.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kEnter = QStringLiteral("Enter Activity");
const QString kStart = QStringLiteral("Start Answer");
const QString kStop = QStringLiteral("Stop Answer");
} // namespace

SystemSettingCtrl::Hooks &SystemSettingCtrl::hooks()
{
    static Hooks h;
    return h;
}

SystemSettingCtrl::SystemSettingCtrl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SystemSetting"));
    setWindowTitle(tr("System Setup"));
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    deviceType = appDelegate ? appDelegate->currentDeviceType() : -1;

    auto *sounds = new QGroupBox(tr("Sounds"), this);
    auto *grid = new QGridLayout(sounds);
    const auto row = [&](int r, const QString &label, const char *check, const char *text, const char *button,
                         QCheckBox *&c, QLineEdit *&t, QPushButton *&b) {
        c = new QCheckBox(label, sounds);
        c->setObjectName(QString::fromLatin1(check));
        t = new QLineEdit(sounds);
        t->setObjectName(QString::fromLatin1(text));
        t->setMinimumWidth(280);
        b = new QPushButton(tr("Browse..."), sounds);
        b->setObjectName(QString::fromLatin1(button));
        grid->addWidget(c, r, 0);
        grid->addWidget(t, r, 1);
        grid->addWidget(b, r, 2);
    };
    row(0, tr("Enter Activity"), "checkEnter", "textEnter", "browseEnter", checkEnter, textEnter, browseEnter);
    row(1, tr("Start Answer"), "checkStart", "textStart", "browseStart", checkStart, textStart, browseStart);
    row(2, tr("Stop Answer"), "checkStop", "textStop", "browseStop", checkStop, textStop, browseStop);

    auto *mouse = new QGroupBox(tr("Keypad Mouse"), this);
    auto *mouseLayout = new QHBoxLayout(mouse);
    slideSpeed = new QSlider(Qt::Horizontal, mouse);
    slideSpeed->setObjectName(QStringLiteral("slideSpeed"));
    mouseLayout->addWidget(new QLabel(tr("Slow"), mouse));
    mouseLayout->addWidget(slideSpeed, 1);
    mouseLayout->addWidget(new QLabel(tr("Fast"), mouse));

    browseSendQuestion = new QPushButton(tr("Send Question Setting..."), this);
    browseSendQuestion->setObjectName(QStringLiteral("browseSendQuestion"));
    auto *save = new QPushButton(tr("Save"), this);
    save->setObjectName(QStringLiteral("btnSave"));
    save->setDefault(true);
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(browseSendQuestion);
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(save);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sounds);
    layout->addWidget(mouse);
    layout->addLayout(buttons);

    connect(checkEnter, &QCheckBox::clicked, this, &SystemSettingCtrl::doCheckEnter);
    connect(checkStart, &QCheckBox::clicked, this, &SystemSettingCtrl::doCheckStart);
    connect(checkStop, &QCheckBox::clicked, this, &SystemSettingCtrl::doCheckStop);
    connect(browseEnter, &QPushButton::clicked, this, &SystemSettingCtrl::doBrowseEnter);
    connect(browseStart, &QPushButton::clicked, this, &SystemSettingCtrl::doBrowseStart);
    connect(browseStop, &QPushButton::clicked, this, &SystemSettingCtrl::doBrowseStop);
    connect(browseSendQuestion, &QPushButton::clicked, this, &SystemSettingCtrl::doSendQue);
    connect(save, &QPushButton::clicked, this, &SystemSettingCtrl::doSave);
    connect(close, &QPushButton::clicked, this, &SystemSettingCtrl::doClose);

    // Set-up from the stored values.
    loadAudio();
    doCheckEnter();
    doCheckStart();
    doCheckStop();
    if (deviceType == 1 || deviceType == 2 || deviceType == 4) {
        browseSendQuestion->setEnabled(false);
        browseSendQuestion->setVisible(false);
    }
    if (deviceType == 1)
        slideSpeed->setEnabled(false);
    // The slider takes every stored speed as it is (0 stops the keypad mouse), so that saving the
    // sounds never changes the speed unasked.
    const int speed = TovConfigXmlDatabase::sharedConfigUI()->getMouseValue();
    slideSpeed->setRange(std::min(0, speed), std::max(100, speed));
    slideSpeed->setValue(speed);
    m_stored = shown();
    m_hold = new EditHold(
        this, [this] { return shown() != m_stored; },
        [this] {
            return EditHold::askSave(this, QStringLiteral("Pollix ARS"), tr("Do you want to save the change ?"),
                                     {tr("Yes"), tr("No"), tr("Cancel")}, [this] { return doSave(); });
        });
}

QStringList SystemSettingCtrl::shown() const
{
    QStringList values;
    for (const auto &[check, text] : {std::pair{checkEnter, textEnter}, {checkStart, textStart}, {checkStop, textStop}})
        values << text->text() << QString::number(check->isChecked());
    values << QString::number(slideSpeed->value());
    return values;
}

void SystemSettingCtrl::loadAudio()
{
    for (const AudioConfigEntity &music : TovConfigXmlDatabase::sharedConfigUI()->audioList()) {
        QCheckBox *check = nullptr;
        QLineEdit *text = nullptr;
        if (music.name() == kEnter)
            check = checkEnter, text = textEnter;
        else if (music.name() == kStart)
            check = checkStart, text = textStart;
        else if (music.name() == kStop)
            check = checkStop, text = textStop;
        else
            continue;
        text->setText(music.path());
        check->setChecked(music.state() == 1);
    }
}

void SystemSettingCtrl::doCheckEnter() { browseEnter->setEnabled(checkEnter->isChecked()); }
void SystemSettingCtrl::doCheckStart() { browseStart->setEnabled(checkStart->isChecked()); }
void SystemSettingCtrl::doCheckStop() { browseStop->setEnabled(checkStop->isChecked()); }

void SystemSettingCtrl::browse(QLineEdit *field)
{
    // The sounds that come with the program live in the application folder.
    const QString dir = appDelegate ? appDelegate->strPollixFilePath() : QString();
    const QString path = FileDialogs::getOpenFileName(this, tr("Choose a Sound"), FileDialogs::Kind::Sounds,
                                                      tr("Sounds (*.wav *.WAV *.mp3 *.MP3)"), dir);
    if (!path.isEmpty())
        field->setText(path);
}

void SystemSettingCtrl::doBrowseEnter() { browse(textEnter); }
void SystemSettingCtrl::doBrowseStart() { browse(textStart); }
void SystemSettingCtrl::doBrowseStop() { browse(textStop); }

bool SystemSettingCtrl::doSave()
{
    TovConfigXmlDatabase *config = TovConfigXmlDatabase::sharedConfigUI();
    const QList<std::tuple<QString, QLineEdit *, QCheckBox *>> sounds{
        {kEnter, textEnter, checkEnter}, {kStart, textStart, checkStart}, {kStop, textStop, checkStop}};
    // A sound switched on must play; one switched off keeps whatever path it has.
    for (const auto &[name, text, check] : sounds) {
        if (!check->isChecked())
            continue;
        if (const QString why = SoundFile::whyNotPlayable(text->text()); !why.isEmpty()) {
            PollixAlert::show(this, QStringLiteral("Pollix ARS"), tr("The settings could not be saved."), {tr("OK")},
                              tr("%1: %2.").arg(name, why));
            text->setFocus();
            text->selectAll();
            return false;
        }
    }
    bool saved = true;
    QString why;
    for (const auto &[name, text, check] : sounds) {
        AudioConfigEntity music;
        music.setName(name);
        music.setPath(text->text());
        music.setState(check->isChecked() ? 1 : 0);
        saved = config->updateMusic(music, &why) && saved;
    }
    saved = config->updateMouseSettionValue(slideSpeed->value(), &why) && saved;
    if (hooks().setMouseSpeed)
        hooks().setMouseSpeed(slideSpeed->value());
    if (!saved) {
        PollixAlert::show(this, QStringLiteral("Pollix ARS"), tr("The settings could not be saved."), {tr("OK")}, why);
        return false;
    }
    m_stored = shown();
    PollixAlert::show(this, QStringLiteral("Pollix ARS"), tr("Successfully Saved."));
    return true;
}

void SystemSettingCtrl::doSendQue()
{
    if (hooks().runSendQue) {
        hooks().runSendQue(this);
    } else {
        SendQueCtrl dialog(this);
        if (appDelegate)
            appDelegate->setObjectToReceiveCommData(&dialog);
        dialog.exec();
    }
    // The keypads go back to the main window (it takes them again once this page closes).
    if (appDelegate && parentWidget())
        appDelegate->setObjectToReceiveCommData(parentWidget());
}

void SystemSettingCtrl::doClose()
{
    m_hold->leave(0);
}
