#include "JournalsFixture.h"

#include "TestEnv.h"
#include "base/Bytes.h"
#include "model/MK.h"

#include <algorithm>

using namespace Journals;

namespace {

uint8_t *FieldAt(TMK &mk, const char *name, int offset) {
    return mk.Working().data() + MKLayout::WorkingOffset(TMK::Field(name)) + offset;
}

} // namespace

void Fixture::PutJournal(TMK &mk, TJournal journal, int slot, const TJournalRecord &r) {
    uint8_t *p = FieldAt(mk, journal == TJournal::Trip ? "TripJournal" : "TankJournal", slot * 20);
    LE::Put<uint16_t>(p, r.minutes);
    p[2] = r.day;
    p[3] = r.month;
    LE::Put<uint32_t>(p + 4, r.travelSeconds);
    LE::Put<uint32_t>(p + 8, r.distance);
    LE::Put<uint32_t>(p + 12, r.petrol);
    LE::Put<uint32_t>(p + 16, r.gas);
}

void Fixture::PutError(TMK &mk, int index, int minutes, int day, int month, uint32_t code,
                       uint32_t freezeCode) {
    uint8_t *p = FieldAt(mk, "ErrorRecords", index * 92);
    LE::Put<uint16_t>(p, uint16_t(minutes));
    p[2] = uint8_t(day);
    p[3] = uint8_t(month);
    LE::Put<uint32_t>(p + 4, code);
    LE::Put<uint32_t>(p + 8, freezeCode);
}

void Fixture::PutFreezeValue(TMK &mk, int index, int recordOffset, int16_t value) {
    LE::Put<int16_t>(FieldAt(mk, "ErrorRecords", index * 92 + recordOffset), value);
}

void Fixture::SetPids(TMK &mk, std::initializer_list<int> pids) {
    uint8_t *bitmap = FieldAt(mk, "PidSupport", 0);
    std::fill_n(bitmap, 12, uint8_t(0));
    for (int pid : pids)
        bitmap[(pid - 1) / 8] |= uint8_t(0x80 >> ((pid - 1) % 8));
}

void Fixture::SetAllPids(TMK &mk) {
    std::fill_n(FieldAt(mk, "PidSupport", 0), 12, uint8_t(0xFF));
}

void Fixture::LoadSampleImage(TMK &mk) {
    mk.Image.Clear();
    mk.Image.Append(TestEnv::SampleImage());
    mk.LoadAllSections();
}

void Fixture::EmptyEverything(TMK &mk) {
    for (const char *name : {"TripJournal", "TankJournal", "ErrorRecords", "PidSupport"})
        std::fill_n(FieldAt(mk, name, 0), TMK::Field(name).ByteSize(), uint8_t(0));
    for (const char *name : {"TotalsGeneral", "TotalsTrip", "TotalsReset1", "TotalsJam", "TotalsNoJam",
                             "TotalsReset2", "TotalsPetrolOnly", "TotalsGasOnly"})
        std::fill_n(FieldAt(mk, name, 0), TMK::Field(name).ByteSize(), uint8_t(0));
    mk.Set("AllPathStart", 0);
}

void Fixture::FillSample(TMK &mk) {
    EmptyEverything(mk);
    PutJournal(mk, TJournal::Trip, 0, {1439, 5, 1, 0, 0, 0, 0});
    PutJournal(mk, TJournal::Trip, 2, {600, 28, 12, 4321987, 3123456789u, 345678901, 2345678});
    PutJournal(mk, TJournal::Trip, 3, {61, 1, 2, 3600, 90000, 7000, 0});
    PutJournal(mk, TJournal::Tank, 1, {300, 12, 3, 7200, 150000, 11000, 2000});
    PutJournal(mk, TJournal::Tank, 20, {1, 31, 12, 59, 1, 1, 1});
    const uint32_t general[4] = {123456789, 3000000000u, 250000000, 12345678};
    for (int i = 0; i < 4; ++i)
        mk.Set("TotalsGeneral", general[i], i);
    mk.Set("AllPathStart", 150000);
    mk.Set("TotalsTrip", 3600, 0);
    mk.Set("TotalsTrip", 100000, 1);
    mk.Set("TotalsTrip", 8000, 2);
    mk.Set("TotalsGasOnly", 7200, 0);
    mk.Set("TotalsGasOnly", 50000, 1);
    mk.Set("TotalsGasOnly", 9000, 2);
    SetAllPids(mk);
    const uint32_t codes[7] = {0x0171, 0xC123, 0x40AB, 0x7F0305F1u, 0, 0x8123, 0};
    for (int i = 0; i < 7; ++i) {
        PutError(mk, i, 13 * 60 + 7 * i, 3 + i, 4, codes[i], i == 6 ? 0 : 0x0171 + uint32_t(i));
        for (int offset = 14; offset < 92; offset += 2)
            PutFreezeValue(mk, i, offset, int16_t(offset * 37 - 900));
        PutFreezeValue(mk, i, 12, 0x0102);
        PutFreezeValue(mk, i, 42, 4);
    }
}
