#include "SimReceiver.h"

#include "SimLineSettings.h"
#include "SimPseudoTerminal.h"
#include "SimReceiverCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace keypadsim {

namespace {

using Clock = std::chrono::steady_clock;

// How long the program's side stays hung up before the receiver looks whether it was left in
// exclusive use.
constexpr auto kHangUpSettles = std::chrono::milliseconds(200);

// How often the receiver looks whether a program opened its port, while none holds it.
constexpr int kLookForProgramMs = 5;

// Bytes the program sent that this side has not read yet.
bool bytesWaiting(int fd)
{
    int n = 0;
    return fd >= 0 && ::ioctl(fd, FIONREAD, &n) == 0 && n > 0;
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}

// A copy of a log made while the lock is held and sharing no buffer with it. A copy that still
// shared would be detached by the caller's first non-const use, outside the lock, while the
// receiver's thread appends to the log.
QList<SimFrame> unsharedCopy(const QList<SimFrame> &log)
{
    QList<SimFrame> copy = log;
    copy.detach();
    return copy;
}

} // namespace

SimReceiver::SimReceiver(const Options &options) : m_options(options), m_random(options.seed)
{
    m_start = Clock::now();
    m_nextWrite = m_start;
    if (info().family == 0)
        SimReceiverCommands::registerSmallFamily(*this);
    else
        SimReceiverCommands::registerLargeFamily(*this);
}

SimReceiver::~SimReceiver()
{
    m_stop = true;
    wake();
    if (m_thread.joinable())
        m_thread.join();
    closeMaster();
    removeLink();
    for (int fd : m_wakeFds) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool SimReceiver::openPseudoTerminal(int *fd, QString *path)
{
    *fd = SimPseudoTerminal::open(path, &m_error);
    return *fd >= 0;
}

bool SimReceiver::pointLink(const QString &target)
{
    return SimPseudoTerminal::pointLink(m_options.linkPath, target, &m_error);
}

void SimReceiver::removeLink()
{
    SimPseudoTerminal::removeLink(m_options.linkPath);
}

bool SimReceiver::start()
{
    int fd = -1;
    QString path;
    if (!openPseudoTerminal(&fd, &path))
        return false;
    if (pipe2(m_wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        ::close(fd);
        return false;
    }
    if (!pointLink(path)) {
        ::close(fd);
        return false;
    }
    m_ptyPath = path;
    m_masterFd = fd;
    m_thread = std::thread([this] { run(); });
    return true;
}

bool SimReceiver::plug()
{
    // Under the lock: a port renewed on the receiver's thread meanwhile is not plugged in twice.
    std::lock_guard lock(m_mutex);
    if (isPlugged())
        return true;
    int fd = -1;
    QString path;
    if (!openPseudoTerminal(&fd, &path))
        return false;
    if (!pointLink(path)) {
        ::close(fd);
        return false;
    }
    // A receiver just powered: nothing half-received or queued, student keypads heard.
    m_input.clear();
    m_out.clear();
    m_writing.clear();
    m_programHolds = false;
    m_receiving = true;
    m_nextWrite = Clock::now();
    m_ptyPath = path;
    ++m_portGeneration;
    m_masterFd = fd;
    wake();
    return true;
}

void SimReceiver::setPortRenewedHandler(std::function<void(const QString &ptyPath)> handler)
{
    std::lock_guard lock(m_mutex);
    m_portRenewed = std::move(handler);
}

int SimReceiver::portRenewals() const
{
    std::lock_guard lock(m_mutex);
    return m_portRenewals;
}

bool SimReceiver::renewPort(int oldFd)
{
    std::function<void(const QString &)> told;
    QString path;
    {
        std::lock_guard lock(m_mutex);
        if (m_masterFd.load() != oldFd)
            return false; // unplugged meanwhile
        int fd = -1;
        if (!openPseudoTerminal(&fd, &path) || !pointLink(path)) {
            if (fd >= 0)
                ::close(fd);
            if (m_trace)
                std::fprintf(m_trace, "%12.6f the port is left in exclusive use and cannot be renewed: %s\n",
                             elapsedNs() / 1e9, qPrintable(m_error));
            return false;
        }
        // Powered all along: only what was on its way to the program that went is lost.
        m_input.clear();
        m_out.clear();
        m_writing.clear();
        m_programHolds = false;
        m_nextWrite = Clock::now();
        m_ptyPath = path;
        ++m_portGeneration;
        m_masterFd = fd;
        ::close(oldFd);
        ++m_portRenewals;
        if (m_trace)
            std::fprintf(m_trace, "%12.6f the program left the port in exclusive use: the receiver is back on %s\n",
                         elapsedNs() / 1e9, qPrintable(path));
        told = m_portRenewed;
    }
    if (told)
        told(path);
    return true;
}

QString SimReceiver::portPath() const
{
    if (!m_options.linkPath.isEmpty())
        return m_options.linkPath;
    return ptyPath();
}

QString SimReceiver::ptyPath() const
{
    std::lock_guard lock(m_mutex);
    return m_ptyPath;
}

QString SimReceiver::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

SimReceiver::Options SimReceiver::options() const
{
    std::lock_guard lock(m_mutex);
    return m_options;
}

void SimReceiver::setNeighbourChannel(int channel)
{
    std::lock_guard lock(m_mutex);
    m_options.neighbourChannel = channel;
}

void SimReceiver::closeMaster()
{
    const int fd = m_masterFd.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

void SimReceiver::unplug()
{
    {
        std::lock_guard lock(m_mutex);
        m_out.clear();
        m_writing.clear();
        closeMaster();
        removeLink();
    }
    wake();
}

void SimReceiver::wake()
{
    if (m_wakeFds[1] >= 0) {
        const char c = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wakeFds[1], &c, 1);
    }
}

qint64 SimReceiver::elapsedNs() const
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - m_start).count();
}

