#include "DeviceController.h"

#include "LinkTiming.h"
#include "PortRefusal.h"
#include "SetupFrames.h"
#include "TovArvel.h"
#include "TovDravel.h"

#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/Singleton.h"
#include "platform/UsbSerialWatcher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <sys/stat.h>

namespace {

std::mutex g_alertMutex;
DeviceController::AlertHandler g_alertHandler;

qint64 monotonicMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

int familyOfType(int type)
{
    return (type == 0 || type == 1) ? 0 : 1;
}

// What a port's path leads to now: the path itself (a link, for a simulated receiver) and the
// device node behind it, each with the time it was made; empty when it leads nowhere. A receiver
// plugged in again gets a new node (and a new link), so this differs from what its last probe saw.
QByteArray portIdentity(const QString &path)
{
    const QByteArray p = QFile::encodeName(path);
    struct stat entry {}, node {};
    if (::lstat(p.constData(), &entry) != 0 || ::stat(p.constData(), &node) != 0)
        return {};
    return QByteArray::number(quint64(entry.st_ino)) + ':' + QByteArray::number(qint64(entry.st_ctim.tv_sec)) + '.'
           + QByteArray::number(qint64(entry.st_ctim.tv_nsec)) + '/' + QByteArray::number(quint64(node.st_dev)) + ':'
           + QByteArray::number(quint64(node.st_ino)) + ':' + QByteArray::number(quint64(node.st_rdev)) + ':'
           + QByteArray::number(qint64(node.st_ctim.tv_sec)) + '.' + QByteArray::number(qint64(node.st_ctim.tv_nsec));
}

// What the device's probe heard on its port.
TovSerial::Hearing hearingOf(TovDevice *device)
{
    auto *serial = dynamic_cast<TovSerial *>(device);
    return serial ? serial->probeHearing() : TovSerial::Hearing::Silence;
}

} // namespace

std::optional<DeviceController::OpenRefusal> DeviceController::openRefusal(TovDevice *device, const QString &path)
{
    auto *serial = dynamic_cast<TovSerial *>(device);
    if (!serial || serial->port().lastOpenError() == SerialPort::OpenError::None)
        return std::nullopt;
    return OpenRefusal{path, serial->port().lastOpenError(), serial->port().lastError()};
}

DeviceController *DeviceController::ShareDeviceController()
{
    return Singleton<DeviceController>::instance();
}

bool DeviceController::exists()
{
    return Singleton<DeviceController>::exists();
}

DeviceController::DeviceController()
    : m_silenceTimer(this), m_ackGrace(this), m_lookAgain(this), m_fromWorker(this)
{
    if (QCoreApplication::instance())
        moveToThread(QCoreApplication::instance()->thread());
    const LinkTiming timing = LinkTiming::current();
    m_parser.setSilenceTimeout(timing.silenceTimeoutMs);
    m_silenceTimer.setSingleShot(true);
    connect(&m_silenceTimer, &QTimer::timeout, this, [this] {
        // The time-out is silence of the line, not of this thread: when the GUI thread was busy,
        // the rest of the frame may be waiting on the port already.
        auto *serial = dynamic_cast<TovSerial *>(m_curDevice.get());
        if (m_readPaused) {
            // The worker has the port: the rest of the frame comes when reading resumes.
            m_silenceTimer.start(LinkTiming::current().silenceTimeoutMs);
            return;
        }
        if (serial && isReading() && serial->readDataWaiting() > 0) {
            readComData();
            if (m_parser.hasPartialFrame() && !m_silenceTimer.isActive())
                m_silenceTimer.start(LinkTiming::current().silenceTimeoutMs);
            return;
        }
        m_parser.expire(monotonicMs());
        queueFrames(m_parser.takeRecovered());
        if (m_parser.hasPartialFrame())
            m_silenceTimer.start(LinkTiming::current().silenceTimeoutMs);
    });
    m_ackGrace.setSingleShot(true);
    connect(&m_ackGrace, &QTimer::timeout, this, [this] {
        if (!m_awaitingAck)
            return;
        PollixLog(QStringLiteral("wait time out."));
        finishOffer();
    });
    connect(&m_lookAgain, &QTimer::timeout, this, &DeviceController::lookAgainAtNamedPorts);
    addInterestInDeviceType(0);
}

