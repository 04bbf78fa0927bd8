#pragma once

// Rounding for pixel arithmetic: to the nearest integer, halves to even. A result
// outside the range of int (or a value that is not a number) throws ERangeError.
int RoundHalfEven(double AValue);
// AValue * ANumerator / ADenominator rounded to the nearest integer (halves away from
// zero); throws ERangeError for a zero denominator or a result outside int.
int MulDiv(int AValue, int ANumerator, int ADenominator);
