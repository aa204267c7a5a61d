#pragma once

#include "SimFrame.h"
#include "SimKeypad.h"
#include "SimModel.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

namespace keypadsim {

// A simulated receiver with its keypads, on a pseudo-terminal. The program opens portPath() as
// it would a USB serial port. The receiver runs on a thread of its own; every public call is
// thread-safe, so a test can script keypads while the program's GUI thread reads.
//
// It answers the receiver commands, refuses input sent at the wrong speed or outside raw 8N1,
// fills every byte the program must not rely on with seeded random values, logs every byte with
// its time, and can drop or corrupt the frames it sends on request. Commands are looked up in a
// table (setCommandHandler), so more of them can be modelled without touching the core.
class SimReceiver
{
public:
    struct Options
    {
        Model model = Model::Dravel;
        quint32 seed = 1;
        bool paceLine = true;          // send no faster than the line's speed (10 bits a byte)
        int firmwareMajor = 2;         // version answer
        int firmwareMinor = 7;
        int channel = 0;               // radio channel (0..39 large family, 0..49 small)
        int band = 0;                  // small family band 0..3
        bool sameChannelConflict = false; // answer the same-channel query as a clashing receiver
        int neighbourChannel = -1;     // another main receiver in the room works on this channel
        bool arvelProbeAnswersF8 = false; // an Arvel that answers the identify with 7B ?? F8
        int silenceTimeoutMs = 100;    // a partial command is dropped after this much silence
        // Where the program finds the receiver: a symbolic link to the pseudo-terminal, made by
        // start() and re-pointed by plug(), so that the receiver comes back on the same path as a
        // USB receiver does. Empty: the pseudo-terminal's own path (a new one after each plug).
        QString linkPath;
    };

    using CommandHandler = std::function<void(SimReceiver &receiver, const QByteArray &frame)>;

    explicit SimReceiver(const Options &options);
    ~SimReceiver();
    SimReceiver(const SimReceiver &) = delete;
    SimReceiver &operator=(const SimReceiver &) = delete;

    // Creates the pseudo-terminal (and the link to it) and starts the receiver's thread.
    bool start();
    QString errorString() const;
    // The path the program opens: the link when there is one, else the pseudo-terminal.
    QString portPath() const;
    // The pseudo-terminal the receiver is on now.
    QString ptyPath() const;
    Model model() const { return m_options.model; }
    const ModelInfo &info() const { return modelInfo(m_options.model); }
    Options options() const;

    // Another main receiver switched on in the room (-1: none): the same-channel query is
    // answered as a clash while this receiver's channel is the same.
    void setNeighbourChannel(int channel);

    // Ends the receiver as if its USB plug were pulled: the program's port hangs up and the link
    // goes, as a USB port's device node does.
    void unplug();
    // Plugs the receiver in again, on a new pseudo-terminal behind the same link: it starts as a
    // receiver does when powered (nothing half-received, nothing queued, student keypads heard),
    // and its keypads keep what they hold (logins, device numbers, answers to hand in). True when
    // it is plugged in (also when it already was); otherwise errorString() says why.
    bool plug();
    bool isPlugged() const { return m_masterFd.load() >= 0; }
    // A program that ends without letting go of the port (killed, crashed) leaves the pseudo-
    // terminal in exclusive use for as long as the receiver holds its master side, where a USB
    // serial port is freed by its last close. So when the program's side hangs up in exclusive
    // use, the receiver comes back on a fresh pseudo-terminal behind the same link, powered all
    // along: its keypads keep what they hold, and what was queued for the program that went is
    // lost. Each time, the handler (if any) is called with the new pseudo-terminal's path, on the
    // receiver's thread.
    void setPortRenewedHandler(std::function<void(const QString &ptyPath)> handler);
    int portRenewals() const;

    // Keypads.
    void addKeypad(int id);
    void addKeypads(int firstId, int count);
    QList<int> keypadIds() const;
    SimKeypad keypad(int id) const;
    // The teacher keypad's low address byte (large family, high byte EF).
    void setTeacherAddress(quint8 low);