DeviceController::~DeviceController()
{
    m_worker.stop();
    for (auto &[path, worker] : m_probeWorkers)
        worker->stop();
    stopToRead();
    if (m_curDevice)
        m_curDevice->closeDevice();
}

void DeviceController::setAlertHandler(AlertHandler handler)
{
    std::lock_guard lock(g_alertMutex);
    g_alertHandler = std::move(handler);
}

void DeviceController::postDeviceChanged()
{
    NotificationCenter::defaultCenter()->postNotification(Notify::DeviceChanged);
}

void DeviceController::raiseAlert(const QString &title, const QString &text)
{
    AlertHandler handler;
    {
        std::lock_guard lock(g_alertMutex);
        handler = g_alertHandler;
    }
    if (handler)
        handler(title, text);
    else
        PollixLog(text);
}

void DeviceController::portRefused(const QString &path, SerialPort::OpenError error, const QString &reason)
{
    const bool toldBefore = m_refusedPorts.value(path) == reason;
    m_refusedPorts.insert(path, reason);
    if (!toldBefore && PortRefusal::isTold(error))
        raiseAlert(PortRefusal::alertTitle(), PortRefusal::alertText(path, error));
}

std::shared_ptr<TovDevice> DeviceController::currentDevice() const
{
    std::lock_guard lock(m_deviceMutex);
    return m_curDevice;
}

std::shared_ptr<TovDevice> DeviceController::currentDeviceOfModel(int type) const
{
    std::shared_ptr<TovDevice> device = currentDevice();
    return device && device->type() == type ? device : nullptr;
}

int DeviceController::addDeviceToArray(std::shared_ptr<TovDevice> device)
{
    for (int i = 0; i < m_arrayDevices.size(); ++i) {
        if (!m_arrayDevices.at(i)) {
            m_arrayDevices[i] = std::move(device);
            return i;
        }
    }
    m_arrayDevices.append(std::move(device));
    return int(m_arrayDevices.size()) - 1;
}

void DeviceController::removeDeviceFromArray(int index)
{
    if (index >= 0 && index < m_arrayDevices.size())
        m_arrayDevices[index].reset();
}

int DeviceController::deviceCount() const
{
    int n = 0;
    for (const auto &d : m_arrayDevices)
        n += d ? 1 : 0;
    return n;
}

// ---- discovery -------------------------------------------------------------------------------

void DeviceController::addInterestInDeviceType(int)
{
    QStringList paths;
    if (!UsbSerialWatcher::disabledByEnvironment()) {
        m_watcher = new UsbSerialWatcher(this);
        connect(m_watcher, &UsbSerialWatcher::portAdded, this, [this](const QString &path) {
            m_probeAgain.remove(path); // plugged in anew
            scanPorts({path}, true);
        });
        connect(m_watcher, &UsbSerialWatcher::portRemoved, this, &DeviceController::deviceRemovedAtPath);
        paths = m_watcher->start();
    }
    const QString extra = qEnvironmentVariable("POLLIX_SERIAL_PORTS");
    for (const QString &p : extra.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!m_namedPorts.contains(p))
            m_namedPorts << p;
        if (!paths.contains(p))
            paths << p;
    }
    if (!paths.isEmpty())
        scanPorts(paths);
    if (!m_namedPorts.isEmpty()) {
        // On the controller's own thread: a timer starts only there.
        QMetaObject::invokeMethod(&m_lookAgain, [this] { m_lookAgain.start(LinkTiming::current().lookAgainMs); });
    }
}

bool DeviceController::holdsPort(const QString &path) const
{
    for (const auto &d : m_arrayDevices) {
        if (d && d->bsdPath() == path)
            return true;
    }
    return false;
}

