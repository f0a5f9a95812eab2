#include "platform/registry.h"

#include "platform/CString.h"
#include "platform/deviceRoot.h"
#include "platform/lastError.h"
#include "platform/textCodec.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include <sys/stat.h>

namespace {

struct Value {
    std::wstring name;
    DWORD type = REG_SZ;
    std::wstring text;
    DWORD number = 0;
};

struct Key {
    std::wstring name;
    std::wstring path;  // from the root's name, for the open counts
    std::vector<std::shared_ptr<Key>> subkeys;  // in the order they were made
    std::vector<Value> values;
};

typedef std::shared_ptr<Key> KeyPtr;

const wchar_t* const kRootNames[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE",
                                     L"HKEY_USERS"};
const int kRootCount = 4;

std::wstring lower(const std::wstring& text)
{
    std::wstring out(text);
    for (wchar_t& c : out)
        c = CharToLower(c);
    return out;
}

bool namesEqual(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (CharToLower(a[i]) != CharToLower(b[i]))
            return false;
    return true;
}

KeyPtr findSubkey(const Key& key, const std::wstring& name)
{
    for (const KeyPtr& k : key.subkeys)
        if (namesEqual(k->name, name))
            return k;
    return nullptr;
}

KeyPtr subkeyMade(Key& key, const std::wstring& name)
{
    if (KeyPtr found = findSubkey(key, name))
        return found;
    KeyPtr k = std::make_shared<Key>();
    k->name = name;
    k->path = key.path + L"\\" + name;
    key.subkeys.push_back(k);
    return k;
}

void setValue(Key& key, const Value& value)
{
    for (Value& v : key.values)
        if (namesEqual(v.name, value.name)) {
            const std::wstring spelling = v.name;
            v = value;
            v.name = spelling;
            return;
        }
    key.values.push_back(value);
}

std::vector<std::wstring> components(const wchar_t* path)
{
    std::vector<std::wstring> out;
    std::wstring part;
    for (const wchar_t* p = path; p && *p; ++p) {
        if (*p == L'\\') {
            if (!part.empty())
                out.push_back(part);
            part.clear();
        } else {
            part += *p;
        }
    }
    if (!part.empty())
        out.push_back(part);
    return out;
}

struct Roots {
    KeyPtr keys[kRootCount];
    Roots()
    {
        for (int i = 0; i < kRootCount; ++i) {
            keys[i] = std::make_shared<Key>();
            keys[i]->name = keys[i]->path = kRootNames[i];
        }
    }
};

struct Registry {
    std::mutex mutex;
    Roots roots;
    bool loadedByProgram = false;  // a program's own load: the device root's file is not read
    bool deviceFileRead = false;
    std::string deviceFileRoot;    // the root whose file `roots` holds
    std::map<std::wstring, long> openCounts;  // by lower-case full path
    std::map<std::uintptr_t, KeyPtr> handles;
    std::uintptr_t nextHandle = 0x1000;
};

Registry& registry()
{
    static Registry* r = new Registry;  // never destroyed: usable until the process ends
    return *r;
}

int rootIndex(HKEY key)
{
    const std::uintptr_t v = reinterpret_cast<std::uintptr_t>(key);
    return v >= 0x80000000u && v < 0x80000000u + kRootCount ? static_cast<int>(v - 0x80000000u) : -1;
}

// ---- The export file reader ----

const char kHeader4[] = "REGEDIT4";
const wchar_t kHeader5[] = L"Windows Registry Editor Version 5.00";

// The file's text: the byte-order mark decides, else the header line (REGEDIT4: code page;
// otherwise UTF-8).
bool decode(const std::string& bytes, std::wstring& text, std::string& problem)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        if (bytes.size() % 2 != 0) {
            problem = "UTF-16 text with an odd number of bytes";
            return false;
        }
        text = Utf16LeToWide(bytes.data() + 2, bytes.size() - 2);
        return true;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = Utf8ToWide(bytes.substr(3));
        return true;
    }
    if (bytes.compare(0, sizeof kHeader4 - 1, kHeader4) == 0)
        text = AnsiToWide(bytes);
    else
        text = Utf8ToWide(bytes);
    return true;
}

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring trimmed(const std::wstring& line)
{
    size_t b = 0, e = line.size();
    while (b < e && isBlank(line[b]))
        ++b;
    while (e > b && isBlank(line[e - 1]))
        --e;
    return line.substr(b, e - b);
}