quint8 SimReceiver::randomByte()
{
    std::lock_guard lock(m_mutex);
    return quint8(m_random() & 0xFF);
}

// ---- logs ------------------------------------------------------------------------------------

void SimReceiver::logEntry(const SimFrame &entry)
{
    m_bytes.append(entry);
    if (m_trace) {
        const char *dir = entry.direction == SimFrame::FromProgram ? "<-" : "->";
        const char *note = entry.refused ? " (refused)" : entry.dropped ? " (dropped)" : entry.corrupted ? " (corrupted)" : "";
        std::fprintf(m_trace, "%12.6f %s %s%s\n", entry.timeNs / 1e9, dir, qPrintable(hex(entry.bytes)), note);
        std::fflush(m_trace);
    }
}

QList<SimFrame> SimReceiver::framesFromProgram() const
{
    std::lock_guard lock(m_mutex);
    return unsharedCopy(m_fromProgram);
}

QList<SimFrame> SimReceiver::framesToProgram() const
{
    std::lock_guard lock(m_mutex);
    return unsharedCopy(m_toProgram);
}

QList<SimFrame> SimReceiver::byteLog() const
{
    std::lock_guard lock(m_mutex);
    return unsharedCopy(m_bytes);
}

int SimReceiver::refusedInputCount() const
{
    std::lock_guard lock(m_mutex);
    return m_refused;
}

void SimReceiver::clearLogs()
{
    std::lock_guard lock(m_mutex);
    m_fromProgram.clear();
    m_toProgram.clear();
    m_bytes.clear();
    m_refused = 0;
}

bool SimReceiver::waitForFramesFromProgram(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_fromProgram.size() >= count; });
}

void SimReceiver::setTrace(FILE *out)
{
    std::lock_guard lock(m_mutex);
    m_trace = out;
}

// ---- keypads ---------------------------------------------------------------------------------

void SimReceiver::addKeypad(int id)
{
    std::lock_guard lock(m_mutex);
    SimKeypad &k = m_keypads[id];
    k.id = id;
}

void SimReceiver::addKeypads(int firstId, int count)
{
    for (int i = 0; i < count; ++i)
        addKeypad(firstId + i);
}

QList<int> SimReceiver::keypadIds() const
{
    std::lock_guard lock(m_mutex);
    return m_keypads.keys();
}

SimKeypad SimReceiver::keypad(int id) const
{
    std::lock_guard lock(m_mutex);
    return m_keypads.value(id);
}

void SimReceiver::setTeacherAddress(quint8 low)
{
    std::lock_guard lock(m_mutex);
    m_teacherLow = low;
}

int SimReceiver::longestStudentId(Model model)
{
    constexpr int programFrameData = 60;
    switch (model) {
    case Model::Dravel: return programFrameData - 5;
    case Model::Corvel: return programFrameData - 7;
    default: return 0;
    }
}

