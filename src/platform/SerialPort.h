#pragma once

#include <QByteArray>
#include <QString>

#include <mutex>

// A serial port in raw 8N1 at a chosen speed (standard or not), opened for exclusive use.
// Calls that a pseudo-terminal or a driver refuses (modem lines, low latency) are logged and the
// port still opens. Writes are whole: concurrent writers never interleave their bytes.
//
// Exclusive use ends whenever the port is let go of (close, a failed open, the end of the
// process): the kernel keeps the flag on the terminal for as long as it lives, and a pseudo-
// terminal lives while its other side is open, so a flag left behind would lock every ordinary
// user out of the port, this program included.
class SerialPort
{
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort &) = delete;
    SerialPort &operator=(const SerialPort &) = delete;

    // Why the last open failed: the two refusals that leave a receiver present but out of reach
    // are told apart from every other failure, and a port that opened but would not take its
    // set-up (a speed or mode its driver refuses) from one that did not open at all.
    enum class OpenError { None, InUse, NoPermission, Other, Setup };

    bool open(const QString &path, int baud);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // The reason of the last failure; a refused open names the port.
    QString lastError() const { return m_lastError; }
    OpenError lastOpenError() const { return m_openError; }

    // Gives up exclusive use of every port this process holds open. Runs at exit; the ports stay
    // open until the process ends.
    static void releaseAllForExit();
    // The group whose members may open the port: its owning group when that group may read and
    // write it, else "dialout", the group of serial ports on Debian and Ubuntu.
    static QString accessGroup(const QString &path);

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
    OpenError m_openError = OpenError::None;
    std::mutex m_writeMutex;
};