void DeviceController::lookAgainAtNamedPorts()
{
    QStringList changed;
    for (const QString &path : std::as_const(m_namedPorts)) {
        // A probe under way ends soon; the next look sees what it left.
        if (holdsPort(path) || m_probing.contains(path))
            continue;
        // A port that was refused, or is still the node its lost receiver was on, is left alone:
        // only a path that leads somewhere new is worth a probe.
        const QByteArray identity = portIdentity(path);
        if (!identity.isEmpty() && identity != m_probedIdentity.value(path)) {
            m_probeAgain.remove(path); // another device: it has its own probes again
            changed << path;
        }
    }
    if (!changed.isEmpty())
        scanPorts(changed, true);
}

void DeviceController::setBeforeProbe(std::function<void(const QString &path)> hook)
{
    std::lock_guard lock(m_deviceMutex);
    m_beforeProbe = std::move(hook);
}

LinkWorker &DeviceController::probeWorker(const QString &path)
{
    std::unique_ptr<LinkWorker> &worker = m_probeWorkers[path];
    if (!worker)
        worker = std::make_unique<LinkWorker>();
    return *worker;
}

struct DeviceController::ProbeBatch
{
    QStringList paths;
    QList<ProbeResult> results;
    int left = 0;
};

void DeviceController::scanPorts(const QStringList &paths, bool pluggedInNow)
{
    if (m_lettingGo)
        return;
    QStringList fresh;
    for (const QString &p : paths) {
        if (holdsPort(p) || fresh.contains(p))
            continue;
        if (const auto probing = m_probing.find(p); probing != m_probing.end()) {
            // The probe under way may have met what was at the path before: once more when it is done.
            probing->again = true;
            probing->pluggedInNow = probing->pluggedInNow || pluggedInNow;
            continue;
        }
        fresh << p;
    }
    if (fresh.isEmpty())
        return;
    auto batch = std::make_shared<ProbeBatch>();
    batch->paths = fresh;
    batch->results.resize(fresh.size());
    batch->left = int(fresh.size());
    for (int i = 0; i < fresh.size(); ++i) {
        const QString &path = fresh.at(i);
        m_probing.insert(path, Probing{});
        if (m_namedPorts.contains(path))
            m_probedIdentity.insert(path, portIdentity(path));
        ++m_jobsInFlight;
        probeWorker(path).post([this, batch, i, path, pluggedInNow] {
            ProbeResult result = probePort(path, pluggedInNow);
            m_fromWorker.post([this, batch, i, result = std::move(result)] {
                --m_jobsInFlight;
                batch->results[i] = result;
                if (--batch->left == 0)
                    takeProbeResults(batch->paths, batch->results);
            });
        });
    }
}

DeviceController::ProbeResult DeviceController::probePort(const QString &path, bool pluggedInNow)
{
    std::function<void(const QString &)> hook;
    {
        std::lock_guard lock(m_deviceMutex);
        hook = m_beforeProbe;
    }
    if (hook)
        hook(path);
    PollixLog(path);
    const LinkTiming timing = LinkTiming::current();
    if (timing.scanDelayMs > 0)
        QThread::msleep(ulong(timing.scanDelayMs));
    ProbeResult result;
    std::shared_ptr<TovDevice> device = std::make_shared<TovArvel>();
    if (!device->detectDevice(path)) {
        // A port that does not open refuses every model's probe alike.
        const auto refusal = openRefusal(device.get(), path);
        if (refusal && refusal->error != SerialPort::OpenError::Setup) {
            result.refusal = refusal;
            return result;
        }
        const TovSerial::Hearing smallFamily = hearingOf(device.get());
        device = std::make_shared<TovDravel>();
        if (!device->detectDevice(path)) {
            if (const auto again = openRefusal(device.get(), path))
                result.refusal = again;
            else
                result.unanswered = std::max(smallFamily, hearingOf(device.get())) == TovSerial::Hearing::NoAnswerAmongBytes;
            return result;
        }
    }
    if (!pluggedInNow) {
        if (auto *serial = dynamic_cast<TovSerial *>(device.get()))
            serial->forgetKeysBeforeAnswer();
    }
    const QString name = TovDevice::modelNameForType(device->type());
    device->setDeviceNameValue(name);
    device->setDeviceDescription(name);
    result.device = device;
    return result;
}

