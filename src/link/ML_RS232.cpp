#include "link/ML_RS232.h"

#include "base/Bytes.h"
#include "base/Cp1251.h"
#include "base/Error.h"
#include "base/Prompts.h"
#include "base/Rounding.h"
#include "link/LinkLog.h"
#include "link/LinkTexts.h"
#include "link/SerialPort.h"

#include <QThread>
#include <algorithm>
#include <thread>

#if defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

Q_LOGGING_CATEGORY(LinkLog, "tripconf.link", QtInfoMsg)

using LinkWait::Clock;
using std::chrono::milliseconds;

namespace {

QString Text(const char *utf8) {
    return QString::fromUtf8(utf8);
}

QString Hex(const uint8_t *bytes, int count) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(bytes), count).toHex(' '));
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

QString ExchangeError(int position) {
    return Text(LinkText::Exchange) + QStringLiteral("(%1)").arg(position);
}

// RS-485 turns the line around right after the request; the echo must be read at
// once, so the process runs at the highest priority meanwhile (where it may).
class TRealTimeScope {
public:
    TRealTimeScope() {
#if defined(Q_OS_WIN)
        processClass_ = ::GetPriorityClass(::GetCurrentProcess());
        threadPriority_ = ::GetThreadPriority(::GetCurrentThread());
        ::SetPriorityClass(::GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
        ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
#endif
    }
    ~TRealTimeScope() {
#if defined(Q_OS_WIN)
        ::SetPriorityClass(::GetCurrentProcess(), processClass_);
        ::SetThreadPriority(::GetCurrentThread(), threadPriority_);
#endif
    }
    TRealTimeScope(const TRealTimeScope &) = delete;
    TRealTimeScope &operator=(const TRealTimeScope &) = delete;

private:
#if defined(Q_OS_WIN)
    DWORD processClass_ = NORMAL_PRIORITY_CLASS;
    int threadPriority_ = THREAD_PRIORITY_NORMAL;
#endif
};

} // namespace

TML_RS::TML_RS(std::unique_ptr<TPortDirectory> ports, TMLMenu *firstMenu, TMLMenu *secondMenu)
    : TML_RS_Base(std::move(ports), firstMenu, secondMenu) {
    BaudRate = 115200;
    ByteSize = 8;
    Parity = 0;
    StopBits = 2;
    Caption = QStringLiteral("RS232");
    InFirstMenu = true;
    InSecondMenu = false;
    CreateMenus();
    if (FirstMenu)
        AddMenuCommand(
            QStringLiteral("COM-port number"), QStringLiteral("(None)"), [this] { SelectPort(); }, 10000);
    FirstByteTimeout = 1000;
    InterByteTimeout = 200;
    SectionName = QStringLiteral("RS232");
    ShortHeader = false;
    WideLength = false;
}

void TML_RS::SetPortType(uint8_t type) {
    PortType = type < 3 ? type : 0;
}

// --- frames ----------------------------------------------------------------------

int TML_RS::StatusIndex() const {
    return (WideLength ? 2 : 1) + (ShortHeader ? 1 : 3);
}

int TML_RS::FrameLength() const {
    const auto tx = TxBuf();
    if (WideLength) return std::min(int(LE::Get<uint16_t>(tx.data())), BufSize);
    return tx[0] == 0 ? 256 : tx[0];
}

bool TML_RS::CheckAnswer() {
    if (!WideLength) return TMLBaseInterface::CheckAnswer();
    const auto rx = RxBuf();
    const int n = LE::Get<uint16_t>(rx.data());
    if (n == 0 || n > BufSize) return false;
    unsigned sum = 0;
    for (int i = 0; i < n; ++i)
        sum += rx[size_t(i)];
    return (sum & 0xFF) == 0;
}

void TML_RS::FinishRequest() {
    if (!WideLength) {
        TMLBaseInterface::FinishRequest();
        return;
    }
    if (TxLen < 2 || TxLen >= BufSize)
        throw RangeError(QStringLiteral("Range check error: request frame too long"));
    auto tx = TxBuf();
    LE::Put<uint16_t>(tx.data(), uint16_t(TxLen + 1));
    tx[size_t(TxLen)] = RequestChecksum(TxLen);
}

