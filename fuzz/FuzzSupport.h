#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares. A target is one source file that defines fuzzSeeds() and
// LLVMFuzzerTestOneInput(); it is linked either with libFuzzer (clang, ./dev fuzz) or with
// FuzzReplay.cpp (the test suite), and both call LLVMFuzzerInitialize() from FuzzSupport.cpp first.
//
// The initialisation makes what the readers expect of a running program: a GUI application on the
// offscreen platform, a fresh application folder as POLLIX_HOME (on a memory file system when there
// is one, since some readers write) with the application delegate rooted there, no receiver
// discovery and no log output. With POLLIX_FUZZ_WRITE_SEEDS naming a folder, the target writes its
// seeds there and exits instead.
namespace Fuzz {

// The application folder of this process, ending in "/".
QString home();
// The input as a file of that name in a scratch folder of its own (replaced on each call).
QString inputFile(const uint8_t *data, size_t size, const QString &name);
// Empties the data folder (a reader that stored something must not carry it to the next input).
void clearDataFolder();
// The committed test files whose names end in one of the suffixes (case ignored); with
// mustContain, only those holding those bytes.
QList<QByteArray> testDataFiles(const QStringList &suffixes, const QByteArray &mustContain = {});
QStringList testDataPaths(const QStringList &suffixes, const QByteArray &mustContain = {});

} // namespace Fuzz

// Defined by each target: the inputs its corpus starts from.
QList<QByteArray> fuzzSeeds();

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