    // A keypad's frame carries at most this many data bytes (the program drops a longer one).
    static constexpr int kMaxFrameData = 64;
    // The longest student ID a keypad of the model takes: both answers to its login (accepted,
    // refused) echo the ID, and the program's frames carry at most 60 data bytes (its check byte
    // covers 64 bytes at most) with five bytes before the echo (the refusal's echo on Corvel
    // starts with the login's F7, behind six more). 0 for models without logins.
    static int longestStudentId(Model model);

    // Keypad actions (each sends the keypad's frame to the program).
    // Corvel: F8 form; Dravel: FE form; other models have no login (nothing is sent). A student
    // ID longer than longestStudentId() is refused as the keypad's field refuses it, nothing is
    // sent and the reason is returned; a name is cut (whole characters) to what the frame holds.
    // The keypad keeps the ID and the name and logs in with them again when woken.
    QString login(int id, const QString &studentId, const QString &name = {});
    // Small family: one key character ("A".."H"); large family: the answer text. A text that
    // does not fit one frame is refused (the reason returned), as a keypad holds no more.
    QString answer(int id, const QString &text);
    // The rush signal (small family: key "G").
    void buzz(int id);
    // Small family: after "stop input" (Arvel 5B 80 DB, Envel 5A 81 DB) student keypads are not
    // heard until "receiver on" (5A 80 DA); the teacher keypad always is, since its keys steer the
    // program between questions.
    // Teacher keypad key: small family 00 code; large family F4 T EF code.
    void pressTeacherKey(quint8 code);
    // The keypads' answer to the wake frame (large family).
    void wakeUpReply(int id);
    // Paging through a paper quiz: Brevel previous/next keys (F8 F5 ..); small family "G"/"F".
    void navigate(int id, bool next);
    // Large-family student requests (F5 frames): a question of its own, the question text, the
    // current state; the exam-start report; logging out (F6).
    void signalQuestion(int id);
    void askForQuestion(int id);
    void askCurrentState(int id);
    void examStart(int id);
    void logout(int id);
    // Teacher keypad (large family): login (FE) and a query (F8 code, arguments).
    void teacherLogin();
    void teacherQuery(quint8 code, const QByteArray &arguments = {});
    // Answer upload of homework and paper quiz (Corvel, Dravel): the keypad holds its answers by
    // question number, asks to upload (FB 0E), sends them in FA frames when the host signals
    // (FB E0) and resends what the host's receipt (FB E4) lacks.
    void setUploadAnswers(int id, const QMap<int, QString> &answers);
    void requestUpload(int id);
    // The radio loses this share of the upload's frames either way (requests, answer frames,
    // the host's signals and receipts), each on its own and seeded; 0 by default.
    void setUploadLossPercent(int percent);
    // Any keypad frame: a long frame with the keypad's address (its device number once logged in).
    void keypadFrame(int id, quint8 cmd, const QByteArray &data);
    // Any teacher keypad frame: address T EF.
    void teacherFrame(quint8 cmd, const QByteArray &data);

    // Frames and bytes to the program. sendFrame is subject to drop/corrupt requests.
    void sendFrame(const QByteArray &frame);
    void sendRaw(const QByteArray &bytes);
    void dropNextFrames(int count);
    // A receiver that hears the program but answers nothing (its commands are logged, not handled).
    void setCommandsIgnored(bool ignored);
    void corruptNextFrames(int count);
    void setLinePacing(bool on);
    // Frames queued to the program and not yet written.
    int pendingOutput() const;
    // Until every frame is written, or no program holds the port to write it to.
    bool waitForOutputDrained(int timeoutMs) const;
    // What a real receiver's USB bridge keeps of what the receiver sends while no program holds
    // its port (the chips hold a few hundred bytes, 256 to 576 on the common ones): the oldest
    // bytes, written to the program once it opens the port; the newer ones are lost, as a full
    // chip loses them.
    static constexpr int kHeldWithoutProgram = 512;
    // Bytes lost so far that way.
    qsizetype bytesLostWithoutProgram() const;
    // Whether a program holds the port, as the receiver's thread last saw.
    bool programHoldsPort() const;

