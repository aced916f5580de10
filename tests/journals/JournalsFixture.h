#pragma once
// Writes journal, accumulator and error records into the working fields of a TMK.

#include "model/Journals.h"

#include <cstdint>
#include <initializer_list>

class TMK;

namespace Fixture {

void PutJournal(TMK &mk, Journals::TJournal journal, int slot, const Journals::TJournalRecord &r);
void PutError(TMK &mk, int index, int minutes, int day, int month, uint32_t code, uint32_t freezeCode);
void PutFreezeValue(TMK &mk, int index, int recordOffset, int16_t value);
// Bitmap with exactly these PIDs set.
void SetPids(TMK &mk, std::initializer_list<int> pids);
void SetAllPids(TMK &mk);
// An image as the device delivers it, loaded into the working fields.
void LoadSampleImage(TMK &mk);
// Every journal slot empty, every accumulator and error record zero.
void EmptyEverything(TMK &mk);
// A few entries of every kind, for the viewer.
void FillSample(TMK &mk);

} // namespace Fixture
