#pragma once

#include "AnswerAmongFrames.h"
#include "TovDevice.h"

#include "platform/SerialPort.h"

#include <optional>

// A receiver on a serial port: raw 8N1, whole-frame writes, reads that never block.
class TovSerial : public TovDevice
{
public:
    TovSerial() = default;
    ~TovSerial() override;

    // Waits the settle time, then opens and configures the port.
    bool openPort(const QString &path, int baudRate);
    // The port to read the receiver through: kept as the probe that found the receiver left it,
    // else opened as openPort does.
    bool openForReading(const QString &path, int baudRate);
    bool closePort();

    void closeDevice() override { closePort(); }
    int readData(char *buffer, int len) override;
    using TovDevice::sendData;
    bool sendData(const unsigned char *bytes, int size) override;
    int readDataWaiting() override;
    bool clearBuf() override;
    int fileDescriptor() const override { return m_port.fd(); }
    bool isOpen() const override { return m_port.isOpen(); }

    SerialPort &port() { return m_port; }
    // A frame sent through a duplicate of the port, logged as every frame sent.
    static bool sendThrough(SerialPort::Duplicate &port, const QByteArray &bytes);

    // What the probes of this object heard: an answer of the family (whatever model it named),
    // nothing at all, or bytes among which no answer stood (keypad frames that kept it from being
    // heard, or a device that is no receiver): only then is the port worth asking again later.
    // In rising order: of several questions, the one that heard most tells.
    enum class Hearing { Silence, NoAnswerAmongBytes, Answer };
    Hearing probeHearing() const { return m_hearing; }

    // What the keypads sent while the probe that found the receiver listened, at the receiver's
    // speed, from the open of its port on: the port stays open, and is read on from there.
    struct ProbeKeys
    {
        QList<DataOfFrame> beforeAnswer; // between the open and the receiver's answer
        QList<DataOfFrame> afterAnswer;  // behind it, heard by a later question of the probe
        QByteArray rest;                 // read behind those, not yet a whole frame
    };
    // Taken once; empty after the port was closed.
    ProbeKeys takeProbeKeys();
    // The frames before the answer may have waited in the receiver's USB bridge since before the
    // port was opened: they are dropped unless the receiver was plugged in right before its probe.
    void forgetKeysBeforeAnswer() { m_probeKeys.beforeAnswer.clear(); }

protected:
    // Opens the port for a probe and empties it of what came before the probe's questions.
    bool openForProbe(const QString &path, int baudRate);
    // Closes the port after a probe that did not find the receiver it looks for.
    void closeAfterProbe();
    // Sends a probe and listens for its answer among the frames the receiver sends meanwhile, for
    // the probe time (AnswerWait); while bytes come but no answer is among them (a frame cut short
    // as the port opened can hide it), the question is asked again, a few times at most. The
    // answer, or none. The keypads' frames heard meanwhile are kept (takeProbeKeys()).
    std::optional<DataOfFrame> exchange(const QByteArray &request, int family,
                                        const AnswerAmongFrames::IsAnswer &isAnswer);

private:
    static void logSent(const unsigned char *bytes, int size);

    SerialPort m_port;
    Hearing m_hearing = Hearing::Silence;
    ProbeKeys m_probeKeys;
    bool m_probeAnswered = false; // an answer was heard since the port was opened
    int m_probeBaudRate = 115200;
};
