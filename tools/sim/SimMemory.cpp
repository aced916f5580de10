// The memory of a freshly set-up simulated device: the section table, the settings
// the tool itself would default to, and some history so that the journals are not
// empty.

#include "SimDevice.h"

#include "base/Bytes.h"
#include "model/MK.h"
#include "model/MKLayout.h"

#include <cstring>
#include <initializer_list>
#include <utility>

namespace {

using namespace MKLayout;

struct TTrip {
    int slot, minutes, day, month;
    uint32_t travel, distance, petrol, gas;
};

void PutJournal(std::span<uint8_t> section7, int offset, const TTrip &t) {
    uint8_t *r = section7.data() + offset + t.slot * JournalRecordSize;
    LE::Put<uint16_t>(r, uint16_t(t.minutes));
    r[2] = uint8_t(t.day);
    r[3] = uint8_t(t.month);
    LE::Put<uint32_t>(r + 4, t.travel);
    LE::Put<uint32_t>(r + 8, t.distance);
    LE::Put<uint32_t>(r + 12, t.petrol);
    LE::Put<uint32_t>(r + 16, t.gas);
}

void PutAccumulator(std::span<uint8_t> section1, int offset, std::initializer_list<uint32_t> values) {
    uint8_t *p = section1.data() + offset;
    for (uint32_t v : values) {
        LE::Put<uint32_t>(p, v);
        p += 4;
    }
}

struct TErrorRecord {
    int index, minutes, day, month;
    uint32_t code, freezeCode;
    std::initializer_list<std::pair<int, int>> values; // record offset, value
};

void PutError(std::span<uint8_t> section11, const TErrorRecord &e) {
    uint8_t *r = section11.data() + 16 + e.index * ErrorRecordSize;
    LE::Put<uint16_t>(r, uint16_t(e.minutes));
    r[2] = uint8_t(e.day);
    r[3] = uint8_t(e.month);
    LE::Put<uint32_t>(r + 4, e.code);
    LE::Put<uint32_t>(r + 8, e.freezeCode);
    for (auto [offset, value] : e.values)
        LE::Put<int16_t>(r + offset, int16_t(value));
}

void FillHistory(TMK &mk) {
    const auto s7 = mk.Section(7);
    constexpr int trips = 16, refuellings = 436;
    PutJournal(s7, trips, {0, 1122, 3, 2, 2710, 31250, 2480, 0});
    PutJournal(s7, trips, {2, 425, 14, 11, 1980, 18400, 1610, 0});
    PutJournal(s7, trips, {3, 1290, 12, 11, 5400, 96300, 0, 8100});
    PutJournal(s7, trips, {4, 700, 9, 11, 0, 0, 35, 0}); // engine ran, car did not move
    PutJournal(s7, refuellings, {1, 552, 20, 12, 98000, 612000, 44100, 0});
    PutJournal(s7, refuellings, {2, 1008, 2, 11, 88000, 540300, 39800, 1200});

    const auto s1 = mk.Section(1);
    PutAccumulator(s1, 0, {1234567, 45678900, 3850000, 120000}); // general
    PutAccumulator(s1, 16, {2710, 31250, 2480, 0});              // trip
    PutAccumulator(s1, 32, {86400, 1520000, 121600, 8100});      // reset 1
    PutAccumulator(s1, 48, {30100, 160000, 21300, 0});           // jams
    PutAccumulator(s1, 64, {56300, 1360000, 100300, 8100});      // outside jams
    PutAccumulator(s1, 80, {12000, 410000, 31900, 0});           // reset 2
    PutAccumulator(s1, 96, {78300, 1424000, 121600});            // petrol only
    PutAccumulator(s1, 108, {8100, 96000, 8100});                // gas only
    mk.Set("AllPathStart", 1200);

    const auto s11 = mk.Section(11);
    // Freeze-frame PIDs the engine unit supports: 3-7, 11-15, 17, 31, 51, 66, 70.
    for (int pid : {3, 4, 5, 6, 7, 11, 12, 13, 14, 15, 17, 31, 51, 66, 70})
        s11[size_t(4 + (pid - 1) / 8)] |= uint8_t(0x80 >> ((pid - 1) % 8));
    PutError(s11, {0,
                   485,
                   3,
                   2,
                   0x0171,
                   0x0171,
                   {{12, 0x0200},
                    {14, 34},
                    {16, 89},
                    {18, 3},
                    {22, 12},
                    {28, 41},
                    {30, 0},
                    {32, 812},
                    {34, 85},
                    {36, 24},
                    {40, 14},
                    {48, 845},
                    {68, 99},
                    {78, 139},
                    {84, 7}}});
    PutError(s11, {1,
                   1040,
                   28,
                   1,
                   0x0300,
                   0x0300,
                   {{12, 0x0200},
                    {14, 62},
                    {16, 92},
                    {18, 1},
                    {22, -2},
                    {28, 63},
                    {30, 74},
                    {32, 2350},
                    {34, 182},
                    {36, 31},
                    {40, 22},
                    {48, 1310},
                    {68, 100},
                    {78, 142},
                    {84, 12}}});
    PutError(s11, {2, 720, 15, 12, 0xC123, 0, {}}); // no freeze frame for a network fault
}

} // namespace

QByteArray TSimDevice::DefaultMemory(uint8_t headerVariant) {
    QByteArray memory(MemorySize, char(0xFF)); // unused memory reads as erased
    auto *mem = reinterpret_cast<uint8_t *>(memory.data());

    TMK mk;
    FillHistory(mk);

    // Header at device address 32, the sections packed right after it.
    std::memset(mem + DeviceAddressOfImage, 0, HeaderSize);
    mem[DeviceAddressOfImage] = SectionCount;
    mem[DeviceAddressOfImage + 1] = headerVariant;
    int address = DeviceAddressOfImage + HeaderSize;
    for (int k = 1; k <= SectionCount; ++k) {
        const auto data = mk.Section(k);
        const int count = int(data.size());
        LE::Put<uint16_t>(mem + DeviceAddressOfImage + 4 * k, uint16_t(address));
        LE::Put<uint16_t>(mem + DeviceAddressOfImage + 4 * k + 2, uint16_t(count + 4));
        std::memcpy(mem + address, data.data(), size_t(count));
        uint32_t sum = 0;
        for (uint8_t b : data)
            sum += b;
        LE::Put<uint32_t>(mem + address + count, sum);
        address += count + 4;
    }
    return memory;
}
