// Point names: the admissible characters, the validity of a name, the repair of a typed name
// and the next point number.
#pragma once

#include "platform/CString.h"

// "_", "0" to "9", "A" to "Z" or "a" to "z".
bool IsAdmisibleCharacter(wchar_t c);

// Length 1 to 40 and every character admissible.
bool IsValidName(const CString& name);
// The same rule as IsValidName.
bool IsValidFilename(CString& name);

// A name cut to its first 20 characters, with every character of the point-name character set
// ("!,?%*@#$^&'\"\\/|~;[]{}()<>`", TAB, CR, LF, "+", "=") replaced by "_". Spaces stay, so the
// result need not be a valid name. An empty name comes back empty.
CString MakePointNameCorrect(const CString& name);

// The next point name: the number at the end of the name grows by one, keeping the leading
// zeros that are not needed for the carry (P009 -> P010, P099 -> P100, A9 -> A10, 9 -> 10);
// a name that does not end in a digit gets "1" appended (ABC -> ABC1, "" -> 1).
void IncPtno(CString& name);
