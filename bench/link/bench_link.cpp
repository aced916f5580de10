// Link speed over a pty against tripsim: 255 exchanges (one ReadModel and the 254
// ReadBlock of a memory read).
//   unpaced: wall time, target under 0.25 s;
//   paced at 115200 baud: this process's CPU time against the wall time, target
//   under 10 % (the waits must sleep, not spin).
// Exit code 1 when a target is missed.

#include "link/ML_RS232.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct TRun {
    double wall = 0, cpu = 0;
};

TRun Exchanges(TML_RS &link) {
    const double cpu0 = CpuSeconds();
    QElapsedTimer t;
    t.start();
    link.Command(244, 1);
    for (int half = 0; half < 2; ++half)
        for (int i = 1; i < 128; ++i) {
            link.BeginRequest(244, 5);
            link.PutWord(uint16_t(128 * half + i));
            link.Execute();
        }
    return {double(t.nsecsElapsed()) / 1e9, CpuSeconds() - cpu0};
}

// Starts tripsim with args and runs the exchanges `runs` times on a fresh link.
std::vector<TRun> Measure(const QStringList &args, int runs) {
    QProcess sim;
    sim.start(QStringLiteral(TRIPSIM_PATH), args);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "tripsim did not start\n");
        std::exit(2);
    }
    const QByteArray path = sim.readLine().trimmed();
    qputenv("TRIPCONF_PORTS", "1=" + path);
    TML_RS link;
    link.SetActive(true);
    link.FirstByteTimeout = 100;
    std::vector<TRun> out;
    for (int r = 0; r < runs; ++r)
        out.push_back(Exchanges(link));
    link.ClosePort();
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
    std::printf("unpaced, 255 exchanges: best %.3f s, median %.3f s, worst %.3f s (%.0f us an exchange), "
                "CPU %.0f %% of wall  [target < 0.25 s]\n",
                fast.front().wall, median.wall, fast.back().wall, median.wall / 255 * 1e6,
                100 * median.cpu / median.wall);
    ok = ok && median.wall < 0.25;

    const std::vector<TRun> paced = Measure({QStringLiteral("--pace")}, 3);
    std::printf("(line time alone: %.3f s)\n", (6 + 9 + 254 * (8 + 38)) * 11 / 115200.0);
    for (const TRun &r : paced) {
        std::printf("paced at 115200 baud, 255 exchanges: wall %.3f s, CPU %.3f s = %.1f %% of wall  "
                    "[target < 10 %%]\n",
                    r.wall, r.cpu, 100 * r.cpu / r.wall);
        ok = ok && r.cpu < 0.1 * r.wall;
    }
    return ok ? 0 : 1;
}