namespace {
// The first bytes of text in UTF-8 that hold whole characters, at most `room` of them.
QByteArray wholeCharacters(const QString &text, int room)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray one = text.mid(i, n).toUtf8();
        if (out.size() + one.size() > room)
            break;
        out += one;
        i += n;
    }
    return out;
}
} // namespace

QString SimReceiver::login(int id, const QString &studentId, const QString &name)
{
    std::lock_guard lock(m_mutex);
    const QByteArray idBytes = studentId.toUtf8();
    const int longest = longestStudentId(m_options.model);
    if (longest > 0 && idBytes.size() > longest)
        return QStringLiteral("keypad %1: a student ID of %2 bytes is longer than a keypad takes (%3): nothing sent")
            .arg(id)
            .arg(idBytes.size())
            .arg(longest);
    SimKeypad &k = m_keypads[id];
    k.id = id;
    k.studentId = studentId;
    k.name = name;
    k.loginRefused = false;
    QByteArray data;
    if (m_options.model == Model::Corvel)
        data.append(char(0xF7));
    else if (m_options.model != Model::Dravel)
        return {}; // Arvel, Envel and Brevel keypads do not log in
    data.append(idBytes);
    // The name, its zero before it and a trailing byte after it, in what the frame has left.
    const QByteArray nameBytes = wholeCharacters(name, kMaxFrameData - int(data.size()) - 2);
    if (!nameBytes.isEmpty()) {
        data.append('\0');
        data.append(nameBytes);
        data.append(char(m_random() & 0xFF)); // a trailing byte that is not part of the name
    }
    const quint8 cmd = m_options.model == Model::Corvel ? 0xF8 : 0xFE;
    queueOut(longFrame(cmd, id, data), true);
    return {};
}

QString SimReceiver::answer(int id, const QString &text)
{
    std::lock_guard lock(m_mutex);
    SimKeypad &k = m_keypads[id];
    k.id = id;
    if (info().family == 0) {
        if (!m_receiving)
            return {};
        const QByteArray t = text.toLatin1();
        const int nibble = t.isEmpty() ? 8 : (quint8(t[0]) - 0x39) & 0x0F;
        const quint8 b0 = quint8(0x20 + ((id >> 4) & 0x1F));
        const quint8 b1 = quint8((nibble << 4) | (id & 0x0F));
        queueOut(smallFrame(b0, b1), true);
        return {};
    }
    const int head = m_options.model == Model::Brevel ? 6 : 2;
    const QByteArray textBytes = text.toUtf8();
    if (head + textBytes.size() > kMaxFrameData)
        return QStringLiteral("keypad %1: an answer of %2 bytes does not fit a keypad's frame (%3 at most): nothing sent")
            .arg(id)
            .arg(textBytes.size())
            .arg(kMaxFrameData - head);
    QByteArray data;
    data.append(char(m_random() & 0xFF));
    data.append(char(m_random() & 0xFF));
    if (m_options.model == Model::Brevel) {
        data.append(char(0x02)); // answer, not a navigation key
        for (int i = 0; i < 3; ++i)
            data.append(char(m_random() & 0xFF));
    }
    data.append(textBytes);
    queueOut(longFrame(0xF7, k.address(), data), true);
    return {};
}

void SimReceiver::buzz(int id)
{
    if (info().family == 0) {
        answer(id, QStringLiteral("G"));
        return;
    }
    std::lock_guard lock(m_mutex);
    SimKeypad &k = m_keypads[id];
    k.id = id;
    const char data = m_options.model == Model::Brevel ? char(0x40) : char(m_random() & 0xFF);
    queueOut(longFrame(0xFB, k.address(), QByteArray(1, data)), true);
}

void SimReceiver::pressTeacherKey(quint8 code)
{
    std::lock_guard lock(m_mutex);
    if (info().family == 0) {
        queueOut(smallFrame(0x00, code), true);
    } else {
        queueOut(shortFrame(0xF4, m_teacherLow, 0xEF, code), true);
    }
}

void SimReceiver::wakeUpReply(int id)
{
    std::lock_guard lock(m_mutex);
    if (info().family == 0)
        return;
    SimKeypad &k = m_keypads[id];
    k.id = id;
    queueOut(longFrame(0xF5, k.address(), QByteArray(1, char(0xE3))), true);
}

QByteArray SimReceiver::randomBytes(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out.append(char(m_random() & 0xFF));
    return out;
}

