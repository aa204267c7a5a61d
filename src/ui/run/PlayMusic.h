#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class SpeechSynthesizer;

// The read-aloud window ("PlayMusic"): speaks the current question and its options, with play,
// pause, resume, stop, a speed slider and a choice of two voices. Before it speaks it posts
// "GetReadContent" (object: this window) and expects setStrContent() before the post returns.
// Without a speech engine the window says so and offers nothing to press.
class PlayMusic : public QWidget
{
    Q_OBJECT
public:
    // Speeds in words a minute; the slider shows (rate - 180) / 0.4.
    static constexpr double kNormalRate = 180;
    static constexpr double kRateStep = 0.4;
    // A speed change while speaking: speech pauses this long, then goes on at the new speed.
    static constexpr int kRateChangePauseMs = 600;

    explicit PlayMusic(QWidget *parent = nullptr);
    ~PlayMusic() override;

    Q_INVOKABLE void setStrContent(const QString &text) { m_strReadContent = text; }
    QString strReadContent() const { return m_strReadContent; }
    // The window's origin, as the activity window places it.
    void setWindowOriginPoint(const QPoint &origin);
    // 0 idle, 1 speaking, 2 paused.
    int nSpeedState() const { return m_nSpeedState; }
    SpeechSynthesizer *speechSynth() const { return m_speechSynth.get(); }

    void onRead();
    void onStop();
    void onChangeSpeed();
    void onSelectReadRole();
    void closeSelf();

    // Outlets.
    QPushButton *btnRead = nullptr;
    QPushButton *btnStop = nullptr;
    QSlider *slideSpeed = nullptr;
    QRadioButton *roleFirst = nullptr;  // matrixRole column 0
    QRadioButton *roleSecond = nullptr; // matrixRole column 1
    QLabel *txtStatus = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setState(int state);
    void speechDidFinish();
    void speechFailed(const QString &reason);
    void afterAction();
    double sliderRate() const;

    std::unique_ptr<SpeechSynthesizer> m_speechSynth;
    QString m_strReadContent;
    int m_nSpeedState = 0;
    bool m_rateChangePending = false;
};
