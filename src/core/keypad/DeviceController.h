#pragma once

#include "DataOfFrame.h"
#include "FrameParser.h"
#include "LinkWorker.h"
#include "TovDevice.h"
#include "platform/PostedCalls.h"
#include "platform/SerialPort.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

class QSocketNotifier;
class UsbSerialWatcher;
template <typename T> class Singleton;

// The receiver manager: finds receivers (udev USB bridges plus the paths in POLLIX_SERIAL_PORTS),
// probes each for its model, keeps them in slots, opens one as the current receiver, reads it and
// hands its frames to the one listening object.
//
// Threads: everything here runs on the GUI thread except probing and opening, which run on
// worker threads (they pause for the hardware): each port is probed on a thread of its own, and
// the current receiver is opened and asked on another; their results come back to the GUI thread.
//
// Frame hand-off: each frame is offered to the listener once, in arrival order, by calling its
// handleMachMessage() (a slot or Q_INVOKABLE, invoked by name). The listener reads the frame with
// frameToHandle() and calls signalConditionOfDataHandled(); only then is the next frame offered.
// A frame is dropped only when no object listens. A listener that returns from handleMachMessage
// without acknowledging is waited for (LinkTiming::ackGraceMs) and then passed over with
// "wait time out."; changing the listener also ends the wait.
class DeviceController : public QObject
{
    Q_OBJECT
public:
    static DeviceController *ShareDeviceController();
    static bool exists();

    std::shared_ptr<TovDevice> currentDevice() const;
    // The current receiver when it is of this model, else none: a set-up window works with the
    // frames and keypads of the model it opened for, and takes a receiver of another model
    // plugged in meanwhile for no receiver ("No Host"), sending it nothing.
    std::shared_ptr<TovDevice> currentDeviceOfModel(int type) const;
    int currentDeviceType() const { return m_curDeviceType; }
    int usbDeviceType() const { return m_usbDeviceType; }
    bool getBHaveDevice() const { return m_bHaveDevice; }
    int curDeviceIndex() const { return m_curDeviceIndex; }
    void setCurDeviceType(int type) { m_curDeviceType = type; }
    void setUSBDeviceTye(int type) { m_usbDeviceType = type; }

    // Slots: a device, or empty (nullptr) after its receiver was unplugged.
    int addDeviceToArray(std::shared_ptr<TovDevice> device);
    void removeDeviceFromArray(int index);
    QList<std::shared_ptr<TovDevice>> arrayDevices() const { return m_arrayDevices; }
    int deviceCount() const;

    void myDeviceAdded(int index);
    void myDeviceRemoved(int index);
    // Removal by port path (udev); unknown paths are ignored.
    void deviceRemovedAtPath(const QString &path);

    // Discovery: udev (unless POLLIX_NO_UDEV) and POLLIX_SERIAL_PORTS, at creation. Afterwards the
    // watcher reports USB receivers as they come, and the named ports that hold no receiver are
    // looked at every LinkTiming::lookAgainMs: one whose path leads to another device than at
    // its last probe (a receiver plugged in again, on the same path) is probed again. A port of
    // either kind that sent bytes but no answer among them (its keypads kept the answer from being
    // heard) is probed again too, later each time and a few times at most.
    void addInterestInDeviceType(int type = 0);
    QStringList namedPorts() const { return m_namedPorts; }
    // Probes these ports, each on a thread of its own: a port that takes long to be refused (one
    // that sends bytes but no answer) holds up no other port, and the current receiver's own work
    // (its open, its channel query) runs on a worker that no probe uses. The receivers among them
    // join the slots in the order named once every port named is probed, and the last one becomes
    // current, read on from where its probe stopped. pluggedInNow: the ports were plugged in right
    // before (a device event, a named path that leads to a new device), so the keys their USB
    // bridge held when the probe opened the port were pressed since, and reach the listener.
    void scanPorts(const QStringList &paths, bool pluggedInNow = false);
    // Called on the probing thread with the port it is about to probe; tests hold a probe there.
    void setBeforeProbe(std::function<void(const QString &path)> hook);
    // Why the port at path could not be opened at all (another program holds it, this account may
    // not use it); empty when it was not refused, or has opened since.
    QString refusalOf(const QString &path) const { return m_refusedPorts.value(path); }
    // True while probing or opening is under way.
    bool isBusy() const { return m_jobsInFlight > 0; }
    // Whether the port that sent bytes but no answer is still to be probed again.
    bool probesAgain(const QString &path) const { return m_probeAgain.value(path).ticket != 0; }
    // Processes events until no probe or open is under way (start-up waits so that the system
    // choice sees the receiver); false on time-out.
    bool waitUntilIdle(int timeoutMs);

