// The test suite's driver of a fuzz target, built with the regular compiler: it feeds the target
// its seeds and then a fixed number of mutations of them (the same ones on every run), so the
// suite notices a target that no longer builds, a seed that no longer comes out, or a reader that
// falls over on the first few thousand damaged inputs. The long runs are libFuzzer's (./dev fuzz).
//
//   fuzz_<target> [--mutations N]   seeds, then N mutations
//   fuzz_<target> FILE...           those inputs only (to replay a saved crash)

#include "FuzzSupport.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

void run(const QByteArray &input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
}

// A few of libFuzzer's own kinds of change: bytes flipped, set to edge values, removed, repeated,
// inserted, and a splice with another seed.
QByteArray mutate(const QByteArray &seed, const QList<QByteArray> &seeds, std::mt19937 &rng)
{
    QByteArray out = seed;
    const auto below = [&](qsizetype n) { return n <= 0 ? qsizetype(0) : qsizetype(rng() % quint64(n)); };
    static const char edges[] = {'\0', '\x01', '\x7f', '\x80', '\xff', '\xfe', '"', ',', '<', '>', '\n', '\r'};
    const int changes = 1 + int(rng() % 4);
    for (int c = 0; c < changes; ++c) {
        switch (rng() % 7) {
        case 0:
            if (!out.isEmpty())
                out[below(out.size())] ^= char(1 << (rng() % 8));
            break;
        case 1:
            if (!out.isEmpty())
                out[below(out.size())] = edges[rng() % sizeof(edges)];
            break;
        case 2:
            if (!out.isEmpty()) {
                const qsizetype at = below(out.size());
                out.remove(at, 1 + below(std::min<qsizetype>(64, out.size() - at)));
            }
            break;
        case 3:
            if (!out.isEmpty()) {
                const qsizetype at = below(out.size());
                const QByteArray piece = out.mid(at, 1 + below(64));
                out.insert(below(out.size() + 1), piece);
            }
            break;
        case 4: {
            QByteArray noise(1 + below(16), '\0');
            for (char &b : noise)
                b = char(rng());
            out.insert(below(out.size() + 1), noise);
            break;
        }
        case 5:
            out.truncate(below(out.size() + 1));
            break;
        default: {
            const QByteArray &other = seeds[below(seeds.size())];
            out = out.left(below(out.size() + 1)) + other.mid(below(other.size() + 1));
            break;
        }
        }
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int mutations = 0;
    QList<QByteArray> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mutations") == 0 && i + 1 < argc) {
            mutations = std::atoi(argv[++i]);
            continue;
        }
        QFile f(QString::fromLocal8Bit(argv[i]));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[i]);
            return 2;
        }
        files << f.readAll();
    }
    if (!files.isEmpty()) {
        for (const QByteArray &input : files)
            run(input);
        std::printf("%s: %d inputs, no crash\n", argv[0], int(files.size()));
        return 0;
    }

    const QList<QByteArray> seeds = fuzzSeeds();
    if (seeds.isEmpty()) {
        std::fprintf(stderr, "%s: the target gave no seeds\n", argv[0]);
        return 1;
    }
    for (const QByteArray &seed : seeds)
        run(seed);
    std::mt19937 rng(20261207);
    for (int i = 0; i < mutations; ++i)
        run(mutate(seeds[i % seeds.size()], seeds, rng));
    std::printf("%s: %d seeds and %d mutations, no crash\n", argv[0], int(seeds.size()), mutations);
    return 0;
}