void DeviceController::takeProbeResults(const QStringList &paths, const QList<ProbeResult> &results)
{
    int last = -1;
    for (int i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        const ProbeResult &result = results.at(i);
        const Probing probing = m_probing.take(path);
        if (m_lettingGo) {
            if (result.device)
                result.device->closeDevice();
            continue;
        }
        if (result.unanswered)
            probeAgainLater(path);
        else
            m_probeAgain.remove(path);
        if (result.device) {
            m_refusedPorts.remove(path);
            last = addDeviceToArray(result.device);
            m_curDeviceType = result.device->type();
            m_usbDeviceType = result.device->type();
        }
        if (result.refusal)
            portRefused(result.refusal->path, result.refusal->error, result.refusal->reason);
        if (probing.again && !result.device)
            scanPorts({path}, probing.pluggedInNow);
    }
    // Only the one that becomes current is read: the others wait in their slots, closed.
    for (const ProbeResult &result : results) {
        if (result.device && result.device != m_arrayDevices.value(last))
            result.device->closeDevice();
    }
    if (last >= 0) {
        PollixLogf("index of device : %d", last);
        myDeviceAdded(last);
    }
}

void DeviceController::probeAgainLater(const QString &path)
{
    // Each time a little later, and a few times only: a device that is no receiver but talks is
    // not asked on and on.
    constexpr int kMostProbesAgain = 5;
    ProbeAgain &again = m_probeAgain[path];
    if (again.probes >= kMostProbesAgain) {
        again.ticket = 0;
        PollixLogf("no answer among what %s sends: it is not probed again until it is plugged in again",
                   qPrintable(path));
        return;
    }
    const int delayMs = LinkTiming::current().lookAgainMs << again.probes;
    ++again.probes;
    const quint64 ticket = ++m_probeTickets;
    again.ticket = ticket;
    PollixLogf("no answer among what %s sends: it is probed again in %d ms", qPrintable(path), delayMs);
    QTimer::singleShot(delayMs, this, [this, path, ticket] {
        // Plugged in anew or let go of meanwhile: what comes then decides.
        if (m_probeAgain.value(path).ticket == ticket)
            scanPorts({path});
    });
}

bool DeviceController::waitUntilIdle(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_jobsInFlight > 0) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (m_jobsInFlight > 0)
            QThread::msleep(2);
    }
    return true;
}

// ---- current receiver ------------------------------------------------------------------------

void DeviceController::myDeviceAdded(int index)
{
    if (index < 0 || index >= m_arrayDevices.size() || !m_arrayDevices.at(index))
        return;
    if (m_curDeviceIndex >= 0 && m_curDevice) {
        stopToRead();
        m_curDevice->closeDevice();
    }
    m_bHaveDevice = false;
    m_curDeviceIndex = index;
    {
        std::lock_guard lock(m_deviceMutex);
        m_curDevice = m_arrayDevices.at(index);
    }
    openCurrentAsync();
}

void DeviceController::openCurrentAsync()
{
    const std::shared_ptr<TovDevice> device = m_curDevice;
    const quint64 generation = ++m_openGeneration;
    ++m_jobsInFlight;
    m_worker.post([this, device, generation] {
        const bool opened = device->openDevice();
        // What the keypads sent while its probe listened comes before what is read from now on.
        TovSerial::ProbeKeys heard;
        if (auto *serial = dynamic_cast<TovSerial *>(device.get()); serial && opened)
            heard = serial->takeProbeKeys();
        QByteArray keys;
        const bool sameChannel = opened && checkChannels(device.get(), &keys);
        const QList<DataOfFrame> frames = heard.beforeAnswer + heard.afterAnswer;
        keys.prepend(heard.rest);
        m_fromWorker.post([this, device, generation, opened, sameChannel, frames, keys] {
            --m_jobsInFlight;
            afterOpen(device, generation, opened, sameChannel, frames, keys);
        });
    });
}

