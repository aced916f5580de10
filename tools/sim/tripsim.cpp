// tripsim: a simulated trip computer on a pseudo-terminal. Prints the terminal's
// path on the first line of stdout, then answers requests until SIGTERM or SIGINT.

#include "SimDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 0;
    const auto r = ::write(g_signalPipe[1], &c, 1);
    (void)r;
}

int64_t NowNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void SleepUntilNs(int64_t ns) {
    timespec ts{time_t(ns / 1000000000), long(ns % 1000000000)};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

QString Hex(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex(' '));
}

// A wrong command line: the message, where to find the help, exit code 2.
int Usage(const QString &message) {
    std::fprintf(stderr, "tripsim: %s\nTry 'tripsim --help' for more information.\n", qPrintable(message));
    return 2;
}

bool ParseCount(const QCommandLineParser &p, const QString &name, int *out, QString *error) {
    if (!p.isSet(name)) return true;
    bool ok = false;
    const int v = p.value(name).toInt(&ok, 0);
    if (!ok || v < 0) {
        *error = QStringLiteral("--%1 wants a whole number >= 0, not \"%2\"").arg(name, p.value(name));
        return false;
    }
    *out = v;
    return true;
}

// Waits the simulator can keep: finite, not negative, and at most a minute.
constexpr double kLongestWaitMs = 60000;
// Pacing sleeps 11 bits a byte: beyond this rate the sleeps fall below what the clock keeps.
constexpr int kMaxBaud = 4000000;

struct TOptions {
    bool log = false;
    bool pace = false;
    int baud = 115200;
    double turnaroundMs = 0;
    QString dump;
};

// Opens the master side and puts the terminal into raw mode, so no byte is echoed or
// translated. The slave side stays open here too: without it the master reports
// errors whenever the client closes the port.
bool OpenPty(int *master, int *slave, QString *path) {
    *master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (*master < 0 || ::grantpt(*master) != 0 || ::unlockpt(*master) != 0) return false;
    const char *name = ::ptsname(*master);
    if (!name) return false;
    *path = QString::fromLocal8Bit(name);
    *slave = ::open(name, O_RDWR | O_NOCTTY);
    if (*slave < 0) return false;
    termios t{};
    if (::tcgetattr(*slave, &t) != 0) return false;
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B115200);
    ::cfsetospeed(&t, B115200);
    if (::tcsetattr(*slave, TCSANOW, &t) != 0) return false;
    // Never block on a client that stopped reading; its next request purges anyway.
    ::fcntl(*master, F_SETFL, ::fcntl(*master, F_GETFL) | O_NONBLOCK);
    return true;
}

