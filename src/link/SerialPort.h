#pragma once
// The few things the link needs from a serial port. Production uses QSerialPort;
// tests plug in an in-process simulated device.

#include <QString>
#include <cstdint>
#include <memory>

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // The device path (or name) this port opens.
    virtual QString Path() const = 0;
    // Opens for reading and writing, exclusively. On failure ErrorString() tells why.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual QString ErrorString() const = 0;

    // Line settings; false when the device does not take them.
    virtual bool SetBaudRate(int rate) = 0;
    virtual int BaudRate() const = 0; // 0 when unknown
    virtual bool SetDataBits(int bits) = 0;
    virtual bool SetParity(int code) = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    virtual bool SetStopBits(int code) = 0; // 0 one, 1 one and a half, 2 two
    // Modem lines; a pty has none, so callers treat false as harmless.
    virtual bool SetDTR(bool on) = 0;
    virtual bool SetRTS(bool on) = 0;

    // Discards what has arrived but was not read, or what was written but not sent.
    virtual void PurgeInput() = 0;
    virtual void PurgeOutput() = 0;

    // Queues the bytes for sending in one go.
    virtual bool Write(const uint8_t *data, int count) = 0;
    // Takes up to max bytes of what has already arrived; returns at once.
    virtual int Read(uint8_t *dst, int max) = 0;
    // Blocks (without spinning) until data can be read or timeoutMs has passed;
    // true when data can be read.
    virtual bool WaitForData(int timeoutMs) = 0;
};

// A serial device of the system, through QSerialPort.
std::unique_ptr<SerialPort> MakeSystemSerialPort(const QString &path);