void DeviceController::afterOpen(std::shared_ptr<TovDevice> device, quint64 generation, bool opened, bool sameChannel,
                                 const QList<DataOfFrame> &frames, const QByteArray &keys)
{
    if (generation != m_openGeneration || device != m_curDevice) {
        // Another receiver became current meanwhile.
        if (device != m_curDevice)
            device->closeDevice();
        return;
    }
    if (!opened) {
        PollixLogf("open failed: %s", qPrintable(device->bsdPath()));
        // Taken by another program (or its permissions changed) since it was probed.
        if (const auto refusal = openRefusal(device.get(), device->bsdPath()))
            portRefused(refusal->path, refusal->error, refusal->reason);
        myDeviceRemoved(m_curDeviceIndex);
        return;
    }
    m_refusedPorts.remove(device->bsdPath());
    startToRead();
    // Before anything read from now on.
    queueFrames(frames);
    if (!keys.isEmpty())
        receiveBytes(keys);
    m_bHaveDevice = true;
    postDeviceChanged();
    if (sameChannel) {
        raiseAlert(QStringLiteral("Pollix ARS"),
                   QStringLiteral("Two main receivers have the same channel, please change the channel number for any "
                                  "one of them."));
    }
}

bool DeviceController::checkChannels(TovDevice *device, QByteArray *keys)
{
    // The query is a large-family frame; a small-family receiver would take it for garbage.
    if (familyOfType(device->type()) != 1)
        return false;
    *keys = sameChannelExchange(device);
    return takeSameChannelAnswer(*keys);
}

bool DeviceController::takeSameChannelAnswer(QByteArray &bytes)
{
    const qsizetype at = bytes.indexOf(SetupFrames::sameChannelAnswer());
    if (at < 0)
        return false;
    bytes.remove(at, SetupFrames::sameChannelAnswer().size());
    return true;
}

void DeviceController::setBeforeWorkerUsesPort(std::function<void(int fd)> hook)
{
    std::lock_guard lock(m_deviceMutex);
    m_beforeWorkerUsesPort = std::move(hook);
}