void Send(int master, const QByteArray &answer, int64_t startNs, const TOptions &o) {
    const int64_t byteNs = o.pace ? int64_t(11e9 / o.baud) : 0;
    if (!o.pace) {
        SleepUntilNs(startNs);
        const auto r = ::write(master, answer.constData(), size_t(answer.size()));
        (void)r;
        return;
    }
    for (int i = 0; i < answer.size(); ++i) {
        SleepUntilNs(startNs + (i + 1) * byteNs);
        const auto r = ::write(master, answer.constData() + i, 1);
        (void)r;
    }
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tripsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRIPCONF_VERSION));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "A simulated trip computer on a pseudo-terminal.\n"
        "Prints the terminal's path on the first line of stdout and answers until SIGTERM or SIGINT.\n"
        "Attach the tool with TRIPCONF_PORTS=1=<path>.\n"
        "Fault counts N hit the answers Skip+1 ... Skip+N.\n"
        "Exit status: 0 done, 1 failure, 2 a wrong command line."));
    const QList<QCommandLineOption> options = {
        {QStringLiteral("model"), QStringLiteral("Model code (default 0x4000)."), QStringLiteral("code")},
        {QStringLiteral("variant"), QStringLiteral("Header variant byte (default 0)."), QStringLiteral("n")},
        {QStringLiteral("address"), QStringLiteral("Device address (default 244)."), QStringLiteral("n")},
        {QStringLiteral("memory"),
         QStringLiteral("Start from this memory file (8192 bytes, or the 8128-byte image)."),
         QStringLiteral("file")},
        {QStringLiteral("dump"), QStringLiteral("Write the memory (8192 bytes) to this file on exit."),
         QStringLiteral("file")},
        {QStringLiteral("log"), QStringLiteral("Log every frame on stderr.")},
        {QStringLiteral("pace"), QStringLiteral("Send at line rate: 11 bits a byte at the --baud rate.")},
        {QStringLiteral("baud"), QStringLiteral("Rate for --pace, 50 ... 4000000 (default 115200)."),
         QStringLiteral("rate")},
        {QStringLiteral("turnaround"),
         QStringLiteral("Delay before each answer, ms, 0 ... 60000 (may be fractional)."),
         QStringLiteral("ms")},
        {QStringLiteral("silent"), QStringLiteral("Do not answer N requests."), QStringLiteral("N")},
        {QStringLiteral("bad-checksum"), QStringLiteral("Send N answers with a wrong checksum."),
         QStringLiteral("N")},
        {QStringLiteral("busy"), QStringLiteral("Answer N requests with status 0xFF (busy)."),
         QStringLiteral("N")},
        {QStringLiteral("drop-last"), QStringLiteral("Leave out the last byte of N answers."),
         QStringLiteral("N")},
        {QStringLiteral("short-frame"), QStringLiteral("Send N answers of LEN 5."), QStringLiteral("N")},
        {QStringLiteral("zero-header"), QStringLiteral("Send N answers whose header bytes are all zero."),
         QStringLiteral("N")},
        {QStringLiteral("late"), QStringLiteral("Send N answers --late-ms later than usual."),
         QStringLiteral("N")},
        {QStringLiteral("late-ms"),
         QStringLiteral("How late --late answers come, ms, 0 ... 60000 (default 150)."),
         QStringLiteral("ms")},
        {QStringLiteral("drop-write"),
         QStringLiteral("Answer the N-th WriteBlock as done but never store its bytes."),
         QStringLiteral("N")},
        {QStringLiteral("fault-skip"), QStringLiteral("Answer K requests normally before the faults start."),
         QStringLiteral("K")},
    };
    p.addOptions(options);
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption version = p.addVersionOption();
    if (!p.parse(QCoreApplication::arguments())) return Usage(p.errorText());
    if (p.isSet(help)) p.showHelp(0);
    if (p.isSet(version)) p.showVersion();
    if (!p.positionalArguments().isEmpty())
        return Usage(QStringLiteral("unexpected argument %1").arg(p.positionalArguments().constFirst()));

    TSimDevice device;
    TOptions o;
    o.log = p.isSet(QStringLiteral("log"));
    o.pace = p.isSet(QStringLiteral("pace"));
    o.dump = p.value(QStringLiteral("dump"));

    int model = device.ModelCode, variant = -1, address = device.Address, baud = o.baud;
    TSimFaults &f = device.Faults;
    f.LateMs = 150;
    QString error;
    const bool counted = ParseCount(p, QStringLiteral("model"), &model, &error) &&
                         ParseCount(p, QStringLiteral("variant"), &variant, &error) &&
                         ParseCount(p, QStringLiteral("address"), &address, &error) &&
                         ParseCount(p, QStringLiteral("baud"), &baud, &error) &&
                         ParseCount(p, QStringLiteral("silent"), &f.Silent, &error) &&
                         ParseCount(p, QStringLiteral("bad-checksum"), &f.BadChecksum, &error) &&
                         ParseCount(p, QStringLiteral("busy"), &f.Busy, &error) &&
                         ParseCount(p, QStringLiteral("drop-last"), &f.DropLast, &error) &&
                         ParseCount(p, QStringLiteral("short-frame"), &f.ShortFrame, &error) &&
                         ParseCount(p, QStringLiteral("zero-header"), &f.ZeroHeader, &error) &&
                         ParseCount(p, QStringLiteral("late"), &f.Late, &error) &&
                         ParseCount(p, QStringLiteral("late-ms"), &f.LateMs, &error) &&
                         ParseCount(p, QStringLiteral("drop-write"), &f.DropWrite, &error) &&
                         ParseCount(p, QStringLiteral("fault-skip"), &f.Skip, &error);
    if (!counted) return Usage(error);
    if (p.isSet(QStringLiteral("turnaround"))) {
        const QString text = p.value(QStringLiteral("turnaround"));
        bool ok = false;
        o.turnaroundMs = text.toDouble(&ok);
        // Not a NaN, not infinite, not negative, and no wait beyond what a test could sit through.
        if (!ok || !(o.turnaroundMs >= 0 && o.turnaroundMs <= kLongestWaitMs))
            return Usage(QStringLiteral("--turnaround wants milliseconds, 0 ... %1, not \"%2\"")
                             .arg(kLongestWaitMs)
                             .arg(text));
    }
    if (model > 0xFFFF) return Usage(QStringLiteral("--model is 0 ... 0xFFFF"));
    if (variant > 255) return Usage(QStringLiteral("--variant is 0 ... 255"));
    if (address < 1 || address > 255) return Usage(QStringLiteral("--address is 1 ... 255"));
    if (baud < 50 || baud > kMaxBaud) return Usage(QStringLiteral("--baud is 50 ... %1").arg(kMaxBaud));
    if (f.LateMs > kLongestWaitMs) return Usage(QStringLiteral("--late-ms is 0 ... %1").arg(kLongestWaitMs));

    if (p.isSet(QStringLiteral("memory"))) {
        const QString failure = device.LoadMemory(p.value(QStringLiteral("memory")));
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "tripsim: %s\n", qPrintable(failure));
            return 1;
        }
    }
    device.ModelCode = uint16_t(model);
    device.Address = uint8_t(address);
    if (variant >= 0) device.SetHeaderVariant(uint8_t(variant));
    o.baud = baud;

    if (o.log) {
        device.OnFrame = [](const QByteArray &request, const QByteArray &answer, const QString &faults) {
            std::fprintf(stderr, "PC> %s\nMK< %s%s%s\n", qPrintable(Hex(request)),
                         answer.isEmpty() ? "(nothing)" : qPrintable(Hex(answer)),
                         faults.isEmpty() ? "" : "  ; ", qPrintable(faults));
        };
    }

    int master = -1, slave = -1;
    QString path;
    if (!OpenPty(&master, &slave, &path)) {
        std::fprintf(stderr, "tripsim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    if (::pipe(g_signalPipe) != 0) return 1;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    ::sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);

    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);

    const int64_t byteNs = int64_t(11e9 / o.baud);
    for (bool running = true; running;) {
        pollfd fds[2] = {{master, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents) running = false;
        if (!(fds[0].revents & POLLIN)) continue;
        char buf[4096];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) continue;
        const int64_t now = NowNs();
        const QByteArray answer = device.Receive(QByteArrayView(buf, n), now / 1000000);
        if (answer.isEmpty()) continue;
        // Paced: the request needed its time on the line before the device saw its end.
        int64_t start = now + int64_t((o.turnaroundMs + device.AnswerDelayMs()) * 1e6);
        if (o.pace) start += byteNs * n;
        Send(master, answer, start, o);
    }

    int status = 0;
    if (!o.dump.isEmpty()) {
        const QString error = device.SaveMemory(o.dump);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "tripsim: %s\n", qPrintable(error));
            status = 1;
        }
    }
    if (o.log) std::fprintf(stderr, "tripsim: %d requests served\n", device.Requests());
    ::close(slave);
    ::close(master);
    return status;
}