void TML_RS::PutByteAlt(uint8_t value) {
    PutByte(value);
}
uint8_t TML_RS::GetByteAlt() {
    return GetByte();
}

QString TML_RS::GetString() {
    QByteArray bytes;
    for (uint8_t b = GetByte(); b != 0; b = GetByte())
        bytes.append(char(b));
    return Cp1251::Decode(bytes);
}

void TML_RS::BeginRequest(uint8_t address, uint8_t command) {
    ClearRequest();
    if (WideLength) PutByte(0);
    PutByte(address);
    if (!ShortHeader) PutWord(1);
    PutByte(command);
}

// --- exchange ----------------------------------------------------------------------

int TML_RS::FirstByteWait() const {
    const int64_t onLine = BaudRate > 0 ? RoundHalfEven(9600.0 / BaudRate * TxLen) : 0;
    return FirstByteTimeout + int(std::clamp<int64_t>(onLine, 0, 1000000));
}

void TML_RS::FailNoLink(bool timedOut) const {
    QString text = Text(LinkText::NoLink);
    // Most often the port itself could not be opened; say why.
    if (!IsOpen() && !OpenFailure().isEmpty()) text += QLatin1Char('\n') + OpenFailure();
    if (timedOut) throw TLinkTimeout(text);
    throw Error(text);
}

int TML_RS::ReadSome(uint8_t *dst, int max, Clock::time_point deadline) {
    for (;;) {
        // The port is looked up each round: window events may have closed it.
        SerialPort *port = IsOpen() ? PortHandle() : nullptr;
        const int n = port ? port->Read(dst, max) : 0;
        LinkWait::ProcessEvents();
        if (n > 0) return n;
        const int left = LinkWait::MsUntil(deadline);
        if (left <= 0) return 0;
        const int slice = std::min(left, LinkWait::SliceMs);
        port = IsOpen() ? PortHandle() : nullptr;
        if (port)
            port->WaitForData(slice);
        else
            std::this_thread::sleep_for(milliseconds(slice));
    }
}

// The rest of a frame cannot come faster than the line carries it (10 bits a byte at
// the least): sleep through three quarters of that rather than wake for every byte;
// the last bytes then end the wait themselves, so nothing is overslept.
void TML_RS::WaitForLine(int bytes) const {
    if (BaudRate <= 0) return;
    const int64_t us = std::min<int64_t>(int64_t(bytes) * 7500000 / BaudRate, LinkWait::SliceMs * 1000);
    if (us >= 200) std::this_thread::sleep_for(std::chrono::microseconds(us));
}

void TML_RS::SendRequest() {
    const bool echo = PortType == 2;
    std::unique_ptr<TRealTimeScope> realTime;
    if (echo) {
        SetRTS();
        realTime = std::make_unique<TRealTimeScope>();
    }
    const int length = FrameLength();
    PurgeInput();
    PurgeOutput();
    if (IsOpen()) PortHandle()->Write(TxBuf().data(), length);
    if (echo) {
        try {
            ReceiveAnswer();
        } catch (const Error &) {
            // The echo only clears the line; whatever it looked like does not matter.
        }
        ClearRTS();
    }
}

void TML_RS::ReceiveAnswer() {
    uint8_t *rx = RxBuf().data();
    const int minLength = StatusIndex() + 2;

    if (ReadSome(rx, 1, Clock::now() + milliseconds(FirstByteWait())) == 0) FailNoLink(true);
    int got = 1;
    int length = rx[0];
    if (WideLength) {
        if (ReadSome(rx + 1, 1, Clock::now() + milliseconds(InterByteTimeout)) == 0)
            throw TLinkTimeout(Text(LinkText::Delay));
        got = 2;
        length = LE::Get<uint16_t>(rx);
        if (length > BufSize) throw Error(ExchangeError(0));
    }
    if (length < minLength) FailNoLink(false);

    Clock::time_point lastByte = Clock::now();
    while (got < length) {
        const int n = ReadSome(rx + got, length - got, lastByte + milliseconds(InterByteTimeout));
        if (n == 0) throw TLinkTimeout(Text(LinkText::Delay));
        got += n;
        lastByte = Clock::now();
        if (got < length) WaitForLine(length - got);
    }
    if (!CheckAnswer()) throw Error(ExchangeError(0));
}

