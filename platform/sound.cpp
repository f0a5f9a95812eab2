#include "platform/sound.h"

#include "platform/deviceRoot.h"
#include "platform/fileSystem.h"

#include <cstdlib>
#include <deque>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

const std::size_t kKept = 100;

struct Sounds {
    std::mutex mutex;
    std::deque<SoundRecord> recorded;
    std::vector<pid_t> players;
};

Sounds& sounds()
{
    static Sounds* s = new Sounds;
    return *s;
}

void record(const SoundRecord& entry)
{
    Sounds& s = sounds();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.recorded.push_back(entry);
    if (s.recorded.size() > kKept)
        s.recorded.pop_front();
}

// Starts the named player on the file without waiting, after reaping finished ones.
void startPlayer(const std::string& hostPath)
{
    const char* player = std::getenv("FIELDCORE_SOUND_PLAYER");
    if (!player || !*player)
        return;
    Sounds& s = sounds();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (auto it = s.players.begin(); it != s.players.end();)
        it = ::waitpid(*it, nullptr, WNOHANG) != 0 ? s.players.erase(it) : it + 1;
    std::string program = player, file = hostPath;
    char* argv[] = {&program[0], &file[0], nullptr};
    pid_t pid;
    if (::posix_spawnp(&pid, player, nullptr, nullptr, argv, environ) == 0)
        s.players.push_back(pid);
}

} // namespace

BOOL PlaySoundW(LPCWSTR path, void*, DWORD flags)
{
    const bool exists = path && *path && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES &&
                        !(GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY);
    record(SoundRecord{false, CString(path ? path : L""), flags, exists});
    if (exists)
        startPlayer(deviceToHostPath(path));
    return exists ? TRUE : FALSE;
}

BOOL MessageBeep(UINT type)
{
    record(SoundRecord{true, CString(), type, false});
    return TRUE;
}

std::vector<SoundRecord> recordedSounds()
{
    Sounds& s = sounds();
    std::lock_guard<std::mutex> lock(s.mutex);
    return std::vector<SoundRecord>(s.recorded.begin(), s.recorded.end());
}

void clearRecordedSounds()
{
    Sounds& s = sounds();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.recorded.clear();
}
