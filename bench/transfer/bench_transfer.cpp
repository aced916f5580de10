// A full device read (the read sequence: ReadModel and 254 ReadBlock into the image,
// sections loaded) over a pty against tripsim.
//   unpaced: wall time, target under 0.3 s;
//   paced at 115200 baud (11 bits a byte): wall time at most 10 % over the time the
//   bytes need on the line, and this process's CPU time under 10 % of the wall time.
// Exit code 1 when a target is missed.

#include "app/Transfer.h"
#include "link/ML_RS232.h"
#include "model/MK.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class TQuietProgress final : public TTransferProgress {
public:
    void SetLabel(const QString &) override {}
    void SetGauge(int) override {}
    void SetGaugeVisible(bool) override {}
    void SetCancelVisible(bool) override {}
    bool Cancelled() const override { return true; } // the simulator answers at once
};

struct TRun {
    double wall = 0, cpu = 0;
};

// Starts tripsim with args and reads the device `runs` times.
std::vector<TRun> Measure(const QStringList &args, int runs) {
    QProcess sim;
    sim.start(QStringLiteral(TRIPSIM_PATH), args);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "tripsim did not start\n");
        std::exit(2);
    }
    qputenv("TRIPCONF_PORTS", "1=" + sim.readLine().trimmed());
    TML_RS link;
    std::vector<TRun> out;
    for (int r = 0; r < runs; ++r) {
        TMK mk;
        uint8_t address = 0;
        uint32_t memorySize = 0;
        TDeviceTransfer transfer(
            link, mk, [] { return std::make_unique<TQuietProgress>(); }, address, memorySize);
        const double cpu0 = CpuSeconds();
        QElapsedTimer t;
        t.start();
        const TTransferResult result = transfer.Read();
        out.push_back({double(t.nsecsElapsed()) / 1e9, CpuSeconds() - cpu0});
        if (result != TTransferResult::Done || mk.Image.Size() != 8128) {
            std::fprintf(stderr, "the read failed: %s\n", qPrintable(transfer.LastConnectError()));
            std::exit(2);
        }
    }
    sim.terminate();
    sim.waitForFinished(5000);
    return out;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    bool ok = true;

    std::vector<TRun> fast = Measure({}, 7);
    std::sort(fast.begin(), fast.end(), [](const TRun &a, const TRun &b) { return a.wall < b.wall; });
    const TRun &median = fast[fast.size() / 2];
    std::printf("unpaced full read: best %.3f s, median %.3f s, worst %.3f s, CPU %.0f %% of wall  "
                "[target < 0.3 s]\n",
                fast.front().wall, median.wall, fast.back().wall, 100 * median.cpu / median.wall);
    ok = ok && median.wall < 0.3;

    // ReadModel (6 + 9 bytes) and 254 ReadBlock (8 + 38 bytes), 11 bits a byte.
    const double wire = (6 + 9 + 254 * (8 + 38)) * 11 / 115200.0;
    std::printf("line time of a full read at 115200 baud: %.3f s\n", wire);
    for (const TRun &r : Measure({QStringLiteral("--pace")}, 3)) {
        std::printf("paced full read: wall %.3f s = %.1f %% over the line time  [target <= 10 %%], "
                    "CPU %.3f s = %.1f %% of wall  [target < 10 %%]\n",
                    r.wall, 100 * (r.wall / wire - 1), r.cpu, 100 * r.cpu / r.wall);
        ok = ok && r.wall <= 1.1 * wire && r.cpu < 0.1 * r.wall;
    }
    return ok ? 0 : 1;
}