void TML_RS::Transact() {
    if (!LinkLog().isDebugEnabled()) {
        SendRequest();
        ReceiveAnswer();
    } else {
        qCDebug(LinkLog).noquote() << "PC>" << Hex(TxBuf().data(), FrameLength());
        const Clock::time_point start = Clock::now();
        SendRequest();
        try {
            ReceiveAnswer();
        } catch (const Error &e) {
            qCDebug(LinkLog).noquote()
                << QStringLiteral("MK< failed after %1 ms: %2")
                       .arg(MsSince(start), 0, 'f', 1)
                       .arg(QString(e.message()).replace(QLatin1Char('\n'), QLatin1String("; ")));
            throw;
        }
        const int length = WideLength ? LE::Get<uint16_t>(RxBuf().data()) : RxBuf()[0];
        qCDebug(LinkLog).noquote() << "MK<" << Hex(RxBuf().data(), length)
                                   << QStringLiteral("(%1 ms)").arg(MsSince(start), 0, 'f', 1);
    }
    const auto rx = RxBuf();
    const int status = StatusIndex();
    const int first = WideLength ? 2 : 1;
    if (std::all_of(rx.begin() + first, rx.begin() + status, [](uint8_t b) { return b == 0; }))
        throw Error(ExchangeError(status));
    if (rx[size_t(status)] == 0xFF) throw Error(Text(LinkText::Busy));
}

void TML_RS::Execute() {
    Attempts(-1);
}

void TML_RS::ExecuteExpecting(int payload) {
    Attempts(payload);
}

int TML_RS::AnswerPayload() const {
    const auto rx = RxBuf();
    const int length = WideLength ? LE::Get<uint16_t>(rx.data()) : rx[0];
    return length - StatusIndex() - 2; // the status before, the checksum after
}

void TML_RS::Attempts(int payload) {
    FinishRequest();
    if (PortType != 0) LinkWait::Pause(2);
    bool timedOut = false;
    for (int attempt = 1;; ++attempt) {
        try {
            Transact();
            if (payload >= 0 && AnswerPayload() != payload) throw Error(ExchangeError(0));
            break;
        } catch (const TLinkTimeout &) {
            if (attempt == 3) throw;
            timedOut = true;
            DrainLine();
        } catch (const Error &) {
            if (attempt == 3) throw;
            LinkWait::Pause(RetryPauseMs);
        }
    }
    // The answer may have been the one to the attempt that timed out; the answer to
    // this one would then still be coming, and would pass for the next request's.
    if (timedOut) DrainLine();
    RxPos = StatusIndex() + 1;
}

void TML_RS::DrainLine() {
    constexpr int kLongestMs = 2000; // a line that never falls quiet is not waited for forever
    const Clock::time_point limit = Clock::now() + milliseconds(kLongestMs);
    uint8_t sink[256];
    int dropped = 0;
    for (;;) {
        const Clock::time_point quietUntil = std::min(limit, Clock::now() + milliseconds(InterByteTimeout));
        const int n = ReadSome(sink, int(sizeof sink), quietUntil);
        if (n == 0) break;
        dropped += n;
        if (Clock::now() >= limit) break;
    }
    PurgeInput();
    if (dropped > 0) qCDebug(LinkLog) << "dropped" << dropped << "late bytes";
}

void TML_RS::ExecuteOnce() {
    FinishRequest();
    if (PortType != 0) LinkWait::Pause(20);
    Transact();
    RxPos = StatusIndex() + 1;
}

void TML_RS::Command(uint8_t address, uint8_t command) {
    BeginRequest(address, command);
    Execute();
}

void TML_RS::CommandOnce(uint8_t address, uint8_t command) {
    BeginRequest(address, command);
    ExecuteOnce();
}

int TML_RS::Identify() {
    if (!IsOpen()) return -1;
    if (PortType != 0 && !Prompts().Confirm(Text(LinkText::OnlyOne))) return -1;
    // Address 0, command 0, and zeros where a request normally carries the word 1.
    ClearRequest();
    if (WideLength) PutByte(0);
    PutByte(0);
    if (!ShortHeader) PutWord(0);
    PutByte(0);
    Execute();
    return RxBuf()[WideLength ? 2 : 1];
}
