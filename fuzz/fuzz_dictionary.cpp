// The translation dictionary on any bytes: the entries are in lookup order, every key is found
// (the first of equal keys), and the keys written as a missing-texts file read back the same.
#include "files/translate.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CXlateDictionary dictionary;
    dictionary.Parse(data, size);
    std::vector<std::wstring> keys;
    for (int i = 0; i < dictionary.Count(); ++i) {
        const std::u16string key = dictionary.KeyUnits(i);
        if (i > 0 && CompareXlateKeys(dictionary.KeyUnits(i - 1), key) > 0)
            std::abort();
        const int found = dictionary.Find(key);
        if (found < 0 || found > i || dictionary.IsDuplicate(found) || dictionary.KeyUnits(found) != key)
            std::abort();
        if (dictionary.IsDuplicate(i))
            continue;
        const CString text = dictionary.Key(i);
        keys.emplace_back(static_cast<const wchar_t*>(text), static_cast<std::size_t>(text.GetLength()));
    }
    const std::string file = MissingTextsFileBytes(keys);
    CXlateDictionary missing;
    missing.Parse(file.data(), file.size());
    if (missing.Count() != static_cast<int>(keys.size()))
        std::abort();
    for (int i = 0; i < missing.Count(); ++i)
        if (missing.Key(i) != dictionary.Key(dictionary.Find(missing.KeyUnits(i))) || missing.Key(i) != missing.Value(i))
            std::abort();
    return 0;
}
