#pragma once
// TML_RS: the request/answer protocol spoken with the trip computer over a serial
// port: framing, checksums, timing and retries.
//
// Request: LEN, address, the word 1, command, payload, CHK (the bytes add up to 0
// modulo 256). Answer: LEN, three header bytes (not all zero), status (0xFF = busy),
// payload, CHK. Every failure raises Error with a ready-to-show message.

#include "base/Error.h"
#include "link/LinkWait.h"
#include "link/ML_RS_Base.h"

// An attempt that failed because the answer, or a byte of it, did not come in time.
// Its bytes may still be on their way.
class TLinkTimeout : public Error {
public:
    using Error::Error;
};

class TML_RS : public TML_RS_Base {
public:
    explicit TML_RS(std::unique_ptr<TPortDirectory> ports = {}, TMLMenu *firstMenu = nullptr,
                    TMLMenu *secondMenu = nullptr);

    uint8_t PortType = 0;             // 0 RS-232, 1 RS-422, 2 RS-485 with request echo
    bool ShortHeader = false;         // requests without the word after the address
    bool WideLength = false;          // 16-bit frame length
    uint16_t InterByteTimeout = 200;  // ms between two bytes of one answer
    uint16_t FirstByteTimeout = 1000; // ms until the first byte of an answer
    uint16_t RetryPauseMs = 50;       // between attempts that did not fail by time-out

    void SetPortType(uint8_t type);

    bool CheckAnswer() override;
    void FinishRequest() override;
    void PutByteAlt(uint8_t value) override;
    uint8_t GetByteAlt() override;
    // Bytes up to a zero byte (consumed, not part of the text), code page 1251.
    QString GetString() override;
    void BeginRequest(uint8_t address, uint8_t command) override;
    // Up to three attempts, 50 ms apart, or once the line has fallen quiet after a
    // time-out; the third failure is passed on.
    void Execute() override;
    // Execute, where an answer whose payload is not exactly payload bytes fails the
    // attempt like a wrong checksum: missing bytes would be read from an older answer,
    // and an answer of another length belongs to another request.
    void ExecuteExpecting(int payload);
    void ExecuteOnce() override;
    void Command(uint8_t address, uint8_t command) override;
    virtual void CommandOnce(uint8_t address, uint8_t command);
    // The address of the one device on the line, or -1.
    int Identify() override;

    virtual void ReceiveAnswer();
    virtual void SendRequest();
    // One attempt: send, receive, check the header and the status.
    virtual void Transact();

    // How long ReceiveAnswer waits for the first byte: FirstByteTimeout plus the
    // time the request may still be on the line (9600 / BaudRate ms a byte).
    int FirstByteWait() const;

    // After a time-out the answer may still be coming, and it carries no block number:
    // taken for the answer to the next request it would pass for the wrong data. Reads
    // and drops bytes until none has come for InterByteTimeout (2 s at the most).
    void DrainLine();

private:
    // Index of the status byte; the payload follows it.
    int StatusIndex() const;
    // Payload bytes of the answer in RxBuf.
    int AnswerPayload() const;
    // payload < 0: any length.
    void Attempts(int payload);
    int FrameLength() const;
    // Reads up to max bytes; 0 when nothing arrived by the deadline.
    int ReadSome(uint8_t *dst, int max, LinkWait::Clock::time_point deadline);
    // A time-out raises TLinkTimeout, an answer too short plain Error.
    [[noreturn]] void FailNoLink(bool timedOut) const;
    void WaitForLine(int bytes) const;
};