void SimReceiver::keypadFrame(int id, quint8 cmd, const QByteArray &data)
{
    std::lock_guard lock(m_mutex);
    SimKeypad &k = m_keypads[id];
    k.id = id;
    queueOut(longFrame(cmd, k.address(), data), true);
}

void SimReceiver::teacherFrame(quint8 cmd, const QByteArray &data)
{
    std::lock_guard lock(m_mutex);
    queueOut(longFrame(cmd, m_teacherLow | 0xEF00, data), true);
}

void SimReceiver::navigate(int id, bool next)
{
    if (info().family == 0) {
        answer(id, next ? QStringLiteral("F") : QStringLiteral("G"));
        return;
    }
    std::lock_guard lock(m_mutex);
    // F8 with data byte 0 F5; data byte 2 is 1 for next, 0 for previous.
    QByteArray data(1, char(0xF5));
    data.append(randomBytes(1));
    data.append(char(next ? 0x01 : 0x00));
    data.append(randomBytes(3));
    keypadFrame(id, 0xF8, data);
}

void SimReceiver::signalQuestion(int id)
{
    std::lock_guard lock(m_mutex);
    keypadFrame(id, 0xF5, randomBytes(2) + char(0x0A));
}

void SimReceiver::askForQuestion(int id)
{
    std::lock_guard lock(m_mutex);
    keypadFrame(id, 0xF5, randomBytes(2) + char(0x0B));
}

void SimReceiver::askCurrentState(int id)
{
    std::lock_guard lock(m_mutex);
    keypadFrame(id, 0xF5, randomBytes(2) + char(0x0E));
}

void SimReceiver::examStart(int id)
{
    keypadFrame(id, 0xF5, QByteArray(1, char(0xE0)));
}

void SimReceiver::logout(int id)
{
    std::lock_guard lock(m_mutex);
    // Sent under the number it was given; then it is out, as after its class's logout, and logs
    // in again (with the student ID it holds) when next woken.
    keypadFrame(id, 0xF6, randomBytes(2) + char(0xEF));
    if (longestStudentId(m_options.model) > 0) {
        SimKeypad &k = m_keypads[id];
        k.loggedIn = false;
        k.loggedOut = true;
        k.deviceNo = 0;
    }
}

void SimReceiver::teacherLogin()
{
    std::lock_guard lock(m_mutex);
    teacherFrame(0xFE, randomBytes(1));
}

void SimReceiver::teacherQuery(quint8 code, const QByteArray &arguments)
{
    teacherFrame(0xF8, QByteArray(1, char(code)) + arguments);
}

void SimReceiver::setUploadAnswers(int id, const QMap<int, QString> &answers)
{
    std::lock_guard lock(m_mutex);
    SimKeypad &k = m_keypads[id];
    k.id = id;
    k.uploadAnswers = answers;
    k.uploadRounds = 0;
    k.uploadComplete = false;
}

void SimReceiver::requestUpload(int id)
{
    std::lock_guard lock(m_mutex);
    if (!uploadFrameLost())
        keypadFrame(id, 0xFB, QByteArray(1, char(0x0E)));
}

void SimReceiver::setUploadLossPercent(int percent)
{
    std::lock_guard lock(m_mutex);
    m_uploadLoss = std::clamp(percent, 0, 100);
}

bool SimReceiver::uploadFrameLost()
{
    return m_uploadLoss > 0 && int(m_random() % 100) < m_uploadLoss;
}

// Called with the lock held: the answers of these questions in as few FA frames as fit.
void SimReceiver::sendUploadFrames(SimKeypad &keypad, const QList<int> &questions)
{
    ++keypad.uploadRounds;
    QByteArray data;
    auto flush = [&] {
        if (data.size() > 3 && !uploadFrameLost())
            queueOut(longFrame(0xFA, keypad.address(), data), true);
        data.clear();
    };
    for (int q : questions) {
        const QByteArray entry = QByteArray(1, char(q)) + keypad.uploadAnswers.value(q).toUtf8() + char(0xEE);
        if (!data.isEmpty() && data.size() + entry.size() > 64)
            flush();
        if (data.isEmpty())
            data = randomBytes(2);
        data.append(entry);
    }
    flush();
}

