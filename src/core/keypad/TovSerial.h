#pragma once

#include "TovDevice.h"

#include "platform/SerialPort.h"

// A receiver on a serial port: raw 8N1, whole-frame writes, reads that never block.
class TovSerial : public TovDevice
{
public:
    TovSerial() = default;
    ~TovSerial() override;

    // Waits the settle time, then opens and configures the port.
    bool openPort(const QString &path, int baudRate);
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

protected:
    // Sends a probe and reads back exactly `answerLen` bytes once that many are waiting; empty when
    // they are not there within the probe time.
    QByteArray exchange(const QByteArray &request, int answerLen);

private:
    static void logSent(const unsigned char *bytes, int size);

    SerialPort m_port;
};