// A quoted text from line[at] (the opening quote); `at` ends after the closing quote.
bool readQuoted(const std::wstring& line, size_t& at, std::wstring& out, std::string& problem)
{
    out.clear();
    for (size_t i = at + 1; i < line.size(); ++i) {
        if (line[i] == L'"') {
            at = i + 1;
            return true;
        }
        if (line[i] == L'\\') {
            if (i + 1 >= line.size() || (line[i + 1] != L'\\' && line[i + 1] != L'"')) {
                problem = "unknown escape in a quoted text (only \\\\ and \\\" exist)";
                return false;
            }
            ++i;
        }
        out += line[i];
    }
    problem = "a quoted text is not closed";
    return false;
}

bool readDword(const std::wstring& data, DWORD& number)
{
    if (data.empty() || data.size() > 8)
        return false;
    DWORD v = 0;
    for (wchar_t c : data) {
        int d = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10 : c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
        if (d < 0)
            return false;
        v = v * 16 + static_cast<DWORD>(d);
    }
    number = v;
    return true;
}

bool readValueLine(const std::wstring& line, Value& value, std::string& problem)
{
    size_t at = 0;
    if (line[0] == L'@') {
        value.name.clear();
        at = 1;
    } else if (!readQuoted(line, at, value.name, problem)) {
        return false;
    }
    while (at < line.size() && isBlank(line[at]))
        ++at;
    if (at >= line.size() || line[at] != L'=') {
        problem = "a value name is not followed by '='";
        return false;
    }
    ++at;
    while (at < line.size() && isBlank(line[at]))
        ++at;
    if (at < line.size() && line[at] == L'"') {
        value.type = REG_SZ;
        if (!readQuoted(line, at, value.text, problem))
            return false;
        if (at != line.size()) {
            problem = "text after the closing quote";
            return false;
        }
        return true;
    }
    const std::wstring data = line.substr(at);
    if (data.size() > 6 && namesEqual(data.substr(0, 6), L"dword:") && readDword(data.substr(6), value.number)) {
        value.type = REG_DWORD;
        return true;
    }
    problem = "a value must be \"text\" or dword: and one to eight hexadecimal digits";
    return false;
}

// "[ROOT\path]": the key, made with its missing parents.
KeyPtr readKeyLine(const std::wstring& line, Roots& roots, std::string& problem)
{
    if (line.back() != L']' || line.size() < 3) {
        problem = "a key line must end with ']'";
        return nullptr;
    }
    const std::wstring inner = line.substr(1, line.size() - 2);
    if (inner[0] == L'-') {
        problem = "key deletions are not read";
        return nullptr;
    }
    const std::vector<std::wstring> parts = components(inner.c_str());
    if (inner[0] == L'\\' || parts.empty()) {
        problem = "a key path must begin with a root (HKEY_LOCAL_MACHINE, ...)";
        return nullptr;
    }
    if (inner.find(L"\\\\") != std::wstring::npos || inner.back() == L'\\') {
        problem = "an empty key name in the path";
        return nullptr;
    }
    KeyPtr key;
    for (int i = 0; i < kRootCount; ++i)
        if (namesEqual(parts[0], kRootNames[i]))
            key = roots.keys[i];
    if (!key) {
        problem = "unknown root '" + WideToUtf8(parts[0]) + "'";
        return nullptr;
    }
    for (size_t i = 1; i < parts.size(); ++i)
        key = subkeyMade(*key, parts[i]);
    return key;
}

