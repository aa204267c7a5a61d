#pragma once

#include <QByteArray>
#include <QString>

#include <mutex>

// A serial port in raw 8N1 at a chosen speed (standard or not), opened for exclusive use.
// Calls that a pseudo-terminal or a driver refuses (modem lines, low latency) are logged and the
// port still opens. Writes are whole: concurrent writers never interleave their bytes.
class SerialPort
{
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort &) = delete;
    SerialPort &operator=(const SerialPort &) = delete;

    bool open(const QString &path, int baud);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    QString lastError() const { return m_lastError; }

    // All bytes or nothing counted as success; loops over partial writes.
    bool write(const char *bytes, int size);
    enum class ReadStatus { Data, NoData, HangUp };
    // Reads what is waiting (never blocks); HangUp when the device has gone.
    ReadStatus read(QByteArray &into, int maxBytes = 65536);
    // Blocking-free read of up to maxBytes into a buffer: -1 error, else the count.
    int readSome(char *buffer, int maxBytes);
    int bytesWaiting() const;
    bool flush();

private:
    int m_fd = -1;
    QString m_lastError;
    std::mutex m_writeMutex;
};
