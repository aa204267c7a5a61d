#pragma once

#include <QByteArray>
#include <QString>

// A receiver behind a serial port. The base does nothing; TovSerial talks to the port and the
// model classes (TovArvel, TovDravel, TovEnvel, TovCorvel) open at their speed and probe.
class TovDevice
{
public:
    TovDevice() = default;
    virtual ~TovDevice() = default;
    TovDevice(const TovDevice &) = delete;
    TovDevice &operator=(const TovDevice &) = delete;

    virtual bool openDevice() { return false; }
    virtual void closeDevice() {}
    // Probes the port at path (opens, asks); true when the receiver answered as this class
    // expects, and then the path is kept and the port stays open for openDevice(), which reads on
    // from where the probe stopped. Otherwise the port is closed again.
    virtual bool detectDevice(const QString &path)
    {
        Q_UNUSED(path);
        return false;
    }
    virtual int readData(char *buffer, int len)
    {
        Q_UNUSED(buffer);
        Q_UNUSED(len);
        return 0;
    }
    virtual bool sendData(const unsigned char *bytes, int size)
    {
        Q_UNUSED(bytes);
        Q_UNUSED(size);
        return false;
    }
    bool sendData(const QByteArray &bytes)
    {
        return sendData(reinterpret_cast<const unsigned char *>(bytes.constData()), int(bytes.size()));
    }
    virtual int readDataWaiting() { return 0; }
    virtual bool clearBuf() { return false; }
    // The descriptor to watch for readability, -1 while closed.
    virtual int fileDescriptor() const { return -1; }
    virtual bool isOpen() const { return false; }

    QString getDeviceNameValue() const { return m_deviceName; }
    void setDeviceNameValue(const QString &name) { m_deviceName = name; }
    QString getDeviceDescription() const { return m_deviceDescription; }
    void setDeviceDescription(const QString &text) { m_deviceDescription = text; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    QString bsdPath() const { return m_bsdPath; }
    void setBsdPath(const QString &path) { m_bsdPath = path; }

    // Model names given at discovery, by device type.
    static QString modelNameForType(int type);

protected:
    QString m_bsdPath;
    QString m_deviceName;
    QString m_deviceDescription;
    int m_type = -1;
};