// FB to a keypad: E0 asks it to send its answers, E4 is the receipt (complete flag and bitmap).
void SimReceiver::onUploadCommand(const QByteArray &f)
{
    if (f.size() < 6)
        return;
    const int address = quint8(f[1]) | (quint8(f[2]) << 8);
    SimKeypad *keypad = nullptr;
    for (auto it = m_keypads.begin(); it != m_keypads.end(); ++it) {
        if (it->address() == address)
            keypad = &*it;
    }
    if (!keypad || keypad->loggedOut || keypad->uploadAnswers.isEmpty() || uploadFrameLost())
        return;
    keypad->lastReply = f;
    const QByteArray data = f.mid(4, quint8(f[3]));
    if (quint8(data[0]) == 0xE0) {
        sendUploadFrames(*keypad, keypad->uploadAnswers.keys());
    } else if (quint8(data[0]) == 0xE4 && data.size() >= 2) {
        if (quint8(data[1]) == 0x01) {
            keypad->uploadComplete = true;
            return;
        }
        QList<int> missing;
        for (int q : keypad->uploadAnswers.keys()) {
            const int byte = 2 + (q - 1) / 8;
            if (q >= 1 && q <= 99 && byte < data.size() && !(quint8(data[byte]) & (1 << ((q - 1) % 8))))
                missing << q;
        }
        if (missing.isEmpty())
            keypad->uploadComplete = true;
        else
            sendUploadFrames(*keypad, missing);
    }
}

// ---- output ----------------------------------------------------------------------------------

void SimReceiver::sendFrame(const QByteArray &frame)
{
    std::lock_guard lock(m_mutex);
    queueOut(frame, true);
}

void SimReceiver::sendRaw(const QByteArray &bytes)
{
    std::lock_guard lock(m_mutex);
    queueOut(bytes, false);
}

void SimReceiver::dropNextFrames(int count)
{
    std::lock_guard lock(m_mutex);
    m_dropNext += count;
}

void SimReceiver::corruptNextFrames(int count)
{
    std::lock_guard lock(m_mutex);
    m_corruptNext += count;
}

void SimReceiver::setLinePacing(bool on)
{
    std::lock_guard lock(m_mutex);
    m_options.paceLine = on;
}

int SimReceiver::pendingOutput() const
{
    std::lock_guard lock(m_mutex);
    return int(m_out.size()) + (m_writing.isEmpty() ? 0 : 1);
}

bool SimReceiver::waitForOutputDrained(int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return (m_out.empty() && m_writing.isEmpty()) || m_masterFd.load() < 0 || !m_programHolds;
    });
}

qsizetype SimReceiver::bytesLostWithoutProgram() const
{
    std::lock_guard lock(m_mutex);
    return m_lostWithoutProgram;
}

bool SimReceiver::programHoldsPort() const
{
    std::lock_guard lock(m_mutex);
    return m_programHolds;
}

void SimReceiver::keepWhatTheBridgeHolds()
{
    m_writingInBridge = !m_writing.isEmpty();
    for (Out &o : m_out)
        o.inBridge = true;
    qsizetype room = kHeldWithoutProgram - m_writing.size();
    if (room < 0) {
        m_lostWithoutProgram += -room;
        m_writing.truncate(kHeldWithoutProgram);
        room = 0;
    }
    for (auto it = m_out.begin(); it != m_out.end();) {
        const qsizetype kept = std::min(room, it->bytes.size());
        m_lostWithoutProgram += it->bytes.size() - kept;
        room -= kept;
        if (kept == 0) {
            it = m_out.erase(it);
        } else {
            it->bytes.truncate(kept);
            ++it;
        }
    }
}

// Called with the lock held.
void SimReceiver::queueOut(const QByteArray &bytes, bool asFrame)
{
    SimFrame entry;
    entry.timeNs = elapsedNs();
    entry.direction = SimFrame::ToProgram;
    entry.bytes = bytes;
    QByteArray out = bytes;
    if (asFrame) {
        if (m_dropNext > 0) {
            --m_dropNext;
            entry.dropped = true;
            m_toProgram.append(entry);
            logEntry(entry);
            return;
        }
        if (m_corruptNext > 0 && !out.isEmpty()) {
            --m_corruptNext;
            const int at = int(m_random() % quint32(out.size()));
            out[at] = char(quint8(out[at]) ^ quint8(1u << (m_random() % 8)));
            entry.bytes = out;
            entry.corrupted = true;
        }
        m_toProgram.append(entry);
    }
    // Looked at now, not as the receiver's thread last saw it: a program may have opened or
    // closed the port since.
    struct pollfd port {m_masterFd.load(), 0, 0};
    const bool nobodyHolds = port.fd < 0 || (::poll(&port, 1, 0) >= 0 && (port.revents & POLLHUP));
    m_out.push_back(Out{out, nobodyHolds});
    if (nobodyHolds)
        keepWhatTheBridgeHolds();
    wake();
}

