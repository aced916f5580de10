// Soak: read → write → read cycles of tripconf-cli against one tripsim per cycle, with
// random faults (silent, bad checksum, busy, last byte dropped, LEN 5, empty header,
// late answers, a dropped WriteBlock) that may hit any of the three runs; in a third of
// the cycles a burst of late answers makes a run give up while they are still coming,
// so the next run starts with them on the line.
//
// No run may end with exit code 0 and a wrong result: a read's file must hold the
// device's memory, a write must leave exactly the new sections (and their sums) in the
// device, and a write that says nothing was written must have left it untouched.
//
//   soak_transfer [CYCLES [SEED]]     (default 60 cycles, seed 1)
//
// SOAK_CLI names another tripconf-cli to drive (an older build, say).
//
// Prints one line a cycle and the totals; exit code 1 when a mismatch was found. Every
// process is killed after 60 s and the whole soak stops after 30 minutes.

#include "SimDevice.h"
#include "base/Bytes.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kProcessMs = 60000;
constexpr qint64 kSoakMs = 30 * 60 * 1000;

struct TRun {
    int code = -1;
    QString err;
};

QByteArray ReadAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

TRun Cli(const QStringList &args) {
    QProcess p;
    static const QString cli = qEnvironmentVariable("SOAK_CLI", QStringLiteral(TRIPCONF_CLI));
    p.start(cli, args);
    if (!p.waitForFinished(kProcessMs)) {
        p.kill();
        p.waitForFinished(5000);
        return {-1, QStringLiteral("killed after %1 s").arg(kProcessMs / 1000)};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

// The device after a clean write of image: every section of its table holds the
// image's bytes, followed by their sum (what the simulated device keeps there).
QByteArray Written(const QByteArray &memory, const QByteArray &image) {
    QByteArray out = memory;
    auto *m = reinterpret_cast<uint8_t *>(out.data());
    for (int k = 1; k <= m[32]; ++k) {
        const int a = LE::Get<uint16_t>(m + 32 + 4 * k), count = LE::Get<uint16_t>(m + 34 + 4 * k) - 4;
        out.replace(a, count, image.mid(a - MKLayout::DeviceAddressOfImage, count));
        uint32_t sum = 0;
        for (int i = 0; i < count; ++i)
            sum += m[a + i];
        LE::Put<uint32_t>(m + a + count, sum);
    }
    return out;
}

// The device's settings with random changes in random sections.
QByteArray Edited(const QByteArray &memory, QRandomGenerator &random) {
    TMK mk;
    mk.Image.Append(TSimDevice::ImageOf(memory));
    mk.LoadAllSections();
    for (int n = 0; n < 12; ++n) {
        const auto section = mk.Section(1 + random.bounded(MKLayout::SectionCount));
        section[random.bounded(int(section.size()))] = uint8_t(random.bounded(256));
    }
    for (int k = 1; k <= MKLayout::SectionCount; ++k)
        mk.StoreSection(k);
    return mk.Image.Bytes();
}

QStringList RandomFaults(QRandomGenerator &random) {
    // Three runs make about 1000 requests; the faults start anywhere in them.
    const QStringList skip{QStringLiteral("--fault-skip"), QString::number(random.bounded(950))};
    // A third of the cycles: three answers 800 ms late, so that the run they hit gives
    // up while they are still coming, and the next run starts with them on the line.
    if (random.bounded(3) == 0)
        return QStringList{QStringLiteral("--late"), QStringLiteral("3"), QStringLiteral("--late-ms"),
                           QStringLiteral("800")} +
               skip;
    static const char *const kinds[] = {"--silent",      "--bad-checksum", "--busy", "--drop-last",
                                        "--short-frame", "--zero-header",  "--late", "--drop-write"};
    static const int lateMs[] = {150, 300, 350, 500, 800};
    QStringList args;
    for (int n = 1 + random.bounded(3); n > 0; --n) {
        const QString kind = QLatin1String(kinds[random.bounded(8)]);
        if (args.contains(kind)) continue;
        args << kind
             << QString::number(kind == QLatin1String("--drop-write") ? 1 + random.bounded(60)
                                                                      : 1 + random.bounded(6));
        if (kind == QLatin1String("--late"))
            args << QStringLiteral("--late-ms") << QString::number(lateMs[random.bounded(5)]);
    }
    return args + skip;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int cycles = args.size() > 1 ? args.at(1).toInt() : 60;
    QRandomGenerator random(args.size() > 2 ? args.at(2).toUInt() : 1u);
    QTemporaryDir dir;
    qputenv("TRIPCONF_BACKUPS", QFile::encodeName(dir.filePath(QStringLiteral("backups"))));
    const auto file = [&dir](const char *name) { return dir.filePath(QLatin1String(name)); };

    QByteArray truth = TSimDevice::DefaultMemory(1);
    int done = 0, faults = 0, exits0 = 0, exits1 = 0, exitsOther = 0, mismatches = 0;
    QElapsedTimer soak;
    soak.start();
    for (int cycle = 1; cycle <= cycles && soak.elapsed() < kSoakMs; ++cycle) {
        const QStringList faultArgs = RandomFaults(random);
        WriteAll(file("memory.bin"), truth);
        QFile::remove(file("dump.bin"));
        QProcess sim;
        sim.setStandardErrorFile(file("sim.log")); // a pipe nobody reads would stop it
        sim.start(QStringLiteral(TRIPSIM_PATH),
                  QStringList{QStringLiteral("--memory"), file("memory.bin"), QStringLiteral("--dump"),
                              file("dump.bin"), QStringLiteral("--log")} +
                      faultArgs);
        if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
            std::fprintf(stderr, "tripsim did not start\n");
            return 2;
        }
        const QString port = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QString problems;
        auto check = [&](bool ok, const char *what) {
            if (ok) return;
            ++mismatches;
            problems += QStringLiteral("  MISMATCH: %1").arg(QLatin1String(what));
        };
        auto count = [&](const TRun &r) {
            (r.code == 0 ? exits0 : r.code == 1 ? exits1 : exitsOther)++;
            return r.code;
        };
        const QStringList common{QStringLiteral("--port"), port, QStringLiteral("--connect-timeout"),
                                 QStringLiteral("2")};

        for (const char *name : {"1.vorng", "3.vorng"})
            QFile::remove(file(name));
        const TRun read1 =
            Cli(QStringList{QStringLiteral("read"), QStringLiteral("-o"), file("1.vorng")} + common);
        if (count(read1) == 0)
            check(ReadAll(file("1.vorng")) == SettingsFile::Encode(0x4000, TSimDevice::ImageOf(truth)),
                  "the first read's file");

        const QByteArray edited = Edited(truth, random);
        WriteAll(file("new.vorng"), SettingsFile::Encode(0x4000, edited));
        const TRun write =
            Cli(QStringList{QStringLiteral("write")} + common + QStringList{file("new.vorng")});
        count(write);

        const TRun read3 =
            Cli(QStringList{QStringLiteral("read"), QStringLiteral("-o"), file("3.vorng")} + common);
        count(read3);

        sim.terminate();
        if (!sim.waitForFinished(10000)) {
            sim.kill();
            sim.waitForFinished(5000);
        }
        const QByteArray log = ReadAll(file("sim.log"));
        const int injected = int(log.count("  ; "));
        faults += injected;
        const QByteArray device = ReadAll(file("dump.bin"));
        if (device.size() != TSimDevice::MemorySize) {
            std::fprintf(stderr, "tripsim left no memory\n");
            return 2;
        }
        if (write.code == 0)
            check(device == Written(truth, edited), "the device after a write that succeeded");
        if (write.err.contains(QLatin1String("Nothing was written")))
            check(device == truth, "the device after a write that wrote nothing");
        if (read3.code == 0)
            check(ReadAll(file("3.vorng")) == SettingsFile::Encode(0x4000, TSimDevice::ImageOf(device)),
                  "the last read's file");

        std::printf("cycle %2d  %-52s  faults %3d  exits %d %d %d%s\n", cycle,
                    qPrintable(faultArgs.join(' ')), injected, read1.code, write.code, read3.code,
                    qPrintable(problems));
        std::fflush(stdout);
        truth = device; // the next cycle starts from whatever the device now holds
        ++done;
    }
    std::printf(
        "\n%d cycles (%d runs) in %.0f s: %d faulty answers injected; exit 0: %d, exit 1: %d, other: %d; "
        "mismatches: %d\n",
        done, 3 * done, soak.elapsed() / 1000.0, faults, exits0, exits1, exitsOther, mismatches);
    return mismatches == 0 && done >= std::min(cycles, 1) ? 0 : 1;
}
