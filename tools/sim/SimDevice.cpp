#include "SimDevice.h"

#include "base/Bytes.h"
#include "base/SafeFile.h"
#include "model/MKLayout.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

namespace {

uint8_t Sum(QByteArrayView bytes) {
    unsigned sum = 0;
    for (char c : bytes)
        sum += uint8_t(c);
    return uint8_t(sum);
}

uint16_t Word(QByteArrayView bytes, int at) {
    return uint16_t(uint8_t(bytes[at]) | (uint8_t(bytes[at + 1]) << 8));
}

bool Hits(int index, int skip, int count) {
    return index >= skip && index < skip + count;
}

} // namespace

TSimDevice::TSimDevice() : Memory(DefaultMemory()) {}

QByteArray TSimDevice::Receive(QByteArrayView bytes, int64_t nowMs) {
    if (!pending_.isEmpty() && nowMs - lastByteMs_ > ResyncGapMs) pending_.clear();
    lastByteMs_ = nowMs;
    pending_.append(bytes);
    answerDelayMs_ = 0;

    QByteArray out;
    while (!pending_.isEmpty()) {
        const int length = uint8_t(pending_[0]);
        if (length < 6) { // cannot start a request: skip it
            pending_.remove(0, 1);
            continue;
        }
        if (pending_.size() < length) break;
        const QByteArray request = pending_.left(length);
        pending_.remove(0, length);
        out += Serve(request);
    }
    return out;
}

QByteArray TSimDevice::Serve(const QByteArray &request) {
    if (Sum(request) != 0) return {}; // garbled: a slave keeps quiet
    const uint8_t address = uint8_t(request[1]);
    const uint8_t command = uint8_t(request[4]);
    const bool identify = address == 0 && command == Identify;
    if (address != Address && !identify) return {};

    const int index = requests_++;
    const TSimFaults &f = Faults;
    QStringList faults;
    const bool silent = Hits(index, f.Skip, f.Silent);
    const bool busy = Hits(index, f.Skip, f.Busy);

    uint8_t status = StatusBusy;
    QByteArray payload;
    if (!silent && !busy)
        status = Execute(command, QByteArrayView(request).sliced(5, request.size() - 6), payload);

    QByteArray answer;
    if (silent) {
        faults << QStringLiteral("silent");
    } else {
        const bool zero = Hits(index, f.Skip, f.ZeroHeader);
        answer.append(char(6 + payload.size()));
        answer.append(zero ? char(0) : char(Address));
        answer.append(zero ? char(0) : char(1));
        answer.append(char(0));
        answer.append(char(status));
        answer.append(payload);
        answer.append(char(uint8_t(256 - Sum(answer))));
        if (busy) faults << QStringLiteral("busy");
        if (zero) faults << QStringLiteral("zero header");
        if (Hits(index, f.Skip, f.BadChecksum)) {
            answer[answer.size() - 1] = char(uint8_t(answer.back()) ^ 0x5A);
            faults << QStringLiteral("bad checksum");
        }
        if (Hits(index, f.Skip, f.ShortFrame)) {
            answer = answer.left(4);
            answer[0] = 5;
            answer.append(char(uint8_t(256 - Sum(answer))));
            faults << QStringLiteral("LEN 5");
        }
        if (Hits(index, f.Skip, f.DropLast)) {
            answer.chop(1);
            faults << QStringLiteral("last byte dropped");
        }
        if (Hits(index, f.Skip, f.Late)) {
            answerDelayMs_ = std::max(answerDelayMs_, f.LateMs);
            faults << QStringLiteral("%1 ms late").arg(f.LateMs);
        }
    }
    if (OnFrame) OnFrame(request, answer, faults.join(QStringLiteral(", ")));
    return answer;
}

uint8_t TSimDevice::Execute(uint8_t command, QByteArrayView payload, QByteArray &answer) {
    switch (command) {
    case Identify:
        return StatusOk;
    case ReadModel:
        answer.append(char(Firmware));
        answer.append(char(ModelCode & 0xFF));
        answer.append(char(ModelCode >> 8));
        return StatusOk;
    case ReadBlock: {
        if (payload.size() < 2) return StatusBadRequest;
        const int block = Word(payload, 0);
        if (block >= MemorySize / BlockSize) return StatusBadRequest;
        answer = Memory.mid(block * BlockSize, BlockSize);
        return StatusOk;
    }
    case WriteBegin: {
        if (payload.size() < 4) return StatusBadRequest;
        const int address = Word(payload, 0), count = Word(payload, 2);
        if (count == 0 || address + count > MemorySize) return StatusBadRequest;
        stagedAddress_ = address;
        stagedCount_ = count;
        staged_ = Memory.mid(address, count);
        return StatusOk;
    }
    case WriteBlock: {
        if (payload.size() < 4 || stagedAddress_ < 0) return StatusBadRequest;
        const int index = Word(payload, 0), count = Word(payload, 2);
        const int at = index * BlockSize;
        if (count < 1 || count > BlockSize || payload.size() < 4 + count || at + count > stagedCount_)
            return StatusBadRequest;
        if (++writeBlocks_ == Faults.DropWrite) return StatusOk; // acknowledged, never stored
        staged_.replace(at, count, payload.sliced(4, count).toByteArray());
        return StatusOk;
    }
    case WriteEnd: {
        // The staging stays, so a repeated WriteEnd (its answer was lost) commits the same bytes again.
        if (payload.size() < 4) return StatusBadRequest;
        const int address = Word(payload, 0), count = Word(payload, 2);
        if (address != stagedAddress_ || count != stagedCount_) return StatusBadRequest;
        Memory.replace(address, count, staged_);
        UpdateSectionSum(address, count);
        return StatusOk;
    }
    default:
        return StatusUnknownCommand;
    }
}

// The device keeps a sum of each section in the four bytes after its data.
void TSimDevice::UpdateSectionSum(int address, int count) {
    const auto *mem = reinterpret_cast<uint8_t *>(Memory.data());
    const int sections = mem[32];
    for (int k = 1; k <= sections && 32 + 4 * k + 3 < MemorySize; ++k) {
        const int a = LE::Get<uint16_t>(mem + 32 + 4 * k);
        const int length = LE::Get<uint16_t>(mem + 32 + 4 * k + 2);
        if (a != address || length - 4 != count || a + length > MemorySize) continue;
        uint32_t sum = 0;
        for (int i = 0; i < count; ++i)
            sum += mem[a + i];
        LE::Put<uint32_t>(reinterpret_cast<uint8_t *>(Memory.data()) + a + count, sum);
    }
}

QByteArray TSimDevice::ImageOf(const QByteArray &memory) {
    const int half = MemorySize / 2;
    return memory.mid(BlockSize, half - BlockSize) + memory.mid(half + BlockSize, half - BlockSize);
}

QString TSimDevice::LoadMemory(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("%1: %2").arg(path, f.errorString());
    const QByteArray bytes = f.readAll();
    const int half = MemorySize / 2, image = MemorySize - 2 * BlockSize;
    if (bytes.size() == MemorySize) {
        Memory = bytes;
    } else if (bytes.size() == image) {
        Memory.replace(BlockSize, half - BlockSize, bytes.left(half - BlockSize));
        Memory.replace(half + BlockSize, half - BlockSize, bytes.mid(half - BlockSize));
    } else {
        return QStringLiteral("%1: %2 bytes; a memory file holds %3 or %4 bytes")
            .arg(path)
            .arg(bytes.size())
            .arg(MemorySize)
            .arg(image);
    }
    return {};
}

QString TSimDevice::SaveMemory(const QString &path) const {
    return SafeFile::TryWrite(path, Memory);
}
