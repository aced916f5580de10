#pragma once
// TML_RS_Base: the request/answer interface bound to a serial port: opening and
// closing, the line settings and the ports found by the last scan.

#include "link/ML_BI.h"
#include "link/PortDirectory.h"
#include "link/SerialPort.h"

#include <array>
#include <memory>
#include <optional>

class TML_RS_Base;

// The port and baud-rate dialogs live with the windows; the link asks them
// through this interface (installed with SetPortChoice).
class TPortChoice {
public:
    virtual ~TPortChoice() = default;
    // The access gate in front of both dialogs; false leaves everything as it is.
    virtual bool PassGate() { return true; }
    // Lets the user pick one of the present ports (link.PortPresent, with
    // link.PortNumber preselected); 0 when cancelled or nothing was picked.
    virtual int ChoosePort(const TML_RS_Base &link) = 0;
    // Lets the user pick a rate starting from current; nothing when cancelled.
    virtual std::optional<int> ChooseBaudRate(int current) = 0;
};

// nullptr when no dialogs are installed (then choosing changes nothing).
TPortChoice *PortChoice();
void SetPortChoice(TPortChoice *choice);

class TML_RS_Base : public TMLBaseInterface {
public:
    static constexpr int MaxPorts = 32;

    // Scans the ports at once and preselects the lowest one found; with none,
    // shows "Can not find free serial port!". Without a directory the system's
    // ports are used.
    explicit TML_RS_Base(std::unique_ptr<TPortDirectory> ports = {}, TMLMenu *firstMenu = nullptr,
                         TMLMenu *secondMenu = nullptr);
    ~TML_RS_Base() override;

    int32_t PortCount = 0;
    std::array<bool, MaxPorts + 1> PortPresent{}; // [1] … [32] used
    bool PortOpen = false;
    int32_t PortNumber = 0; // 0 = none
    int32_t BaudRate = 115200;
    uint8_t ByteSize = 8;
    uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t StopBits = 2; // 0 one, 1 one and a half, 2 two

    // The open port; nullptr when closed.
    SerialPort *PortHandle() const { return port_.get(); }
    TPortDirectory &Ports() const { return *ports_; }
    // The device behind port n, for showing next to "COMn".
    QString PortDevicePath(int n) const;
    // Why the last open attempt failed ("/dev/ttyUSB0: Permission denied"); empty
    // after a successful open and after ClosePort.
    const QString &OpenFailure() const { return openFailure_; }

    int ScanPorts();
    int FirstPresentPort() const;

    void SetActive(bool open);
    // Opens port n, or the lowest present port when n is absent. A failed open is
    // silent: PortOpen stays false and OpenFailure() tells why.
    void OpenPort(int n);
    virtual void ClosePort();
    bool IsOpen() const;

    // Stored, and applied when the port is open; the rate the port reports back wins.
    void SetBaudRate(int32_t rate);
    void SetByteSize(uint8_t size);
    void SetParity(uint8_t parity);
    void SetStopBits(uint8_t stopBits);
    virtual void PurgeInput();
    virtual void PurgeOutput();
    void SetDTR();
    void SetRTS();
    void ClearRTS();

    // The port-number dialog: rescans, asks, then closes and reopens the chosen port.
    virtual void SelectPort();
    // The baud-rate dialog; a rate the port does not take is undone with an error box.
    virtual void SelectBaudRate();

    // Section SectionName, integer "Port".
    void LoadSettings(TIniFile &ini) override;
    void SaveSettings(TIniFile &ini) override;

private:
    std::unique_ptr<TPortDirectory> ports_;
    std::unique_ptr<SerialPort> port_;
    QString openFailure_;
};
