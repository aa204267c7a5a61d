// pollix-keypad-sim: a simulated receiver with keypads on a pseudo-terminal.
//
//   pollix-keypad-sim --model dravel [--seed N] [--keypads N] [--no-pace] [--channel C]
//                     [--firmware MAJOR.MINOR] [--same-channel] [--neighbour-channel C] [--quiet]
//                     [--link PATH]
//
// Prints the port's path, then reads commands from standard input, one a line:
//   login ID STUDENTID [NAME]     answer ID TEXT      buzz ID       wake ID
//   navigate ID next|prev         signal ID           askq ID       state ID    examstart ID
//   logout ID                     upload ID Q=TEXT... (answers, then the upload request)
//   teacher CODE (hex)            tlogin              tquery CODE [HEX]
//   send HEX (a frame)            raw HEX             drop N        corrupt N
//   sleep MS                      frames              unplug        plug          quit
//   press EVERY_MS [FOR_MS]       (students press keys in the background, whatever else goes on:
//                                 every EVERY_MS a keypad of 1..--keypads answers, for FOR_MS or
//                                 until "press 0"; plugged out, the keys reach nobody)
// and, for activity runs (SimActivity):
//   loginall FIRST COUNT [FIRSTSTUDENT]   answerall FIRST COUNT TEXT   lost ID   search ID
//   tinfo   tsetq TYPE OPTIONS ANSWER   tmouse CODE(hex) [X Y]   told (what the keypads were told)
// and, for the set-up windows (SimSetup):
//   register ID NAME (a key-test registration)   tregister (the teacher keypad's)
//   setup (channel, band, PC state, ids written, registration numbers told)
// The keypads answer the program's wakes by themselves, as real keypads do: one that is in answers
// the call, one that is out logs in again with the student ID it was last logged in with (typed
// with "login"; a refused one tries again at each wake). A student ID longer than a keypad takes
// (55 bytes on Dravel, 53 on Corvel) is refused with a message and nothing is sent; a name is cut
// to what the login frame holds.
// With --auto the keypads 1 to --keypads also play along by themselves: those that never had a
// student log in when woken (keypad n as student "S00n"), and they answer each question after a
// short pause, mostly with the right answer of --answers (comma-separated, question by
// question) and otherwise with another option (--right-percent, default 70). They
// take part as the activity asks: in a vote any option, in a roll call a press, in a rush a buzz,
// and the keypad that wins answers. The large family's keypads learn the activity from the
// program; the small family's follow --activity quiz|rush|vote|rollcall (default quiz). After a
// vote or a rush the teacher keypad asks for the result and its screen is written to standard
// error ("teacher keypad: ..."). The class log-out that ends a run (F6 00 00 03 01 FF FF) sends
// every keypad out; they log in again when the next run wakes them. "logout ID" sends one keypad
// out as its student logs out: it answers nothing, takes no set and hands nothing in until it
// logs in again at the next wake. In homework and paper quiz
// (Corvel, Dravel) they keep the question set the program sends, work through it once the
// activity starts and hand their answers in; --loss N makes the radio lose N% of the set's and
// the upload's frames.
// Start Pollix with POLLIX_SERIAL_PORTS=<the path> to use it. With --link PATH the receiver is
// reached through a symbolic link at PATH (the path printed): "unplug" removes it and "plug" brings
// the receiver back behind it on a new pseudo-terminal, as a USB receiver comes back on its port;
// without it, "plug" prints the new pseudo-terminal's path. A program that ends without letting go
// of the port (kill -9, a crash) leaves the pseudo-terminal in exclusive use, which a USB serial
// port would not keep past its last close: the receiver then comes back on a new pseudo-terminal
// by itself (behind the link; without one, its path is printed), its keypads as they were.
#include "SimActivity.h"
#include "SimAutoPilot.h"
#include "SimKeyPresser.h"
#include "SimReceiver.h"
#include "SimSetup.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

using namespace keypadsim;

