// Numbers as fixed-point text fast: the characters std::to_chars gives with
// std::chars_format::fixed and a precision, written through whole-number arithmetic where
// that provably gives the same text (the bulk of the answers a locate writes).
#pragma once

// Writes `value` with `decimals` digits after the point into [first, last): the same text as
// std::to_chars(first, last, value, std::chars_format::fixed, decimals), the binary value
// rounded to nearest (a minus sign for every negative value, -0 included; "inf", "nan").
// Returns the end of the text, or nullptr when it does not fit (nothing meaningful written).
// Values below 9e15 in size with at most 12 decimals take the fast way unless the digit after
// the last lies within 1e-3 of a half (a possible tie): those and all others go through
// std::to_chars.
char* WriteFixedDecimals(char* first, char* last, double value, int decimals);