bool parseExport(const std::string& bytes, Roots& roots, long& lineNo, std::string& problem)
{
    std::wstring text;
    lineNo = 1;
    if (!decode(bytes, text, problem))
        return false;
    KeyPtr key;
    size_t start = 0;
    for (lineNo = 1; start <= text.size(); ++lineNo) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring raw = text.substr(start, end - start);
        start = end + 1;
        if (!raw.empty() && raw.back() == L'\r')
            raw.pop_back();
        const std::wstring line = trimmed(raw);
        if (lineNo == 1) {
            if (line != AnsiToWide(kHeader4) && line != kHeader5) {
                problem = "the first line must be REGEDIT4 or Windows Registry Editor Version 5.00";
                return false;
            }
            continue;
        }
        if (line.empty() || line[0] == L';')
            continue;
        if (line[0] == L'[') {
            if (!(key = readKeyLine(line, roots, problem)))
                return false;
            continue;
        }
        if (line[0] != L'"' && line[0] != L'@') {
            problem = "neither a key, a value nor a comment";
            return false;
        }
        if (!key) {
            problem = "a value before any key";
            return false;
        }
        Value value;
        if (!readValueLine(line, value, problem))
            return false;
        setValue(*key, value);
    }
    return true;
}

// Only a regular file is read: the stream's read of a folder throws (a folder once given as
// the registry file stopped the tool with the stream's exception).
bool readHostFile(const std::string& hostPath, std::string& bytes, std::string& problem)
{
    struct stat info;
    if (::stat(hostPath.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        problem = S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file";
        return false;
    }
    problem = "cannot be read";
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Reads `bytes` into a fresh tree and puts it in place; the caller holds the lock.
bool loadLocked(Registry& r, const std::string& bytes, const std::string& fileName, RegistryLoadError& error)
{
    Roots fresh;
    long line = 0;
    std::string problem;
    if (!parseExport(bytes, fresh, line, problem)) {
        error.file = fileName;
        error.line = line;
        error.message = problem;
        return false;
    }
    for (int i = 0; i < kRootCount; ++i)
        r.roots.keys[i] = fresh.keys[i];
    return true;
}

std::string deviceFilePath() { return getDeviceRoot() + "/" + registryDeviceFileName(); }

// Reads the device root's file (an empty registry when there is none or it is refused).
bool loadDeviceFileLocked(Registry& r, RegistryLoadError& error)
{
    r.roots = Roots();
    r.deviceFileRead = true;
    r.deviceFileRoot = getDeviceRoot();
    const std::string path = deviceFilePath();
    std::string bytes, problem;
    if (!readHostFile(path, bytes, problem)) {
        struct stat info;
        if (::stat(path.c_str(), &info) != 0)
            return true;  // no file: an empty registry
        error.file = path;
        error.line = 0;
        error.message = problem;
        return false;
    }
    return loadLocked(r, bytes, path, error);
}

// Before a use: the device root's file when no program has loaded its own.
void prepareLocked(Registry& r)
{
    if (r.loadedByProgram)
        return;
    if (!r.deviceFileRead || r.deviceFileRoot != getDeviceRoot()) {
        RegistryLoadError ignored;
        loadDeviceFileLocked(r, ignored);
    }
}

// The key of a root or an open handle, null when it is neither.
KeyPtr keyOf(Registry& r, HKEY key)
{
    const int root = rootIndex(key);
    if (root >= 0)
        return r.roots.keys[root];
    auto it = r.handles.find(reinterpret_cast<std::uintptr_t>(key));
    return it == r.handles.end() ? nullptr : it->second;
}

} // namespace

std::string RegistryLoadError::text() const
{
    return line > 0 ? file + ": line " + std::to_string(line) + ": " + message : file + ": " + message;
}

const char* registryDeviceFileName() { return ".fieldcore-registry.reg"; }

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    prepareLocked(r);
    KeyPtr k = keyOf(r, key);
    if (!k)
        return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if (!result)
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    const std::vector<std::wstring> parts = components(subKey);
    std::wstring path = k->path;
    for (const std::wstring& p : parts)
        path += L"\\" + p;
    ++r.openCounts[lower(path)];
    for (const std::wstring& p : parts)
        if (!(k = findSubkey(*k, p)))
            return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    const std::uintptr_t handle = r.nextHandle;
    r.nextHandle += 4;
    r.handles[handle] = k;
    *result = reinterpret_cast<HKEY>(handle);
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD*, LPWSTR className,
                   DWORD* classLength, void*)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    prepareLocked(r);
    const KeyPtr k = keyOf(r, key);
    if (!k)
        return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if (!name || !nameLength)
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    if (index >= k->subkeys.size())
        return static_cast<LONG>(ERROR_NO_MORE_ITEMS);
    const std::wstring& found = k->subkeys[index]->name;
    if (found.size() + 1 > *nameLength)
        return static_cast<LONG>(ERROR_MORE_DATA);
    std::memcpy(name, found.c_str(), (found.size() + 1) * sizeof(wchar_t));
    *nameLength = static_cast<DWORD>(found.size());
    if (className && classLength && *classLength > 0)
        className[0] = L'\0';
    if (classLength)
        *classLength = 0;
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    prepareLocked(r);
    const KeyPtr k = keyOf(r, key);
    if (!k)
        return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if (data && !dataSize)
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    const std::wstring wanted = valueName ? valueName : L"";
    for (const Value& v : k->values) {
        if (!namesEqual(v.name, wanted))
            continue;
        const size_t size = v.type == REG_DWORD ? sizeof(DWORD) : (v.text.size() + 1) * sizeof(wchar_t);
        if (size > 0xFFFFFFFFu)
            return static_cast<LONG>(ERROR_NOT_ENOUGH_MEMORY);
        if (type)
            *type = v.type;
        if (data && *dataSize < size) {
            *dataSize = static_cast<DWORD>(size);
            return static_cast<LONG>(ERROR_MORE_DATA);
        }
        if (data)
            std::memcpy(data, v.type == REG_DWORD ? static_cast<const void*>(&v.number) : static_cast<const void*>(v.text.c_str()), size);
        if (dataSize)
            *dataSize = static_cast<DWORD>(size);
        return static_cast<LONG>(ERROR_SUCCESS);
    }
    return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
}

