#pragma once
// Port numbers 1 … 32 as the program knows them, and the devices behind them.
//
// Windows: port n is COMn, opened as \\.\COMn.
// Linux: a fixed rule, so that a number always means the same device whatever
// else is plugged in:
//   COM1  … COM8   /dev/ttyS0   … /dev/ttyS7    (built-in ports; only real UARTs count)
//   COM9  … COM20  /dev/ttyUSB0 … /dev/ttyUSB11 (USB-serial adapters)
//   COM21 … COM32  /dev/ttyACM0 … /dev/ttyACM11 (CDC-ACM devices)
// The environment variable TRIPCONF_PORTS ("1=/dev/pts/4;2=/dev/ttyUSB0") replaces
// the whole rule: only the ports it names exist.

#include <QMap>
#include <QString>
#include <memory>

class SerialPort;

class TPortDirectory {
public:
    static constexpr int MaxPorts = 32;

    virtual ~TPortDirectory() = default;
    // The device behind port n; empty when no device maps to n.
    virtual QString DevicePath(int n) const = 0;
    // Whether port n is there: a query that does not open the device for use.
    virtual bool Probe(int n) const = 0;
    // A closed port object for port n; nullptr when no device maps to n.
    virtual std::unique_ptr<SerialPort> CreatePort(int n) = 0;
};

// The system's serial ports by the rule above.
class TSystemPortDirectory final : public TPortDirectory {
public:
    QString DevicePath(int n) const override;
    bool Probe(int n) const override;
    std::unique_ptr<SerialPort> CreatePort(int n) override;
};

// The device path of port n on this system (for showing next to "COMn").
QString PortDevicePath(int n);

// What the system knows about the adapter behind a device, so that a user recognises
// it: "FT232R USB UART, FTDI, serial A1B2C3, USB 0403:6001"; empty when it knows nothing
// (a built-in port without a name, a pseudo-terminal).
struct TPortInfo {
    QString description, manufacturer, serialNumber;
    int vendorId = -1, productId = -1; // -1: not a USB device
};
QString PortDetails(const TPortInfo &info);
QString PortDetails(const QString &devicePath);

// Parses "1=/dev/pts/4;2=/dev/ttyUSB0". Entries without a number 1 … 32 or a path
// are skipped; a later entry for the same number wins.
QMap<int, QString> ParsePortOverride(const QString &text);
