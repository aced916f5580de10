#include "editor/TankServiceFiles.h"

#include "base/Error.h"
#include "base/SafeFile.h"
#include "model/MK.h"

#include <span>

namespace {

// A run of values in the working fields: a named field, or bytes of a section that
// the program does not interpret but the file carries.
struct TChunk {
    const char *field = nullptr;
    int section = 0, offset = 0, elementSize = 1, count = 1;
};

constexpr TChunk Raw(int section, int offset, int elementSize, int count = 1) {
    return {nullptr, section, offset, elementSize, count};
}

// clang-format off
constexpr TChunk kTankFile[] = {
    {"Oil6L"}, {"Lit6L"}, {"Oil43L"}, {"Lit43L"},
    {"OilCalibrResArr"}, {"OilCalibrLitArr"}, {"OilCalibrQuant"},
    Raw(4, 0, 1),                       // first byte of the tank table section
    {"TarirFlagFinish"}, {"TarirLeng"}, {"TarirSlope"},
    {"TarirLitres"}, {"TarirUnits"},
};

constexpr TChunk kServiceFile[] = {
    {"AirFiltCntK"}, {"KPPOilCntK"}, {"ForsTOCntK"}, {"GRMStrapCntK"}, {"CoolLiqCntK"}, {"EngOilCntK"}, {"CandleCntK"},
    {"TODate"}, {"OSAGODate"},
    Raw(5, 16, 4),                      // the 32-bit field after the dates
    Raw(5, 20, 1, 32),                  // additional-systems bitmap (the first two name slots)
    {"UniMeasADC0"}, {"UniMeasADC1"}, {"UniMeasDat0"}, {"UniMeasDat1"},
    {"AirWaterShow"},
    Raw(5, 52, 1, 16), Raw(5, 68, 1, 16), Raw(5, 84, 1, 16), // names of items 3, 4 and 7
    {"ServiceFlags"},
    Raw(5, 117, 1), Raw(5, 118, 1),     // the two bytes after the accelerometer calibration
    Raw(5, 102, 2),                     // the 16-bit field before MotoHourLim
    {"MotoHourLim"},
    {"AccelCalibr"},
};
// clang-format on

struct TPlace {
    int at, elementSize, count; // in the working fields
};

TPlace Place(const TChunk &c) {
    if (!c.field) return {MKLayout::SectionStart(c.section) + c.offset, c.elementSize, c.count};
    const TFieldDesc &f = TMK::Field(c.field);
    return {MKLayout::WorkingOffset(f), f.ElementSize(), f.ByteSize() / f.ElementSize()};
}

QByteArray Encode(const TMK &mk, std::span<const TChunk> layout) {
    QByteArray out;
    for (const TChunk &c : layout) {
        const TPlace p = Place(c);
        out.append(reinterpret_cast<const char *>(mk.Working().data()) + p.at, p.elementSize * p.count);
    }
    return out;
}

void Decode(TMK &mk, QByteArrayView file, std::span<const TChunk> layout) {
    qsizetype pos = 0;
    for (const TChunk &c : layout) {
        const TPlace p = Place(c);
        for (int i = 0; i < p.count; ++i) {
            // A value cut short by the end of the file stays as it was.
            if (pos + p.elementSize > file.size()) return;
            std::copy_n(file.data() + pos, p.elementSize, mk.Working().begin() + p.at + i * p.elementSize);
            pos += p.elementSize;
        }
    }
}

} // namespace

QByteArray TankServiceFiles::EncodeTank(const TMK &mk) {
    return Encode(mk, kTankFile);
}
QByteArray TankServiceFiles::EncodeService(const TMK &mk) {
    return Encode(mk, kServiceFile);
}
void TankServiceFiles::DecodeTank(TMK &mk, QByteArrayView file) {
    Decode(mk, file, kTankFile);
}
void TankServiceFiles::DecodeService(TMK &mk, QByteArrayView file) {
    Decode(mk, file, kServiceFile);
}

void TankServiceFiles::Save(const QString &path, const QByteArray &content) {
    // These files outlive a firmware update: a failed save must keep the old one.
    SafeFile::Write(path, content);
}

QByteArray TankServiceFiles::Read(const QString &path, int maxSize) {
    // Only the layout's bytes matter; the rest of a larger file is never read.
    return SafeFile::ReadStart(path, maxSize);
}