namespace {

void usage()
{
    std::fprintf(stderr, "usage: pollix-keypad-sim --model envel|arvel|corvel|dravel|brevel [--seed N] [--keypads N]\n"
                         "       [--no-pace] [--channel C] [--firmware MAJOR.MINOR] [--same-channel]\n"
                         "       [--neighbour-channel C] [--quiet] [--link PATH]\n"
                         "       [--auto [--answers A,B,...] [--right-percent N] [--activity quiz|rush|vote|rollcall]\n"
                         "              [--loss N]]\n");
}

struct Background
{
    int keypads = 0;
    std::unique_ptr<SimKeyPresser> presser;
};

bool runCommand(SimReceiver &sim, SimActivity &activity, SimSetup &setup, Background &background,
                const QStringList &words)
{
    const QString cmd = words.value(0).toLower();
    bool ok = true;
    const int id = words.value(1).toInt(&ok);
    if (cmd == QLatin1String("quit") || cmd == QLatin1String("exit"))
        return false;
    const auto refused = [](const QString &why) {
        if (!why.isEmpty())
            std::fprintf(stderr, "pollix-keypad-sim: %s\n", qPrintable(why));
    };
    if (cmd == QLatin1String("login") && ok && words.size() >= 3) {
        refused(sim.login(id, words.at(2), words.mid(3).join(QLatin1Char(' '))));
    } else if (cmd == QLatin1String("answer") && ok && words.size() >= 3) {
        refused(sim.answer(id, words.mid(2).join(QLatin1Char(' '))));
    } else if (cmd == QLatin1String("buzz") && ok) {
        sim.buzz(id);
    } else if (cmd == QLatin1String("wake") && ok) {
        sim.wakeUpReply(id);
    } else if (cmd == QLatin1String("navigate") && ok && words.size() == 3) {
        sim.navigate(id, words.at(2).toLower() == QLatin1String("next"));
    } else if (cmd == QLatin1String("signal") && ok) {
        sim.signalQuestion(id);
    } else if (cmd == QLatin1String("askq") && ok) {
        sim.askForQuestion(id);
    } else if (cmd == QLatin1String("state") && ok) {
        sim.askCurrentState(id);
    } else if (cmd == QLatin1String("examstart") && ok) {
        sim.examStart(id);
    } else if (cmd == QLatin1String("logout") && ok) {
        sim.logout(id);
    } else if (cmd == QLatin1String("upload") && ok && words.size() >= 3) {
        QMap<int, QString> answers;
        for (const QString &w : words.mid(2))
            answers.insert(w.section(QLatin1Char('='), 0, 0).toInt(), w.section(QLatin1Char('='), 1));
        sim.setUploadAnswers(id, answers);
        sim.requestUpload(id);
    } else if (cmd == QLatin1String("tlogin")) {
        sim.teacherLogin();
    } else if (cmd == QLatin1String("tquery") && words.size() >= 2) {
        sim.teacherQuery(quint8(words.at(1).toUInt(nullptr, 16)),
                         QByteArray::fromHex(words.mid(2).join(QString()).toLatin1()));
    } else if (cmd == QLatin1String("teacher") && words.size() == 2) {
        sim.pressTeacherKey(quint8(words.at(1).toUInt(nullptr, 16)));
    } else if ((cmd == QLatin1String("send") || cmd == QLatin1String("raw")) && words.size() >= 2) {
        const QByteArray bytes = QByteArray::fromHex(words.mid(1).join(QString()).toLatin1());
        if (cmd == QLatin1String("send"))
            sim.sendFrame(bytes);
        else
            sim.sendRaw(bytes);
    } else if (cmd == QLatin1String("drop") && ok) {
        sim.dropNextFrames(id);
    } else if (cmd == QLatin1String("corrupt") && ok) {
        sim.corruptNextFrames(id);
    } else if (cmd == QLatin1String("sleep") && ok) {
        std::this_thread::sleep_for(std::chrono::milliseconds(id));
    } else if (cmd == QLatin1String("press") && ok) {
        background.presser.reset();
        if (id > 0)
            background.presser = std::make_unique<SimKeyPresser>(sim, background.keypads, id, words.value(2).toInt());
    } else if (cmd == QLatin1String("frames")) {
        for (const SimFrame &f : sim.framesFromProgram())
            std::printf("%12.6f <- %s\n", f.timeNs / 1e9, f.bytes.toHex(' ').toUpper().constData());
        std::fflush(stdout);
    } else if (cmd == QLatin1String("unplug")) {
        sim.unplug();
    } else if (cmd == QLatin1String("plug")) {
        if (sim.plug()) {
            std::printf("%s\n", qPrintable(sim.portPath()));
            std::fflush(stdout);
        } else {
            std::fprintf(stderr, "pollix-keypad-sim: %s\n", qPrintable(sim.errorString()));
        }
    } else if (activity.runCommand(words, stdout)) {
        // a keypad action or report of an activity run
    } else if (setup.runCommand(words, stdout)) {
        // a keypad action or report of the set-up windows
    } else if (!cmd.isEmpty() && !cmd.startsWith(QLatin1Char('#'))) {
        std::fprintf(stderr, "unknown command: %s\n", qPrintable(words.join(QLatin1Char(' '))));
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SimReceiver::Options options;
    bool haveModel = false;
    bool quiet = false;
    int keypads = 0;
    bool autoPilot = false;
    SimAutoPilot::Options pilot;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args.at(i);
        const QString next = args.value(i + 1);
        if (a == QLatin1String("--model")) {
            haveModel = parseModel(next, &options.model);
            ++i;
        } else if (a == QLatin1String("--seed")) {
            options.seed = next.toUInt();
            ++i;
        } else if (a == QLatin1String("--keypads")) {
            keypads = next.toInt();
            ++i;
        } else if (a == QLatin1String("--channel")) {
            options.channel = next.toInt();
            ++i;
        } else if (a == QLatin1String("--firmware")) {
            options.firmwareMajor = next.section(QLatin1Char('.'), 0, 0).toInt();
            options.firmwareMinor = next.section(QLatin1Char('.'), 1, 1).toInt();
            ++i;
        } else if (a == QLatin1String("--no-pace")) {
            options.paceLine = false;
        } else if (a == QLatin1String("--same-channel")) {
            options.sameChannelConflict = true;
        } else if (a == QLatin1String("--neighbour-channel")) {
            options.neighbourChannel = next.toInt();
            ++i;
        } else if (a == QLatin1String("--auto")) {
            autoPilot = true;
        } else if (a == QLatin1String("--answers")) {
            pilot.answers = next.split(QLatin1Char(','), Qt::SkipEmptyParts);
            ++i;
        } else if (a == QLatin1String("--right-percent")) {
            pilot.rightPercent = std::clamp(next.toInt(), 0, 100);
            ++i;
        } else if (a == QLatin1String("--loss")) {
            pilot.lossPercent = std::clamp(next.toInt(), 0, 100);
            ++i;
        } else if (a == QLatin1String("--activity")) {
            if (!SimRunPlay::parseKind(next, &pilot.smallFamilyActivity)) {
                usage();
                return 2;
            }
            ++i;
        } else if (a == QLatin1String("--link") && !next.isEmpty()) {
            options.linkPath = next;
            ++i;
        } else if (a == QLatin1String("--quiet")) {
            quiet = true;
        } else {
            usage();
            return 2;
        }
    }
    if (!haveModel) {
        usage();
        return 2;
    }
    SimReceiver sim(options);
    if (!sim.start()) {
        std::fprintf(stderr, "pollix-keypad-sim: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    sim.addKeypads(1, keypads);
    if (options.linkPath.isEmpty()) {
        sim.setPortRenewedHandler([](const QString &path) {
            std::printf("%s\n", qPrintable(path));
            std::fflush(stdout);
        });
    }
    if (!quiet)
        sim.setTrace(stderr);
    std::printf("%s\n", qPrintable(sim.portPath()));
    std::fflush(stdout);
    SimActivity activity(sim);
    SimSetup setup(sim);
    pilot.keypads = keypads;
    pilot.seed = options.seed;
    pilot.teacherScreen = stderr;
    // Without --auto nobody presses a key, but the keypads still answer wakes and take sets.
    pilot.students = autoPilot;
    SimAutoPilot keypadsAndStudents(sim, pilot);
    keypadsAndStudents.start();
    Background background;
    background.keypads = keypads;
    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList words = QString::fromStdString(line).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!runCommand(sim, activity, setup, background, words)) {
            sim.waitForOutputDrained(2000);
            return 0;
        }
    }
    // Input ended without "quit" (started in the background): the receiver stays plugged in
    // until the process is ended.
    for (;;)
        pause();
}
