#pragma once
// TMLBaseInterface: a request/answer link. A request is built in TxBuf with the
// Put operations, executed, and the answer's fields are taken from RxBuf in order
// with the Get operations. Values wider than a byte are little-endian.

#include "link/ML_BD.h"

#include <array>
#include <cstdint>
#include <span>

class TMLBaseInterface : public TMLBaseDevice {
public:
    static constexpr int BufSize = 2048;

    using TMLBaseDevice::TMLBaseDevice;

    // The request buffer then the answer buffer, one array.
    std::array<uint8_t, 2 * BufSize> Buf{};
    std::span<uint8_t, BufSize> TxBuf() { return std::span<uint8_t, BufSize>(Buf.data(), BufSize); }
    std::span<uint8_t, BufSize> RxBuf() { return std::span<uint8_t, BufSize>(Buf.data() + BufSize, BufSize); }
    std::span<const uint8_t, BufSize> TxBuf() const {
        return std::span<const uint8_t, BufSize>(Buf.data(), BufSize);
    }
    std::span<const uint8_t, BufSize> RxBuf() const {
        return std::span<const uint8_t, BufSize>(Buf.data() + BufSize, BufSize);
    }
    int32_t TxLen = 0; // next byte to append; byte 0 is kept for the frame length
    int32_t RxPos = 0; // next byte to fetch

    // True when the RxBuf[0] bytes of the answer add up to 0 modulo 256 (LEN 0 never does).
    virtual bool CheckAnswer();
    virtual void ClearRequest();
    // Writes the length into byte 0 and the checksum after the last byte; TxLen
    // stays. A frame longer than 255 bytes raises RangeError.
    virtual void FinishRequest();

    // Appending beyond the buffer raises RangeError.
    virtual void PutByteAlt(uint8_t value) = 0;
    virtual void PutByte(uint8_t value);
    virtual void PutWord(uint16_t value);
    virtual void PutLongInt(int32_t value);
    virtual void PutSingle(float value);

    // Fetching beyond the buffer raises RangeError.
    virtual uint8_t GetByteAlt() = 0;
    virtual uint8_t GetByte();
    virtual uint16_t GetWord();
    virtual int32_t GetLongInt();
    virtual float GetSingle();
    virtual double GetDouble();
    virtual QString GetString();

    virtual void BeginRequest(uint8_t address, uint8_t command);
    // Sends the finished request and receives the answer, with retries; failures
    // raise Error with a ready-to-show message.
    virtual void Execute() = 0;
    // The same with one attempt.
    virtual void ExecuteOnce() = 0;
    virtual void Command(uint8_t address, uint8_t command);
    virtual int Identify();

protected:
    // Checksum that makes the low byte of the sum of bytes 0 … count-1 plus it zero.
    uint8_t RequestChecksum(int count) const;
};
