#include "link/PortDirectory.h"

#include "link/SerialPort.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QtGlobal>

#if defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

constexpr char kOverrideVariable[] = "TRIPCONF_PORTS";

// Ranges of the Linux rule: first port number, device prefix, how many.
struct TRange {
    int first;
    const char *prefix;
    int count;
};
constexpr TRange kRanges[] = {{1, "/dev/ttyS", 8}, {9, "/dev/ttyUSB", 12}, {21, "/dev/ttyACM", 12}};

bool OverrideActive(QMap<int, QString> *map) {
    const QString text = qEnvironmentVariable(kOverrideVariable).trimmed();
    if (text.isEmpty()) return false;
    *map = ParsePortOverride(text);
    return true;
}

#if !defined(Q_OS_WIN)
// The kernel keeps a ttyS node for every possible built-in port; only those with a
// UART behind them have a non-zero type.
bool IsRealUart(const QString &path) {
    const QString name = QFileInfo(QFileInfo(path).canonicalFilePath()).fileName();
    static const QRegularExpression ttyS(QStringLiteral("^ttyS\\d+$"));
    if (!ttyS.match(name).hasMatch()) return true;
    QFile type(QStringLiteral("/sys/class/tty/%1/type").arg(name));
    if (!type.open(QIODevice::ReadOnly)) return true; // no sysfs (container): trust the node
    return type.readAll().trimmed() != "0";
}
#endif

} // namespace

QMap<int, QString> ParsePortOverride(const QString &text) {
    QMap<int, QString> map;
    const QStringList entries = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &entry : entries) {
        const int eq = int(entry.indexOf(QLatin1Char('=')));
        if (eq <= 0) continue;
        bool ok = false;
        const int n = entry.left(eq).trimmed().toInt(&ok);
        const QString path = entry.mid(eq + 1).trimmed();
        if (!ok || n < 1 || n > TPortDirectory::MaxPorts || path.isEmpty()) continue;
        map.insert(n, path);
    }
    return map;
}

QString TSystemPortDirectory::DevicePath(int n) const {
    if (n < 1 || n > MaxPorts) return {};
    QMap<int, QString> map;
    if (OverrideActive(&map)) return map.value(n);
#if defined(Q_OS_WIN)
    return QStringLiteral("\\\\.\\COM%1").arg(n);
#else
    for (const TRange &r : kRanges)
        if (n >= r.first && n < r.first + r.count)
            return QLatin1String(r.prefix) + QString::number(n - r.first);
    return {};
#endif
}

bool TSystemPortDirectory::Probe(int n) const {
    const QString path = DevicePath(n);
    if (path.isEmpty()) return false;
#if defined(Q_OS_WIN)
    // Query-only open: no access rights asked, so it does not disturb a port in use elsewhere.
    const HANDLE h = ::CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), 0, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE || h == nullptr) return false;
    ::CloseHandle(h);
    return true;
#else
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    return IsRealUart(path);
#endif
}

std::unique_ptr<SerialPort> TSystemPortDirectory::CreatePort(int n) {
    const QString path = DevicePath(n);
    if (path.isEmpty()) return nullptr;
    return MakeSystemSerialPort(path);
}

QString PortDevicePath(int n) {
    return TSystemPortDirectory().DevicePath(n);
}

QString PortDetails(const TPortInfo &info) {
    QStringList parts;
    const QString description = info.description.trimmed();
    const QString manufacturer = info.manufacturer.trimmed();
    if (!description.isEmpty()) parts << description;
    // Drivers often repeat the maker in the description.
    if (!manufacturer.isEmpty() && !description.contains(manufacturer, Qt::CaseInsensitive)) parts << manufacturer;
    if (!info.serialNumber.trimmed().isEmpty()) parts << QStringLiteral("serial %1").arg(info.serialNumber.trimmed());
    if (info.vendorId >= 0 && info.productId >= 0)
        parts << QStringLiteral("USB %1:%2")
                     .arg(info.vendorId, 4, 16, QLatin1Char('0'))
                     .arg(info.productId, 4, 16, QLatin1Char('0'));
    return parts.join(QStringLiteral(", "));
}

QString PortDetails(const QString &devicePath) {
    if (devicePath.isEmpty()) return {};
    // /dev/serial/by-id/… names are links to the ttyUSB/ttyACM nodes the system lists.
    const QString canonical = QFileInfo(devicePath).canonicalFilePath();
    for (const QSerialPortInfo &p : QSerialPortInfo::availablePorts()) {
        if (p.systemLocation() != devicePath && p.systemLocation() != canonical) continue;
        TPortInfo info{p.description(), p.manufacturer(), p.serialNumber()};
        if (p.hasVendorIdentifier() && p.hasProductIdentifier()) {
            info.vendorId = p.vendorIdentifier();
            info.productId = p.productIdentifier();
        }
        return PortDetails(info);
    }
    return {};
}
