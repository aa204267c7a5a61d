#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
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

    // All bytes or nothing counted as success; loops over partial writes. Any thread may write.
    bool write(const char *bytes, int size);
    // The calls below use the port's own number: only the thread that closes the port makes
    // them (another takes a Duplicate).
    enum class ReadStatus { Data, NoData, HangUp };
    // Reads what is waiting (never blocks); HangUp when the device has gone.
    ReadStatus read(QByteArray &into, int maxBytes = 65536);
    // Blocking-free read of up to maxBytes into a buffer: -1 error, else the count.
    int readSome(char *buffer, int maxBytes);
    int bytesWaiting() const;
    bool flush();

    // The port for a thread other than the one that closes it: a descriptor of its own, so that
    // the port may be closed meanwhile and its number given to another file without that file
    // being read or written as the receiver; the receiver stays reachable through it until it
    // goes. Taken whole or not at all against a close; writes still take turns with the port's.
    class Duplicate
    {
    public:
        explicit Duplicate(SerialPort &port);
        ~Duplicate();
        Duplicate(const Duplicate &) = delete;
        Duplicate &operator=(const Duplicate &) = delete;

        // False when the port was closed before the duplicate was taken.
        bool isOpen() const { return m_fd >= 0; }
        int fd() const { return m_fd; }
        bool write(const char *bytes, int size);
        // As SerialPort::readSome.
        int readSome(char *buffer, int maxBytes);

    private:
        SerialPort &m_port;
        int m_fd = -1;
    };

private:
    std::atomic<int> m_fd{-1};
    QString m_lastError;
    OpenError m_openError = OpenError::None;
    // Writes take turns under it, and the descriptor is set, closed and duplicated under it: a
    // write or a duplicate never meets a close halfway.
    std::mutex m_mutex;
};
