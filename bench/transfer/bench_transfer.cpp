// A full device read (the read sequence: ReadModel and 254 ReadBlock into the image,
// sections loaded) over a pty against tripsim.
//   unpaced: wall time, target under 0.3 s;
//   paced at 115200 baud (11 bits a byte): the memory (from the answer to ReadModel on)
//   at most 10 % over the time its bytes need on the line, and this process's CPU time
//   under 10 % of the wall time. Connecting is shown apart: it waits for the line to
//   fall quiet (InterByteTimeout) before the first request, whatever the rate.
//   a write of the default section table paced at 115200 baud: what the read-back
//   check after the last section adds, target under 0.6 s.
// Exit code 1 when a target is missed.

#include "app/Transfer.h"
#include "link/ML_RS232.h"
#include "model/MK.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <functional>
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
    // When the label last changed to text (the clock of the caller's timer).
    std::function<void(const QString &)> OnLabel;
    void SetLabel(const QString &text) override {
        if (OnLabel) OnLabel(text);
    }
    void SetGauge(int) override {}
    void SetGaugeVisible(bool) override {}
    void SetCancelVisible(bool) override {}
    bool Cancelled() const override { return true; } // the simulator answers at once
};

struct TRun {
    double wall = 0, cpu = 0;
    double connect = 0; // until the device's model code has come
};

// Starts tripsim with args and attaches port 1 to it.
void StartSim(QProcess &sim, const QStringList &args) {
    sim.start(QStringLiteral(TRIPSIM_PATH), args);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "tripsim did not start\n");
        std::exit(2);
    }
    qputenv("TRIPCONF_PORTS", "1=" + sim.readLine().trimmed());
}

struct TWriteRun {
    double wall = 0, check = 0;
};

// Reads the paced device once, then writes it back `runs` times; the check is the time
// from its label to the end of the write.
std::vector<TWriteRun> MeasureWrites(int runs) {
    QProcess sim;
    StartSim(sim, {QStringLiteral("--pace")});
    TML_RS link;
    TMK mk;
    uint8_t address = 0;
    uint32_t memorySize = 0;
    QElapsedTimer t;
    qint64 checkStarted = -1;
    auto progress = [&] {
        auto p = std::make_unique<TQuietProgress>();
        p->OnLabel = [&](const QString &text) {
            if (text == QStringLiteral("Проверка записи...")) checkStarted = t.nsecsElapsed();
        };
        return p;
    };
    TDeviceTransfer transfer(link, mk, progress, address, memorySize);
    transfer.MakeBackup = false;
    if (transfer.Read() != TTransferResult::Done) {
        std::fprintf(stderr, "the read failed: %s\n", qPrintable(transfer.LastConnectError()));
        std::exit(2);
    }
    std::vector<TWriteRun> out;
    for (int r = 0; r < runs; ++r) {
        checkStarted = -1;
        t.start();
        const TTransferResult result = transfer.Write();
        const qint64 end = t.nsecsElapsed();
        if (result != TTransferResult::Done || checkStarted < 0) {
            std::fprintf(stderr, "the write failed\n");
            std::exit(2);
        }
        out.push_back({double(end) / 1e9, double(end - checkStarted) / 1e9});
    }
    sim.terminate();
    sim.waitForFinished(5000);
    return out;
}

// Starts tripsim with args and reads the device `runs` times.
std::vector<TRun> Measure(const QStringList &args, int runs) {
    QProcess sim;
    StartSim(sim, args);
    TML_RS link;
    std::vector<TRun> out;
    for (int r = 0; r < runs; ++r) {
        TMK mk;
        uint8_t address = 0;
        uint32_t memorySize = 0;
        QElapsedTimer t;
        qint64 reading = -1;
        auto progress = [&] {
            auto p = std::make_unique<TQuietProgress>();
            p->OnLabel = [&](const QString &text) {
                if (text == QStringLiteral("Чтение настроек...")) reading = t.nsecsElapsed();
            };
            return p;
        };
        TDeviceTransfer transfer(link, mk, progress, address, memorySize);
        const double cpu0 = CpuSeconds();
        t.start();
        const TTransferResult result = transfer.Read();
        out.push_back({double(t.nsecsElapsed()) / 1e9, CpuSeconds() - cpu0, double(reading) / 1e9});
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

    // 254 ReadBlock (8 + 38 bytes), 11 bits a byte.
    const double wire = 254 * (8 + 38) * 11 / 115200.0;
    std::printf("line time of the memory at 115200 baud: %.3f s\n", wire);
    for (const TRun &r : Measure({QStringLiteral("--pace")}, 3)) {
        const double memory = r.wall - r.connect;
        std::printf(
            "paced full read: wall %.3f s: connecting %.3f s, then the memory %.3f s = %.1f %% over its "
            "line time  [target <= 10 %%]; CPU %.3f s = %.1f %% of wall  [target < 10 %%]\n",
            r.wall, r.connect, memory, 100 * (memory / wire - 1), r.cpu, 100 * r.cpu / r.wall);
        ok = ok && memory <= 1.1 * wire && r.cpu < 0.1 * r.wall;
    }

    // The check reads back the 90 blocks that hold the default sections (2840 bytes
    // at device addresses 92 … 2931): 90 × (8 + 38) bytes on the line.
    std::printf("line time of the read-back check at 115200 baud: %.3f s\n", 90 * (8 + 38) * 11 / 115200.0);
    for (const TWriteRun &r : MeasureWrites(3)) {
        std::printf("paced write of the default sections: wall %.3f s, of which the read-back check %.3f s  "
                    "[target < 0.6 s]\n",
                    r.wall, r.check);
        ok = ok && r.check < 0.6;
    }
    return ok ? 0 : 1;
}