// ---- the receiver's thread -------------------------------------------------------------------

void SimReceiver::run()
{
    char buffer[4096];
    // The program's side as last seen: hung up (a program had it open and closed it) since when,
    // and whether that hang-up was looked at.
    bool programHungUp = false;
    bool hangUpLookedAt = false;
    Clock::time_point hungUpAt;
    int lastGeneration = -1;
    for (;;) {
        if (m_stop)
            return;
        const int fd = m_masterFd.load();
        if (const int generation = m_portGeneration.load(); generation != lastGeneration) {
            programHungUp = hangUpLookedAt = false; // a new pseudo-terminal: nobody has had it open yet
            lastGeneration = generation;
        }
        int timeoutMs = -1;
        bool wantWrite = false;
        {
            std::lock_guard lock(m_mutex);
            const auto now = Clock::now();
            if (!m_out.empty() || !m_writing.isEmpty()) {
                if (!m_options.paceLine || m_nextWrite <= now || nextFromBridge()) {
                    wantWrite = true;
                } else {
                    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(m_nextWrite - now).count();
                    timeoutMs = int(std::max<qint64>(1, wait));
                }
            }
            // A program that opens the port is no event on this side: looked for now and then.
            if (!m_programHolds)
                timeoutMs = timeoutMs < 0 ? kLookForProgramMs : std::min(timeoutMs, kLookForProgramMs);
            if (!m_input.isEmpty()) {
                const auto left = m_options.silenceTimeoutMs -
                                  std::chrono::duration_cast<std::chrono::milliseconds>(now - m_lastInput).count();
                const int t = int(std::max<qint64>(1, left));
                timeoutMs = timeoutMs < 0 ? t : std::min(timeoutMs, t);
            }
        }
        struct pollfd fds[2] = {{m_wakeFds[0], POLLIN, 0}, {fd, short(POLLIN | (wantWrite ? POLLOUT : 0)), 0}};
        const int nfds = fd >= 0 ? 2 : 1;
        if (poll(fds, nfds_t(nfds), wantWrite && fd < 0 ? 0 : timeoutMs) < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN) {
            while (::read(m_wakeFds[0], buffer, sizeof buffer) > 0) {
            }
        }
        if (m_stop)
            return;
        if (fd >= 0) {
            // The program's side hung up (it closed the port, or ended): one that ended without
            // letting go of exclusive use would keep every later program out.
            const bool hungUp = fds[1].revents & POLLHUP;
            if (hungUp && !programHungUp) {
                hungUpAt = Clock::now();
                hangUpLookedAt = false;
            }
            programHungUp = hungUp;
            // A program that closes the port to open it again (one probe after another) does so
            // at once, one that ended leaves it hung up: the look waits until the hang-up has
            // lasted a moment, so that it does not meet a program between one open and the next.
            if (hungUp && !hangUpLookedAt && Clock::now() - hungUpAt >= kHangUpSettles) {
                hangUpLookedAt = true;
                if (SimPseudoTerminal::leftInExclusiveUse(fd) && renewPort(fd))
                    continue;
            }
        }
        if (fd >= 0 && (fds[1].revents & POLLIN)) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                handleInput(QByteArray(buffer, int(n)));
        } else if (fd >= 0 && (fds[1].revents & POLLHUP)) {
            // Nobody has the port open: nothing to read until the program opens it again.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::lock_guard lock(m_mutex);
        const auto now = Clock::now();
        if (!m_input.isEmpty() && now - m_lastInput >= std::chrono::milliseconds(m_options.silenceTimeoutMs)
            && !bytesWaiting(fd)) {
            m_input.clear(); // a command whose tail never came
        }
        // Nobody holds the port: what the receiver sends waits in its bridge, as much as that holds,
        // and is not handed to the kernel, which would keep far more for the next program.
        const bool programHolds = fd >= 0 && !(fds[1].revents & POLLHUP) && fd == m_masterFd.load();
        if (programHolds != m_programHolds) {
            m_programHolds = programHolds;
            if (!programHolds)
                keepWhatTheBridgeHolds();
        }
        // Write every frame that is due; what the bridge held is past the line already, and goes at once.
        while (fd >= 0 && m_programHolds && (!m_out.empty() || !m_writing.isEmpty())) {
            const bool fromBridge = nextFromBridge();
            if (!fromBridge && m_options.paceLine && m_nextWrite > now)
                break;
            if (m_writing.isEmpty()) {
                m_writing = m_out.front().bytes;
                m_writingInBridge = fromBridge;
                m_out.pop_front();
                const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / info().baud);
                // After an idle line the next frame starts now; a thread woken a little late
                // catches up, so the average rate is the line's.
                if (m_nextWrite + std::chrono::milliseconds(2) < now)
                    m_nextWrite = now;
                if (!fromBridge)
                    m_nextWrite += byteTime * m_writing.size();
            }
            const ssize_t n = ::write(fd, m_writing.constData(), size_t(m_writing.size()));
            if (n <= 0)
                break; // the program is not reading: try again when the line takes more
            SimFrame entry;
            entry.timeNs = elapsedNs();
            entry.direction = SimFrame::ToProgram;
            entry.bytes = m_writing.left(int(n));
            logEntry(entry);
            m_writing.remove(0, int(n));
        }
        // Unplugged: what was queued is lost. The look is at the receiver now, not at the start of
        // this pass: a plug meanwhile keeps what was queued since.
        if (m_masterFd.load() < 0) {
            m_out.clear();
            m_writing.clear();
        }
        m_cond.notify_all();
    }
}

