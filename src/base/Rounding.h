#pragma once
// Values typed by the user are scaled to their stored units and rounded to the
// nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).

#include <cstdint>

int64_t RoundHalfEven(double value);
