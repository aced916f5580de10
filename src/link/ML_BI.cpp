#include "link/ML_BI.h"

#include "base/Bytes.h"
#include "base/Error.h"

#include <cstring>

namespace {

[[noreturn]] void Overrun(const char *what) {
    throw RangeError(QStringLiteral("Range check error: %1").arg(QLatin1String(what)));
}

} // namespace

bool TMLBaseInterface::CheckAnswer() {
    const auto rx = RxBuf();
    const int n = rx[0];
    if (n == 0) return false; // no bytes at all: nothing that could add up
    unsigned sum = 0;
    for (int i = 0; i < n; ++i)
        sum += rx[size_t(i)];
    return (sum & 0xFF) == 0;
}

void TMLBaseInterface::ClearRequest() {
    TxLen = 1;
}

uint8_t TMLBaseInterface::RequestChecksum(int count) const {
    const auto tx = TxBuf();
    unsigned sum = 0;
    for (int i = 0; i < count; ++i)
        sum += tx[size_t(i)];
    return uint8_t((256 - sum % 256) % 256);
}

void TMLBaseInterface::FinishRequest() {
    if (TxLen < 0 || TxLen + 1 > 255) Overrun("request frame longer than 255 bytes");
    auto tx = TxBuf();
    tx[0] = uint8_t(TxLen + 1);
    tx[size_t(TxLen)] = RequestChecksum(TxLen);
}

void TMLBaseInterface::PutByte(uint8_t value) {
    if (TxLen < 0 || TxLen >= BufSize) Overrun("request buffer full");
    TxBuf()[size_t(TxLen)] = value;
    ++TxLen;
}

void TMLBaseInterface::PutWord(uint16_t value) {
    PutByte(uint8_t(value));
    PutByte(uint8_t(value >> 8));
}

void TMLBaseInterface::PutLongInt(int32_t value) {
    const auto v = uint32_t(value);
    for (int i = 0; i < 4; ++i)
        PutByte(uint8_t(v >> (8 * i)));
}

void TMLBaseInterface::PutSingle(float value) {
    uint8_t bytes[4];
    LE::PutFloat(bytes, value);
    for (uint8_t b : bytes)
        PutByte(b);
}

uint8_t TMLBaseInterface::GetByte() {
    if (RxPos < 0 || RxPos >= BufSize) Overrun("read beyond the answer buffer");
    return RxBuf()[size_t(RxPos++)];
}

uint16_t TMLBaseInterface::GetWord() {
    const uint8_t lo = GetByte();
    return uint16_t(lo | (GetByte() << 8));
}

int32_t TMLBaseInterface::GetLongInt() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(GetByte()) << (8 * i);
    return int32_t(v);
}

float TMLBaseInterface::GetSingle() {
    uint8_t bytes[4];
    for (uint8_t &b : bytes)
        b = GetByte();
    return LE::GetFloat(bytes);
}

double TMLBaseInterface::GetDouble() {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= uint64_t(GetByte()) << (8 * i);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

QString TMLBaseInterface::GetString() {
    return {};
}
void TMLBaseInterface::BeginRequest(uint8_t, uint8_t) {}
void TMLBaseInterface::Command(uint8_t, uint8_t) {}
int TMLBaseInterface::Identify() {
    return 0;
}
