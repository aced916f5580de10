#pragma once
// A simulated trip computer: 8 KiB of configuration memory behind the serial
// protocol. It takes request bytes as they arrive and hands back the answer bytes;
// how they travel (a pty, an in-process port) is up to the caller.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>

// Each fault hits the answers numbered Skip + 1 … Skip + N (counting every request
// addressed to the device). Several may hit the same answer.
struct TSimFaults {
    int Skip = 0;
    int Silent = 0;      // no answer at all (the request is not executed)
    int BadChecksum = 0; // last byte wrong
    int Busy = 0;        // status 0xFF, no payload (not executed)
    int DropLast = 0;    // the last byte never comes
    int ShortFrame = 0;  // a frame of LEN 5
    int ZeroHeader = 0;  // header bytes 1 … 3 all zero
    int Late = 0;        // the answer comes LateMs later than it would
    int LateMs = 0;
    // Not counted like the others: the DropWrite-th WriteBlock (from 1) is answered as
    // done, but its bytes are never stored.
    int DropWrite = 0;

    bool Any() const {
        return Silent || BadChecksum || Busy || DropLast || ShortFrame || ZeroHeader || Late || DropWrite;
    }
};

class TSimDevice {
public:
    static constexpr int MemorySize = 8192;
    static constexpr int BlockSize = 32;
    static constexpr uint8_t DefaultAddress = 244;

    enum Command : uint8_t {
        Identify = 0,
        ReadModel = 1,
        WriteBlock = 4,
        ReadBlock = 5,
        WriteEnd = 7,
        WriteBegin = 12,
    };
    enum Status : uint8_t { StatusOk = 0, StatusUnknownCommand = 1, StatusBadRequest = 2, StatusBusy = 0xFF };

    // Starts with the default memory (DefaultMemory()).
    TSimDevice();

    QByteArray Memory; // always MemorySize bytes
    uint16_t ModelCode = 0x4000;
    uint8_t Address = DefaultAddress;
    uint8_t Firmware = 1; // the byte ReadModel sends before the model code
    TSimFaults Faults;
    // A pause longer than this inside a request starts a new one.
    int ResyncGapMs = 50;

    // Called for every request addressed to the device, with the answer sent
    // (empty when silent) and the faults applied to it ("busy", "bad checksum" …).
    std::function<void(const QByteArray &request, const QByteArray &answer, const QString &faults)> OnFrame;

    // Takes bytes from the PC; returns what the device sends back.
    QByteArray Receive(QByteArrayView bytes, int64_t nowMs);
    // How much later than usual the answers of the last Receive leave (Late fault).
    int AnswerDelayMs() const { return answerDelayMs_; }
    // Requests addressed to the device so far.
    int Requests() const { return requests_; }

    uint8_t HeaderVariant() const { return uint8_t(Memory.at(33)); }
    void SetHeaderVariant(uint8_t variant) { Memory[33] = char(variant); }

    // The memory of a device freshly set up: the section table, the default settings
    // and a few journal entries.
    static QByteArray DefaultMemory(uint8_t headerVariant = 0);
    // The 8128-byte image the tool reads (blocks 1 … 127 and 129 … 255).
    static QByteArray ImageOf(const QByteArray &memory);

    // A memory file holds the 8192 bytes, or the 8128-byte image (blocks 0 and 128
    // then stay as they are). Errors are returned as text.
    QString LoadMemory(const QString &path);
    QString SaveMemory(const QString &path) const;

private:
    QByteArray Serve(const QByteArray &request);
    uint8_t Execute(uint8_t command, QByteArrayView payload, QByteArray &answerPayload);
    void UpdateSectionSum(int address, int count);

    QByteArray pending_;
    int64_t lastByteMs_ = 0;
    int requests_ = 0;
    int writeBlocks_ = 0;
    int answerDelayMs_ = 0;

    // The section being written: WriteBegin stages it, WriteEnd commits it.
    QByteArray staged_;
    int stagedAddress_ = -1;
    int stagedCount_ = 0;
};
