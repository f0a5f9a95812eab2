// Lists and tokens: splitting typed texts into values, the next token of a text, joining a
// list, membership tests and the replacement of runs of characters.
#pragma once

#include "platform/CString.h"
#include "platform/containers.h"

// Splits `text` at each `delimiter`; every value is trimmed of white space, stripped of CR and
// LF and appended to `out`. An empty text appends one empty value; a delimiter at the start or
// two adjacent delimiters give an empty value; a trailing delimiter adds none. Returns false
// at the first value that contains a character of `forbidden` (that value is not appended,
// those before it stay); true when the whole text was split.
bool ParseValues(const CString& text, CStringArray& out, char delimiter, const CString& forbidden);

// Splits `text` at any character of `delimiters` ("a;b,,c" with ";," gives a, b, "", c); values
// trimmed and stripped of CR and LF as above, appended to `out`. Always true.
bool ParseDelimitersValues(const CString& text, CStringArray& out, const CString& delimiters);

// The next token of `text` from position `start`, skipping leading characters of `tokens`;
// `start` moves just past the delimiter that ends the token, and becomes -1 (with an empty
// result) when no token is left. Without token characters (null or empty) the rest of the text
// from `start` is returned and `start` is left unchanged. A negative `start` gives an empty text.
CString Tokenize(CString& text, const wchar_t* tokens, int& start);

// The elements joined with "," and nothing else between them; "" for an empty array.
CString StringArrayToString(const CStringArray& list);

// Exact, case-sensitive match of any element.
bool IsStringInStringArray(const CStringArray& list, const CString& s);
// Any element equal to value.
bool IsUIntInUIntArray(const CUIntArray& list, int value);

// out = source with every maximal run of characters from `chars` replaced by one copy of
// `replacement` (nothing when it is null or empty). Returns the number of runs replaced. With
// `chars` null or empty, out is emptied and 0 returned; a null source counts as empty.
int replaceChars(const wchar_t* source, const wchar_t* chars, const wchar_t* replacement, CString& out);
