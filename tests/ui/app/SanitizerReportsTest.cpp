// How the random walk judges a sanitizer's reports: a leak is left out only when its allocation
// lies wholly in libraries that the suppressions name (the allocator and the C and C++ runtime
// aside); everything else counts.

#include "support/SanitizerReports.h"

#include <gtest/gtest.h>

namespace {

const QString kOwn = QStringLiteral("/work/pollix/build-asan");
const QString kSuppressions = QStringLiteral("# the sound system\nleak:libpulse.so\n\nleak:libpulsecommon # its helpers\n");

QString frame(int n, const QString &function, const QString &module)
{
    return QStringLiteral("    #%1 0x7f3a2b1c%2 in %3 (%4+0x1a2b) {%4}").arg(n).arg(n, 4, 10, QLatin1Char('0')).arg(function, module);
}

QString leakReport(const QStringList &frames)
{
    return QStringLiteral("=================================================================\n"
                          "==4242==ERROR: LeakSanitizer: detected memory leaks\n\n"
                          "Direct leak of 48 byte(s) in 1 object(s) allocated from:\n"
                          "%1\n\n"
                          "SUMMARY: AddressSanitizer: 48 byte(s) leaked in 1 allocation(s).\n")
        .arg(frames.join(QLatin1Char('\n')));
}

const QString kMalloc = frame(0, QStringLiteral("malloc"), QStringLiteral("/lib/x86_64-linux-gnu/libasan.so.8"));
const QString kPulse = frame(1, QStringLiteral("pa_xmalloc"), QStringLiteral("/lib/x86_64-linux-gnu/libpulse.so.0"));
const QString kPulseCommon =
    frame(2, QStringLiteral("pa_mainloop_dispatch"), QStringLiteral("/usr/lib/x86_64-linux-gnu/pulseaudio/libpulsecommon-16.1.so"));
const QString kQt = frame(3, QStringLiteral("QSoundEffect::play()"), QStringLiteral("/lib/x86_64-linux-gnu/libQt6Multimedia.so.6"));
const QString kPollix = frame(4, QStringLiteral("SoundPlayer::play()"), kOwn + QStringLiteral("/tests/test_ui_app"));
const QString kNew = frame(0, QStringLiteral("operator new(unsigned long)"), QStringLiteral("/lib/x86_64-linux-gnu/libasan.so.8"));
const QString kQtInCallback = frame(1, QStringLiteral("QPulseAudioSink::userFeed()"),
                                    QStringLiteral("/lib/x86_64-linux-gnu/libQt6Multimedia.so.6"));
const QString kPulseCallback = frame(2, QStringLiteral("stream_request_cb"), QStringLiteral("/lib/x86_64-linux-gnu/libpulse.so.0"));
const QString kPulseDispatch = frame(3, QStringLiteral("pa_mainloop_dispatch"), QStringLiteral("/lib/x86_64-linux-gnu/libpulse.so.0"));
const QString kThreadStart = frame(4, QStringLiteral("asan_thread_start"), QStringLiteral("/lib/x86_64-linux-gnu/libasan.so.8"));
const QString kStartThread = frame(5, QStringLiteral("start_thread"), QStringLiteral("/lib/x86_64-linux-gnu/libc.so.6"));
const QString kClone = frame(6, QStringLiteral("clone3"), QStringLiteral("/lib/x86_64-linux-gnu/libc.so.6"));
const QString kLibcStrdup = frame(1, QStringLiteral("__strdup"), QStringLiteral("/lib/x86_64-linux-gnu/libc.so.6"));
const QString kStdString =
    frame(1, QStringLiteral("std::string::_M_create(unsigned long&, unsigned long)"), QStringLiteral("/lib/x86_64-linux-gnu/libstdc++.so.6"));

} // namespace

TEST(SanitizerReportsTest, OnlyLeaksAllocatedWhollyInTheNamedLibrariesAreLeftOut)
{
    struct Case
    {
        const char *name;
        QString output;
        bool counts;
        int leftOut;
    };
    const Case cases[] = {
        {"no report", QStringLiteral("random walk: 1 walks in 80 s\n"), false, 0},
        {"the sound library's own leak", leakReport({kMalloc, kPulse, kPulseCommon}), false, 1},
        {"the same leak asked for by Qt", leakReport({kMalloc, kPulse, kQt}), true, 0},
        {"Qt's multimedia allocating in a callback of the sound library",
         leakReport({kNew, kQtInCallback, kPulseCallback, kPulseDispatch}), true, 0},
        {"the sound library's own leak on its own thread",
         leakReport({kMalloc, kPulse, kPulseDispatch, kThreadStart, kStartThread, kClone}), false, 1},
        {"the C library allocating for the sound library", leakReport({kMalloc, kLibcStrdup, kPulseDispatch}), false, 1},
        {"the runtime alone", leakReport({kMalloc, kLibcStrdup, kStartThread}), true, 0},
        {"the C++ runtime allocating for Qt", leakReport({kNew, kStdString, kQt}), true, 0},
        {"the same leak with a frame of Pollix's", leakReport({kMalloc, kPulse, kQt, kPollix}), true, 0},
        {"Pollix's own leak", leakReport({kMalloc, kPollix}), true, 0},
        {"a leak of a library not named", leakReport({kMalloc, kQt}), true, 0},
        {"a frame that names no module", leakReport({kMalloc, kPulse, QStringLiteral("    #2 0x7f3a2b1c0002  {}")}), true, 0},
        {"frames printed without their modules",
         leakReport({QStringLiteral("    #0 0x7f3a2b1c0000 in malloc (/lib/x86_64-linux-gnu/libasan.so.8+0xd9)"),
                     QStringLiteral("    #1 0x7f3a2b1c0001 in pa_xmalloc (/lib/x86_64-linux-gnu/libpulse.so.0+0x3a1)")}),
         true, 0},
        {"a leak report read as nothing",
         QStringLiteral("==4242==ERROR: LeakSanitizer: detected memory leaks\nSUMMARY: AddressSanitizer: 48 byte(s) leaked\n"),
         true, 0},
        {"two leaks, the second Pollix's", leakReport({kMalloc, kPulse}) + leakReport({kMalloc, kPollix}), true, 1},
        {"a use after free in the sound library",
         QStringLiteral("==4242==ERROR: AddressSanitizer: heap-use-after-free on address 0x602000000010\n%1\n"
                        "SUMMARY: AddressSanitizer: heap-use-after-free\n")
             .arg(kPulse),
         true, 0},
        {"undefined behaviour",
         QStringLiteral("src/core/keypad/Frame.cpp:88:12: runtime error: shift exponent 40 is too large\n"), true, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const SanitizerReports::Judgement judged = SanitizerReports::judge(c.output, kSuppressions, kOwn);
        EXPECT_EQ(!judged.counted.isEmpty(), c.counts) << judged.counted.toStdString();
        EXPECT_EQ(judged.leftOut, c.leftOut);
    }
    // The report that counts is shown as printed.
    const SanitizerReports::Judgement mixed =
        SanitizerReports::judge(leakReport({kMalloc, kPulse}) + leakReport({kMalloc, kPollix}), kSuppressions, kOwn);
    EXPECT_TRUE(mixed.counted.startsWith(QLatin1String("Direct leak of 48 byte(s)")));
    EXPECT_TRUE(mixed.counted.contains(QLatin1String("SoundPlayer::play()")));
    EXPECT_FALSE(mixed.counted.contains(QLatin1String("pa_xmalloc")));
}