    void startToRead();
    void stopToRead();
    // The program is ending: the current receiver's port is closed now (its exclusive use ends
    // with it) and no port is looked at again.
    void letGoOfReceivers();
    bool isReading() const { return m_readNotifier != nullptr; }

    // The same-channel query on the current receiver, asked from a window while it is read: its
    // answer is five bytes that are no frame, so reading pauses while the worker asks and listens.
    // Keypad bytes read meanwhile go on to the parser. done(conflict) comes on the GUI thread;
    // false for a small-family receiver, none, or one replaced meanwhile.
    void checkChannelsOfCurrent(std::function<void(bool conflict)> done);
    // Called on the worker with the descriptor it is about to ask the current receiver through
    // (its own, as the GUI thread may close the port meanwhile); tests hold the worker there.
    void setBeforeWorkerUsesPort(std::function<void(int fd)> hook);

    // Hand-off (see the class comment).
    void setDelegateOfPort(QObject *listener);
    QObject *delegateOfPort() const { return m_listener.data(); }
    // The frame offered to the listener now (a copy); the null frame when none was offered.
    DataOfFrame frameToHandle() const;
    void signalConditionOfDataHandled();
    int queuedFrameCount() const { return int(m_receiveFrames.size()); }

    // Counters for diagnostics, tests and the benchmark.
    quint64 framesParsed() const { return m_framesParsed; }
    quint64 framesDelivered() const { return m_framesDelivered; }
    quint64 framesDroppedNoListener() const { return m_framesDropped; }
    FrameParser &parser() { return m_parser; }

    // How an alert reaches the teacher from this layer (the UI installs a real alert panel).
    using AlertHandler = std::function<void(const QString &title, const QString &text)>;
    static void setAlertHandler(AlertHandler handler);

    // Feeds bytes as if read from the current receiver (tests of the parse and hand-off).
    void receiveBytes(const QByteArray &bytes);

signals:
    // A frame was offered to the listener (after handleMachMessage returned).
    void frameOffered();

private:
    friend class Singleton<DeviceController>;
    DeviceController();
    ~DeviceController() override;

