#include "link/ML_RS_Base.h"

#include "base/IniFile.h"
#include "base/Prompts.h"
#include "link/LinkTexts.h"
#include "link/PortDirectory.h"
#include "link/SerialPort.h"

namespace {

TPortChoice *g_choice = nullptr;

QString Text(const char *utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TPortChoice *PortChoice() {
    return g_choice;
}
void SetPortChoice(TPortChoice *choice) {
    g_choice = choice;
}

TML_RS_Base::TML_RS_Base(std::unique_ptr<TPortDirectory> ports, TMLMenu *firstMenu, TMLMenu *secondMenu)
    : TMLBaseInterface(firstMenu, secondMenu),
      ports_(ports ? std::move(ports) : std::make_unique<TSystemPortDirectory>()) {
    if (ScanPorts() > 0) {
        PortNumber = FirstPresentPort();
        BaudRate = 115200;
        ByteSize = 8;
        Parity = 0;
        StopBits = 2;
        SectionName = QStringLiteral("RS232Base");
    } else {
        Prompts().ShowError(Text(LinkText::NoPort));
    }
}

TML_RS_Base::~TML_RS_Base() {
    ClosePort();
}

QString TML_RS_Base::PortDevicePath(int n) const {
    return ports_->DevicePath(n);
}

int TML_RS_Base::ScanPorts() {
    if (port_) ClosePort();
    PortCount = 0;
    PortPresent.fill(false);
    for (int n = 1; n <= MaxPorts; ++n) {
        PortPresent[size_t(n)] = ports_->Probe(n);
        if (PortPresent[size_t(n)]) ++PortCount;
    }
    return PortCount;
}

int TML_RS_Base::FirstPresentPort() const {
    for (int n = 1; n <= MaxPorts; ++n)
        if (PortPresent[size_t(n)]) return n;
    return 0;
}

void TML_RS_Base::SetActive(bool open) {
    if (open)
        OpenPort(PortNumber);
    else
        ClosePort();
}

void TML_RS_Base::OpenPort(int n) {
    if (n <= 0) return;
    PortNumber = n;
    if (n > MaxPorts || !PortPresent[size_t(n)]) PortNumber = FirstPresentPort();
    if (PortNumber == 0) {
        Prompts().ShowError(Text(LinkText::NoPort));
        openFailure_ = Text(LinkText::NoPort);
        return;
    }
    ClosePort();
    std::unique_ptr<SerialPort> port = ports_->CreatePort(PortNumber);
    if (!port || !port->Open()) {
        // Silent by design; the reason rides along with the next "no link" error.
        const QString path = port ? port->Path() : ports_->DevicePath(PortNumber);
        const QString reason = port ? port->ErrorString() : QString();
        openFailure_ = reason.isEmpty() ? path : QStringLiteral("%1: %2").arg(path, reason);
        if (port) port->Close();
        PortOpen = false;
        return;
    }
    port->SetBaudRate(BaudRate);
    port->SetDataBits(ByteSize);
    port->SetParity(Parity);
    port->SetStopBits(StopBits);
    port->SetDTR(true); // a pty has no DTR: not fatal
    port->PurgeInput();
    port_ = std::move(port);
    PortOpen = true;
}

void TML_RS_Base::ClosePort() {
    if (port_) port_->Close();
    port_.reset();
    PortOpen = false;
    openFailure_.clear();
}

bool TML_RS_Base::IsOpen() const {
    return port_ && port_->IsOpen();
}

void TML_RS_Base::SetBaudRate(int32_t rate) {
    BaudRate = rate;
    if (!IsOpen()) return;
    port_->SetBaudRate(rate);
    const int actual = port_->BaudRate();
    if (actual != 0) BaudRate = actual;
}

void TML_RS_Base::SetByteSize(uint8_t size) {
    ByteSize = size;
    if (IsOpen()) port_->SetDataBits(size);
}

void TML_RS_Base::SetParity(uint8_t parity) {
    Parity = parity;
    if (IsOpen()) port_->SetParity(parity);
}

void TML_RS_Base::SetStopBits(uint8_t stopBits) {
    StopBits = stopBits;
    if (IsOpen()) port_->SetStopBits(stopBits);
}

void TML_RS_Base::PurgeInput() {
    if (IsOpen()) port_->PurgeInput();
}

void TML_RS_Base::PurgeOutput() {
    if (IsOpen()) port_->PurgeOutput();
}

void TML_RS_Base::SetDTR() {
    if (IsOpen()) port_->SetDTR(true);
}

void TML_RS_Base::SetRTS() {
    if (IsOpen()) port_->SetRTS(true);
}

void TML_RS_Base::ClearRTS() {
    if (IsOpen()) port_->SetRTS(false);
}

void TML_RS_Base::SelectPort() {
    TPortChoice *choice = PortChoice();
    if (choice && !choice->PassGate()) return;
    if (IsOpen()) ClosePort();
    if (ScanPorts() == 0) {
        Prompts().ShowError(Text(LinkText::NoPort));
        return;
    }
    if (choice) {
        const int chosen = choice->ChoosePort(*this);
        if (chosen > 0) PortNumber = chosen;
    }
    ClosePort();
    OpenPort(PortNumber);
}

void TML_RS_Base::SelectBaudRate() {
    TPortChoice *choice = PortChoice();
    if (!choice || !choice->PassGate()) return;
    const std::optional<int> rate = choice->ChooseBaudRate(BaudRate);
    if (!rate) return;
    const int32_t old = BaudRate;
    SetBaudRate(*rate);
    if (BaudRate != *rate) {
        SetBaudRate(old);
        Prompts().ShowError(Text(LinkText::BaudRate));
    }
}

void TML_RS_Base::LoadSettings(TIniFile &ini) {
    OpenPort(ini.ReadInteger(SectionName, QStringLiteral("Port"), PortNumber));
}

void TML_RS_Base::SaveSettings(TIniFile &ini) {
    ini.WriteInteger(SectionName, QStringLiteral("Port"), PortNumber);
}
