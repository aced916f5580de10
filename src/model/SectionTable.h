#pragma once
// Whether the header and section table at the start of an image can describe the
// device's memory: one rule for a settings file being loaded and for the memory a
// write has just re-read from the device. A table that fails it would send bytes to
// the wrong place, half a section, or one section's bytes as another's.

#include <QByteArray>
#include <QString>

namespace SectionTable {

// Entries the 60-byte header has room for (4 bytes each after the first four).
constexpr int MaxEntries = 14;
// Device addresses below this are in the image (the first half of the memory, whose
// block 128 starts the second half).
constexpr int MemoryEnd = 4096;

// Empty when the table holds at least the eleven sections the program loads, no more
// entries than the header holds, and every listed section lies after the header,
// inside the first held bytes of the image (from its address to the end of its
// length) and apart from every other; otherwise what is wrong, in the interface
// language.
QString Fault(const QByteArray &image);

} // namespace SectionTable
