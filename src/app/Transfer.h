#pragma once
// The two device transfers: reading the trip computer's settings memory into the
// settings image, and writing the edited settings back. Written once, without
// windows: the main window drives them with the progress window, the command-line
// tool with lines on stderr. Boxes go through Prompts().
//
// Both open the port, show the progress, repeat ReadModel until the device answers
// or the user cancels, and in every outcome free the progress and close the port.

#include "app/TransferProgress.h"

#include "base/Error.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TML_RS;
class TMK;

enum class TTransferResult {
    Done,      // read: the image holds the device's memory; write: every section sent and checked
    Cancelled, // given up while connecting: nothing changed
    Refused,   // write: damaged settings, wrong model, firmware variant or section table,
               // or no backup; nothing written
    Failed,    // read: a link error; write: the check after writing found a difference.
               // Shown in the error box.
};

// A link error once the first section has gone out: the device may hold part of the
// new settings. The message says so and names the backup, which Backup holds (empty
// when none was made).
class TWriteCutOff : public Error {
public:
    TWriteCutOff(const QString &message, QString backup) : Error(message), Backup(std::move(backup)) {}
    QString Backup;
};

class TDeviceTransfer {
public:
    // Creates and shows the progress; the transfer frees it when it ends.
    using TProgressFactory = std::function<std::unique_ptr<TTransferProgress>()>;

    static constexpr uint8_t TripComputerAddress = 244;
    static constexpr uint32_t TripComputerMemorySize = 8192;
    static constexpr int BlockSize = 32;

    // Device commands.
    static constexpr uint8_t ReadModel = 1;
    static constexpr uint8_t WriteBlock = 4;
    static constexpr uint8_t ReadBlock = 5;
    static constexpr uint8_t WriteEnd = 7;
    static constexpr uint8_t WriteBegin = 12;

    // The first-byte waits: ReadModel and ReadBlock, then the write commands.
    static constexpr uint16_t ReadTimeoutMs = 100;
    static constexpr uint16_t WriteTimeoutMs = 2000;

    // deviceAddress and deviceMemorySize are the caller's fields; every connection
    // round sets them to the trip computer's values.
    TDeviceTransfer(TML_RS &link, TMK &mk, TProgressFactory progress, uint8_t &deviceAddress,
                    uint32_t &deviceMemorySize);

    // The main window's four image buttons (edit, journals, save, write).
    std::function<void(bool enabled)> SetImageButtonsEnabled;

    // Reads the whole memory and, once every block has come, makes it the image and
    // loads its sections. A failure is shown with ShowError and disables the image
    // buttons; the image, its working fields and model code stay as they were. A
    // cancel changes nothing.
    TTransferResult Read();

    // Writes the image's working fields into the device: refuses settings that do not
    // hold every section, checks the model code, re-reads the memory, checks its
    // section table (SectionTable) and stores the sections into it, checks the firmware
    // variant, saves the memory as a backup, sends each section and reads them back.
    // Ends with the information box naming the backup, or the error box naming the
    // first difference; the progress goes before either box. A link error after
    // connecting is raised once the port is closed and the progress gone: during the
    // re-read it says that nothing was written and leaves the image and working fields
    // as they were; from the first section on it is a TWriteCutOff, and the sections
    // sent before it stay written.
    TTransferResult Write();

    // Save the device's memory before the first section is sent (Backups).
    bool MakeBackup = true;
    // The backup of the last write; empty when none was made.
    const QString &LastBackup() const { return lastBackup_; }

    // The message of the last failed connection round (for a caller that gave up).
    const QString &LastConnectError() const { return lastConnectError_; }

private:
    class TSession;
    struct TWritten {
        int section;
        uint16_t address;
        QByteArray bytes;
    };

    bool Connect(TSession &session, uint16_t *model);
    // The whole memory as an image (blocks 1 … 127, 129 … 255); raises Error.
    QByteArray ReadMemory(TTransferProgress &progress);
    // Which of the eleven sections the image's bytes from the last read or file hold,
    // by the image's own table: a message for each one they do not.
    struct THeld {
        QString header; // not even the header
        int count = 0;  // sections in the table
        std::array<QString, 12> sections;
        std::array<int, 12> loaded{}; // bytes of each section the working fields took
        // The first of sections 1 … n (at most eleven) not held; empty when all are.
        QString Fault(int n) const;
    };
    THeld HeldSections() const;
    // The first difference between what was sent and what the device now holds;
    // empty when there is none.
    QString VerifyWritten(const std::vector<TWritten> &written, TTransferProgress &progress);
    // Sends count bytes of the image from device address on; returns them.
    QByteArray WriteSection(uint16_t address, int count);

    TML_RS &link_;
    TMK &mk_;
    TProgressFactory progressFactory_;
    uint8_t &deviceAddress_;
    uint32_t &deviceMemorySize_;
    QString lastConnectError_;
    QString lastBackup_;
};