LONG RegCloseKey(HKEY key)
{
    if (rootIndex(key) >= 0)
        return static_cast<LONG>(ERROR_SUCCESS);
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.handles.erase(reinterpret_cast<std::uintptr_t>(key)) ? static_cast<LONG>(ERROR_SUCCESS)
                                                                   : static_cast<LONG>(ERROR_INVALID_HANDLE);
}

bool registryLoadText(const std::string& bytes, const std::string& fileName, RegistryLoadError& error)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!loadLocked(r, bytes, fileName, error))
        return false;
    r.loadedByProgram = true;
    return true;
}

bool registryLoadFile(const std::string& hostPath, RegistryLoadError& error)
{
    std::string bytes, problem;
    if (!readHostFile(hostPath, bytes, problem)) {
        error.file = hostPath;
        error.line = 0;
        error.message = problem;
        return false;
    }
    return registryLoadText(bytes, hostPath, error);
}

bool registryLoadDeviceFile(RegistryLoadError& error)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.loadedByProgram = false;
    return loadDeviceFileLocked(r, error);
}

void registryReset()
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.roots = Roots();
    r.loadedByProgram = false;
    r.deviceFileRead = false;
    r.deviceFileRoot.clear();
    r.openCounts.clear();
}

long registryOpenCount(const std::wstring& fullPath)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    std::wstring path;
    for (const std::wstring& p : components(fullPath.c_str()))
        path += (path.empty() ? L"" : L"\\") + p;
    auto it = r.openCounts.find(lower(path));
    return it == r.openCounts.end() ? 0 : it->second;
}
