#pragma once
// Layout of the eleven sections of the device's configuration memory: fixed
// sizes and a descriptor for every named field. The working fields of TMK are
// these sections back to back as raw little-endian bytes.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

enum class TFieldType : uint8_t { U8, I8, U16, I16, U32, I32, F32, U16BE, Bytes };

struct TFieldDesc {
    const char *name;
    uint8_t section;   // 1 … 11
    uint16_t offset;   // from the start of the section
    TFieldType type;
    uint16_t count;    // elements; for Bytes the number of bytes

    int ElementSize() const;
    int ByteSize() const { return type == TFieldType::Bytes ? count : ElementSize() * count; }
    bool IsSigned() const;
    bool IsInteger() const { return type != TFieldType::F32 && type != TFieldType::Bytes; }
    // Smallest and largest value the element can hold (integers only).
    int64_t MinValue() const;
    int64_t MaxValue() const;
};

namespace MKLayout {

constexpr int SectionCount = 11;
constexpr std::array<int, SectionCount + 1> SectionSize = {0, 164, 28, 64, 420, 128, 84, 860, 40, 288, 60, 664};

// Offset of section k's first byte inside the working fields.
constexpr int SectionStart(int k) {
    int start = 0;
    for (int i = 1; i < k; ++i) start += SectionSize[size_t(i)];
    return start;
}

constexpr int WorkingSize = SectionStart(SectionCount + 1); // 2800
constexpr int SnapshotSize = SectionStart(11);              // sections 1 … 10: 2136

constexpr int HeaderSize = 60;
constexpr int DeviceAddressOfImage = 32; // image position p is device address p + 32
constexpr int ColourSchemeSize = 44;     // 16 palette colours + 12 element indices
constexpr int JournalRecordSize = 20;
constexpr int JournalSlots = 21;
constexpr int ErrorRecordSize = 92;
constexpr int ErrorRecords = 7;
constexpr int ServiceNameSize = 16;
constexpr int ServiceNames = 5;

std::span<const TFieldDesc> Fields();
// nullptr when no field has that name.
const TFieldDesc *FindField(std::string_view name);
// Offset of the field inside the working fields.
inline int WorkingOffset(const TFieldDesc &f) { return SectionStart(f.section) + f.offset; }

} // namespace MKLayout