QByteArray DeviceController::sameChannelExchange(TovDevice *device)
{
    auto *serial = dynamic_cast<TovSerial *>(device);
    if (!serial)
        return {};
    // The GUI thread closes the port when the receiver goes or the program ends, whatever the
    // worker is doing; the number it gives up may be another file's at once.
    SerialPort::Duplicate port(serial->port());
    if (!port.isOpen())
        return {};
    std::function<void(int fd)> hook;
    {
        std::lock_guard lock(m_deviceMutex);
        hook = m_beforeWorkerUsesPort;
    }
    if (hook)
        hook(port.fd());
    if (!TovSerial::sendThrough(port, SetupFrames::sameChannelQuery()))
        return {};
    // Only a clashing receiver answers: silence for the whole wait means no clash, and the answer
    // ends the wait at once.
    const QDeadlineTimer deadline(LinkTiming::current().sameChannelWaitMs);
    constexpr qsizetype kMostBytes = 64 * 1024; // a bound a busy class never reaches
    QByteArray bytes;
    char buffer[256];
    for (;;) {
        // Whatever keypads send meanwhile is read too; a port that answers with an error (unplugged
        // meanwhile) has nothing more to tell.
        while (bytes.size() < kMostBytes) {
            const int n = port.readSome(buffer, sizeof buffer);
            if (n < 0) {
                PollixLog(QStringLiteral("The port answered the channel question with an error: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
                return bytes;
            }
            if (n == 0)
                break;
            bytes.append(buffer, n);
        }
        if (bytes.size() >= kMostBytes || bytes.contains(SetupFrames::sameChannelAnswer()) || deadline.hasExpired())
            return bytes;
        QThread::msleep(2);
    }
}

void DeviceController::checkChannelsOfCurrent(std::function<void(bool conflict)> done)
{
    const std::shared_ptr<TovDevice> device = m_curDevice;
    if (device && isReading() && !m_readPaused)
        readComData(); // what is waiting belongs to frames before the query
    if (!device || device != m_curDevice || !isReading() || m_readPaused || familyOfType(device->type()) != 1) {
        if (done)
            done(false);
        return;
    }
    m_readPaused = true;
    m_readNotifier->setEnabled(false);
    const quint64 generation = m_openGeneration;
    ++m_jobsInFlight;
    m_worker.post([this, device, generation, done] {
        const QByteArray bytes = sameChannelExchange(device.get());
        m_fromWorker.post([this, device, generation, done, bytes] {
            --m_jobsInFlight;
            const bool same = generation == m_openGeneration && device == m_curDevice;
            QByteArray keys = bytes;
            const bool conflict = takeSameChannelAnswer(keys) && same;
            if (same) {
                m_readPaused = false;
                if (m_readNotifier)
                    m_readNotifier->setEnabled(true);
                if (!keys.isEmpty())
                    receiveBytes(keys);
            }
            if (done)
                done(conflict);
        });
    });
}

void DeviceController::letGoOfReceivers()
{
    m_lettingGo = true;
    m_lookAgain.stop();
    m_probeAgain.clear();
    ++m_openGeneration; // an open under way is not taken up when it is done
    stopToRead();
    if (m_curDevice)
        m_curDevice->closeDevice();
    m_bHaveDevice = false;
    PollixLog(QStringLiteral("The receiver's port is let go of"));
}

void DeviceController::myDeviceRemoved(int index)
{
    if (index < 0 || index >= m_arrayDevices.size())
        return;
    if (index != m_curDeviceIndex) {
        removeDeviceFromArray(index);
        return;
    }
    m_bHaveDevice = false;
    PollixLog(QStringLiteral("bHaveDevice = NO"));
    stopToRead();
    if (m_curDevice)
        m_curDevice->closeDevice();
    m_usbDeviceType = -1;
    removeDeviceFromArray(index);
    ++m_openGeneration;
    fallBack();
}

void DeviceController::fallBack()
{
    int found = -1;
    for (int i = int(m_arrayDevices.size()) - 1; i >= 0; --i) {
        if (m_arrayDevices.at(i)) {
            found = i;
            break;
        }
    }
    m_curDeviceIndex = found;
    PollixLogf("cur device index after remove : %d", found);
    {
        std::lock_guard lock(m_deviceMutex);
        m_curDevice = found >= 0 ? m_arrayDevices.at(found) : nullptr;
    }
    if (found >= 0) {
        m_usbDeviceType = m_curDevice->type();
        openCurrentAsync();
    } else {
        postDeviceChanged();
    }
}

void DeviceController::deviceRemovedAtPath(const QString &path)
{
    m_refusedPorts.remove(path); // plugged in again, it is told again
    m_probeAgain.remove(path);
    for (int i = 0; i < m_arrayDevices.size(); ++i) {
        if (m_arrayDevices.at(i) && m_arrayDevices.at(i)->bsdPath() == path) {
            myDeviceRemoved(i);
            return;
        }
    }
}

// ---- reading ---------------------------------------------------------------------------------

void DeviceController::startToRead()
{
    PollixLog(QStringLiteral("start to read com\n"));
    stopToRead();
    if (!m_curDevice || m_curDevice->fileDescriptor() < 0)
        return;
    m_parser.setFamily(familyOfType(m_curDevice->type()));
    m_parser.setSilenceTimeout(LinkTiming::current().silenceTimeoutMs);
    m_parser.reset();
    m_readNotifier = new QSocketNotifier(m_curDevice->fileDescriptor(), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &DeviceController::readComData);
}

void DeviceController::stopToRead()
{
    m_readPaused = false;
    if (m_readNotifier) {
        PollixLog(QStringLiteral("stop to read com\n"));
        m_readNotifier->setEnabled(false);
        m_readNotifier->deleteLater();
        m_readNotifier = nullptr;
    }
    m_silenceTimer.stop();
}

void DeviceController::readComData()
{
    if (m_readPaused)
        return;
    auto *serial = dynamic_cast<TovSerial *>(m_curDevice.get());
    if (!serial) {
        PollixLog(QStringLiteral("no device."));
        stopToRead();
        return;
    }
    QByteArray bytes;
    const SerialPort::ReadStatus status = serial->port().read(bytes);
    if (!bytes.isEmpty())
        receiveBytes(bytes);
    if (status == SerialPort::ReadStatus::HangUp) {
        PollixLogf("receiver gone: %s", qPrintable(serial->bsdPath()));
        myDeviceRemoved(m_curDeviceIndex);
    }
}

void DeviceController::receiveBytes(const QByteArray &bytes)
{
    queueFrames(m_parser.feed(bytes, monotonicMs()));
    if (m_parser.hasPartialFrame())
        m_silenceTimer.start(LinkTiming::current().silenceTimeoutMs);
    else
        m_silenceTimer.stop();
}

void DeviceController::queueFrames(const QList<DataOfFrame> &frames)
{
    for (const DataOfFrame &f : frames)
        m_receiveFrames.push_back(f);
    m_framesParsed += quint64(frames.size());
    if (!frames.isEmpty())
        scheduleOffer();
}

// ---- hand-off --------------------------------------------------------------------------------

void DeviceController::setDelegateOfPort(QObject *listener)
{
    if (listener == m_listener.data())
        return;
    disconnect(m_listenerDestroyed);
    m_listener = listener;
    if (listener) {
        m_listenerDestroyed = connect(listener, &QObject::destroyed, this, [this] {
            if (m_awaitingAck)
                finishOffer();
        });
    }
    // The window that was offered the pending frame has handed the role on.
    if (m_awaitingAck)
        finishOffer();
    else
        scheduleOffer();
}

DataOfFrame DeviceController::frameToHandle() const
{
    return m_current;
}

void DeviceController::signalConditionOfDataHandled()
{
    if (QThread::currentThread() != thread()) {
        m_fromWorker.post([this] { signalConditionOfDataHandled(); });
        return;
    }
    if (m_awaitingAck)
        finishOffer();
}

void DeviceController::finishOffer()
{
    m_awaitingAck = false;
    m_ackGrace.stop();
    scheduleOffer();
}

void DeviceController::scheduleOffer()
{
    if (m_offerScheduled || m_awaitingAck || m_receiveFrames.empty())
        return;
    m_offerScheduled = true;
    QMetaObject::invokeMethod(this, &DeviceController::offerNext, Qt::QueuedConnection);
}

void DeviceController::offerNext()
{
    m_offerScheduled = false;
    if (m_awaitingAck || m_receiveFrames.empty())
        return;
    QObject *listener = m_listener.data();
    m_current = m_receiveFrames.front();
    m_receiveFrames.pop_front();
    if (!listener) {
        ++m_framesDropped;
        scheduleOffer();
        return;
    }
    m_awaitingAck = true;
    const quint64 seq = ++m_offerSeq;
    ++m_framesDelivered;
    const bool invoked = QMetaObject::invokeMethod(listener, "handleMachMessage", Qt::DirectConnection);
    if (!invoked) {
        PollixLogf("listener %s has no handleMachMessage", listener->metaObject()->className());
        if (m_awaitingAck && seq == m_offerSeq)
            finishOffer();
    } else if (m_awaitingAck && seq == m_offerSeq) {
        m_ackGrace.start(LinkTiming::current().ackGraceMs);
    }
    emit frameOffered();
}