    // What crossed the line.
    QList<SimFrame> framesFromProgram() const; // whole commands the program sent (not refused)
    QList<SimFrame> framesToProgram() const;   // frames sent (or dropped) to the program
    QList<SimFrame> byteLog() const;           // every chunk of bytes either way, refused input too
    int refusedInputCount() const;
    void clearLogs();
    // Blocks until the program has sent `count` commands in all (since the last clearLogs).
    // It blocks the calling thread: on the program's GUI thread use an event-processing wait.
    bool waitForFramesFromProgram(int count, int timeoutMs) const;
    // Writes each log entry as it happens (the command-line tool's trace).
    void setTrace(FILE *out);

    // Extension points for later models of the keypads' side.
    void setCommandHandler(quint8 command, CommandHandler handler);
    // The handler in place for a command (empty when none), so that a model can add to it.
    CommandHandler commandHandler(quint8 command) const;
    quint8 randomByte();
    qint64 elapsedNs() const;

    // Frame builders (the check byte is the XOR of every byte before it).
    static quint8 xorOf(const QByteArray &bytes);
    static QByteArray shortFrame(quint8 cmd, quint8 addrLow, quint8 addrHigh, quint8 data);
    static QByteArray longFrame(quint8 cmd, int address, const QByteArray &data);
    static QByteArray smallFrame(quint8 b0, quint8 b1);

private:
    friend class SimReceiverCommands;

    void run();
    void wake();
    void handleInput(const QByteArray &bytes);
    void parseCommands();
    void dispatch(const QByteArray &frame);
    void onUploadCommand(const QByteArray &frame);
    void sendUploadFrames(SimKeypad &keypad, const QList<int> &questions);
    bool uploadFrameLost(); // caller holds the lock
    QByteArray randomBytes(int count);
    void queueOut(const QByteArray &bytes, bool asFrame);
    // Cuts what waits for the program to what the bridge holds (the lock held).
    void keepWhatTheBridgeHolds();
    void logEntry(const SimFrame &entry);
    void closeMaster();
    // The fresh pseudo-terminal for a port the program left in exclusive use (the receiver's
    // thread); false when it was unplugged meanwhile or none could be made.
    bool renewPort(int oldFd);
    // A new pseudo-terminal master (non-blocking) and its path; false with m_error set.
    bool openPseudoTerminal(int *fd, QString *path);
    // Points the link at the pseudo-terminal (replacing the link in one step); false with m_error.
    bool pointLink(const QString &target);
    void removeLink();

    Options m_options;
    QString m_ptyPath; // guarded by m_mutex once the thread runs
    QString m_error;
    std::atomic<int> m_masterFd{-1};
    std::atomic<int> m_portGeneration{0}; // one more for each pseudo-terminal after the first
    int m_wakeFds[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::chrono::steady_clock::time_point m_start;

    mutable std::recursive_mutex m_mutex; // handlers may call back into the public API
    mutable std::condition_variable_any m_cond;
    std::mt19937 m_random;
    QMap<int, SimKeypad> m_keypads;
    quint8 m_teacherLow = 0x01;
    QMap<quint8, CommandHandler> m_handlers;
    QByteArray m_input;
    std::chrono::steady_clock::time_point m_lastInput;
    struct Out
    {
        QByteArray bytes;
        bool inBridge = false; // sent while no program held the port: past the line already
    };
    std::deque<Out> m_out;
    QByteArray m_writing; // the frame being written
    bool m_writingInBridge = false;
    bool m_programHolds = false; // a program has the port open, as the receiver's thread last saw
    // Whether the next bytes to write wait in the bridge (they go at once, not at the line's pace).
    bool nextFromBridge() const
    {
        return m_writing.isEmpty() ? !m_out.empty() && m_out.front().inBridge : m_writingInBridge;
    }
    qsizetype m_lostWithoutProgram = 0;
    std::chrono::steady_clock::time_point m_nextWrite;
    int m_dropNext = 0;
    int m_corruptNext = 0;
    bool m_commandsIgnored = false;
    int m_uploadLoss = 0;
    bool m_receiving = true;
    QList<SimFrame> m_fromProgram;
    QList<SimFrame> m_toProgram;
    QList<SimFrame> m_bytes;
    int m_refused = 0;
    FILE *m_trace = nullptr;
    std::function<void(const QString &)> m_portRenewed;
    int m_portRenewals = 0;
};

} // namespace keypadsim