    void readComData();
    // Parsed frames join the queue for the listener, in order.
    void queueFrames(const QList<DataOfFrame> &frames);
    // Why a port could not be opened at all.
    struct OpenRefusal
    {
        QString path;
        SerialPort::OpenError error = SerialPort::OpenError::None;
        QString reason;
    };
    // Nothing when the device's last open went through (whatever its probe then heard). A port that
    // opened but refused this model's set-up is named too; it may still take another model's speed.
    static std::optional<OpenRefusal> openRefusal(TovDevice *device, const QString &path);
    struct ProbeResult
    {
        std::shared_ptr<TovDevice> device; // the receiver found, its port open
        std::optional<OpenRefusal> refusal;
        bool unanswered = false; // bytes came, but no answer among them
    };
    struct ProbeBatch;
    LinkWorker &probeWorker(const QString &path);
    // Runs on the port's probing thread.
    ProbeResult probePort(const QString &path, bool pluggedInNow);
    void takeProbeResults(const QStringList &paths, const QList<ProbeResult> &results);
    void openCurrentAsync();
    // frames: what the keypads sent while the receiver's probe listened; keys: the bytes read
    // behind them, while the receiver was asked about its channel too; both for the listener.
    void afterOpen(std::shared_ptr<TovDevice> device, quint64 generation, bool opened, bool sameChannel,
                   const QList<DataOfFrame> &frames, const QByteArray &keys);
    // Finds the highest slot that holds a device and makes it current; none: no receiver.
    void fallBack();
    bool holdsPort(const QString &path) const;
    void lookAgainAtNamedPorts();
    void probeAgainLater(const QString &path);
    void scheduleOffer();
    void offerNext();
    void finishOffer();
    // keys: every other byte heard meanwhile (the keypads' frames go on to the listener).
    bool checkChannels(TovDevice *device, QByteArray *keys);
    // Takes the same-channel answer out of the bytes heard around the query; true when it was there.
    // Keypad frames may come before or after it.
    static bool takeSameChannelAnswer(QByteArray &bytes);
    // Sends the query and returns every byte read until the answer came or the wait was over.
    // Runs on the worker, through a descriptor of its own.
    QByteArray sameChannelExchange(TovDevice *device);
    static void postDeviceChanged();
    static void raiseAlert(const QString &title, const QString &text);
    // Keeps why the port could not be opened; the teacher is told once per port and reason.
    void portRefused(const QString &path, SerialPort::OpenError error, const QString &reason);

    QList<std::shared_ptr<TovDevice>> m_arrayDevices;
    int m_curDeviceIndex = -1;
    std::shared_ptr<TovDevice> m_curDevice;
    mutable std::mutex m_deviceMutex; // guards m_curDevice for sender threads, and the hook below
    std::function<void(int fd)> m_beforeWorkerUsesPort;
    std::function<void(const QString &path)> m_beforeProbe;
    int m_curDeviceType = -1;
    int m_usbDeviceType = -1;
    bool m_bHaveDevice = false;
    quint64 m_openGeneration = 0;
    QHash<QString, QString> m_refusedPorts; // path -> the reason it could not be opened

    QSocketNotifier *m_readNotifier = nullptr;
    bool m_readPaused = false; // the worker reads the port (same-channel query)
    FrameParser m_parser;
    QTimer m_silenceTimer;

    std::deque<DataOfFrame> m_receiveFrames;
    DataOfFrame m_current;
    QPointer<QObject> m_listener;
    QMetaObject::Connection m_listenerDestroyed;
    bool m_awaitingAck = false;
    bool m_offerScheduled = false;
    quint64 m_offerSeq = 0;
    QTimer m_ackGrace;

    quint64 m_framesParsed = 0;
    quint64 m_framesDelivered = 0;
    quint64 m_framesDropped = 0;

    UsbSerialWatcher *m_watcher = nullptr;
    QStringList m_namedPorts; // POLLIX_SERIAL_PORTS at creation
    QHash<QString, QByteArray> m_probedIdentity; // named port -> what its path led to when probed
    QTimer m_lookAgain;
    struct ProbeAgain
    {
        int probes = 0;      // probed again so far, since it was plugged in
        quint64 ticket = 0;  // the probe to come; 0: none
    };
    QHash<QString, ProbeAgain> m_probeAgain; // ports that sent bytes but no answer
    quint64 m_probeTickets = 0;
    struct Probing
    {
        bool again = false;        // asked for meanwhile: probed once more when this probe is done
        bool pluggedInNow = false; // ... as a port plugged in right before
    };
    QHash<QString, Probing> m_probing; // ports whose probe is under way
    bool m_lettingGo = false;          // the program is ending: no port is taken up again
    int m_jobsInFlight = 0;
    PostedCalls m_fromWorker; // the workers' results, run on the GUI thread
    // Last: joined first on destruction. One thread per port probed, and one for the current
    // receiver's open and channel query.
    std::map<QString, std::unique_ptr<LinkWorker>> m_probeWorkers;
    LinkWorker m_worker;
};