void SimReceiver::handleInput(const QByteArray &bytes)
{
    const int fd = m_masterFd.load();
    const SimLineSettings line = SimLineSettings::read(fd);
    std::lock_guard lock(m_mutex);
    SimFrame entry;
    entry.timeNs = elapsedNs();
    entry.direction = SimFrame::FromProgram;
    entry.bytes = bytes;
    if (!line.valid || line.speed != info().baud || !line.raw8N1) {
        // A real receiver would hear noise: nothing of it is understood.
        entry.refused = true;
        ++m_refused;
        logEntry(entry);
        m_cond.notify_all();
        return;
    }
    logEntry(entry);
    // A gap since the last bytes is not silence here: this thread may have been held up while
    // the rest of the command waited on the line. The loop drops a partial command only when it
    // finds the line idle.
    m_lastInput = Clock::now();
    m_input.append(bytes);
    parseCommands();
    m_cond.notify_all();
}

// Called with the lock held: splits the program's bytes into commands.
void SimReceiver::parseCommands()
{
    for (;;) {
        if (m_input.isEmpty())
            return;
        const auto *p = reinterpret_cast<const quint8 *>(m_input.constData());
        const int n = int(m_input.size());
        int len = 0;
        if (info().family == 0) {
            if (p[0] == 0x5E && n < 2)
                return;
            len = (p[0] == 0x5E && p[1] == 0x80) ? 11 : 3;
        } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
            len = 5;
        } else {
            if (n < 4)
                return;
            if (p[3] > 64) {
                m_input.remove(0, 1);
                continue;
            }
            len = p[3] + 5;
        }
        if (n < len)
            return;
        const QByteArray frame = m_input.left(len);
        m_input.remove(0, len);
        SimFrame entry;
        entry.timeNs = elapsedNs();
        entry.direction = SimFrame::FromProgram;
        entry.bytes = frame;
        m_fromProgram.append(entry);
        dispatch(frame);
    }
}

void SimReceiver::setCommandHandler(quint8 command, CommandHandler handler)
{
    std::lock_guard lock(m_mutex);
    m_handlers[command] = std::move(handler);
}

SimReceiver::CommandHandler SimReceiver::commandHandler(quint8 command) const
{
    std::lock_guard lock(m_mutex);
    return m_handlers.value(command);
}

void SimReceiver::setCommandsIgnored(bool ignored)
{
    std::lock_guard lock(m_mutex);
    m_commandsIgnored = ignored;
}

void SimReceiver::dispatch(const QByteArray &frame)
{
    if (m_commandsIgnored)
        return;
    const auto it = m_handlers.constFind(quint8(frame[0]));
    if (it != m_handlers.constEnd() && *it)
        (*it)(*this, frame);
}

} // namespace keypadsim
