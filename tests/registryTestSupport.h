// A walk over the whole loaded registry for the registry fuzz test and the fuzz harness: every
// key's subkeys by index and its values by name, each call's answer checked.
#pragma once

#include "platform/registry.h"

#include <vector>

namespace regtest {

// Walks every key below `key` (to 64 levels): its subkeys by index, and in each the values "",
// "key", "Name" and "a", asked for their size and then their bytes. `check(ok, what)` hears
// every answer that must hold and gives `ok` back; the walk leaves a key it cannot open.
template <class Check>
void walkRegistry(HKEY key, Check check, int depth = 0)
{
    for (DWORD index = 0; depth < 64; ++index) {
        wchar_t name[300];
        DWORD length = 300;
        const LONG rc = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != 0) {
            check(rc == static_cast<LONG>(ERROR_NO_MORE_ITEMS) || rc == static_cast<LONG>(ERROR_MORE_DATA),
                  "an enumeration ends with no more items, or more data for a long name");
            return;
        }
        HKEY sub = nullptr;
        if (!check(RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == 0, "an enumerated subkey opens"))
            return;
        for (const wchar_t* value : {L"", L"key", L"Name", L"a"}) {
            DWORD type = 0, size = 0;
            if (RegQueryValueExW(sub, value, nullptr, &type, nullptr, &size) != 0)
                continue;
            std::vector<BYTE> data(size);
            DWORD got = size;
            check(RegQueryValueExW(sub, value, nullptr, &type, data.data(), &got) == 0 && got == size,
                  "a value's bytes come in the size it gave");
            check(type == REG_SZ || type == REG_DWORD, "a value is REG_SZ or REG_DWORD");
        }
        walkRegistry(sub, check, depth + 1);
        check(RegCloseKey(sub) == 0, "a key closes");
    }
}

} // namespace regtest
