#include "road/roadLineStream.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#ifdef __linux__
#include <sched.h>
#endif

void RoadLineBlock::clear()
{
    text.clear();
    firstLine = 1;
    tooLong.clear();
    out.clear();
    errors.clear();
    status = 0;
}

int RoadUsableCores()
{
#ifdef __linux__
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
#endif
    // Unknown: every core the machine says it has, one where it does not say.
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

namespace {

// Cuts the input into blocks of whole lines. A line begun at the end of one block (`carry`)
// starts the next.
class BlockReader {
public:
    explicit BlockReader(std::FILE* in) : m_in(in) {}

    // The next block into b (text and tooLong; firstLine is the caller's); false at the end.
    bool next(RoadLineBlock& b)
    {
        std::string& t = b.text;
        t.swap(m_carry);
        m_carry.clear();
        while (!m_eof && t.size() < RoadLineStream::kBlockBytes)
            readMore(t, RoadLineStream::kBlockBytes - t.size());
        // The first line whole (or known too long) before anything else.
        std::size_t searched = 0, first;
        while ((first = t.find('\n', searched)) == std::string::npos && !m_eof && t.size() <= RoadLineStream::kMaxLineBytes) {
            searched = t.size();
            readMore(t, RoadLineStream::kBlockBytes);
        }
        if (t.empty())
            return false;
        const std::size_t firstLength = first == std::string::npos ? t.size() : first;
        if (firstLength > RoadLineStream::kMaxLineBytes) {
            b.tooLong.push_back(b.firstLine);
            if (first != std::string::npos)
                m_carry.assign(t, first + 1, std::string::npos);
            else
                skipRestOfLine(t);
            t.assign(1, '\n');
            return true;
        }
        if (m_eof) {
            if (t.back() != '\n')
                t += '\n';
            return true;
        }
        const std::size_t last = t.rfind('\n');
        m_carry.assign(t, last + 1, std::string::npos);
        t.resize(last + 1);
        return true;
    }

    bool failed() const { return m_failed; }

private:
    void readMore(std::string& t, std::size_t want)
    {
        const std::size_t old = t.size();
        t.resize(old + want);
        const std::size_t got = std::fread(&t[old], 1, want, m_in);
        t.resize(old + got);
        if (got < want) {
            m_eof = true;
            m_failed = m_failed || std::ferror(m_in) != 0;
        }
    }

    // Drops the input up to the end of the current line; what follows it is kept.
    void skipRestOfLine(std::string& scratch)
    {
        while (!m_eof) {
            scratch.clear();
            readMore(scratch, RoadLineStream::kBlockBytes);
            const std::size_t nl = scratch.find('\n');
            if (nl != std::string::npos) {
                m_carry.assign(scratch, nl + 1, std::string::npos);
                return;
            }
        }
    }

    std::FILE* m_in;
    std::string m_carry;
    bool m_eof = false;
    bool m_failed = false;
};

// The blocks in flight and who holds them: free (the reader's), queued and worked on (the
// workers'), done (waiting for the writer, in input order).
struct Flight {
    explicit Flight(std::size_t count) : blocks(count), sequence(count, -1), done(count, false)
    {
        for (std::size_t i = 0; i < count; ++i)
            freeBlocks.push_back(i);
    }

    std::mutex mutex;
    // One condition a role, so that a change wakes only who waits for it: a freed block the
    // reader, a queued block one worker, a finished block the writer.
    std::condition_variable toReader, toWorkers, toWriter;
    std::vector<RoadLineBlock> blocks;
    std::vector<long> sequence;   // of each block in the input; -1 free
    std::vector<bool> done;
    std::vector<std::size_t> freeBlocks;
    std::vector<std::size_t> queued;   // in input order; taken from the front
    std::size_t queuedFront = 0;
    long readCount = 0;        // blocks handed to the workers
    bool readerFinished = false;
};

} // namespace

bool RoadLineStream::run(std::FILE* in, int threads, const RoadLineStreamHooks& hooks)
{
    threads = std::max(1, threads);
    Flight f(static_cast<std::size_t>(kBlocksPerThread * threads + 2));
    BlockReader reader(in);

    std::thread readerThread([&] {
        long line = 1;
        for (;;) {
            std::size_t id;
            {
                std::unique_lock<std::mutex> lock(f.mutex);
                f.toReader.wait(lock, [&] { return !f.freeBlocks.empty(); });
                id = f.freeBlocks.back();
                f.freeBlocks.pop_back();
            }
            RoadLineBlock& b = f.blocks[id];
            b.clear();
            b.firstLine = line;
            const bool more = reader.next(b);
            if (more) {
                line += static_cast<long>(std::count(b.text.begin(), b.text.end(), '\n'));
                if (hooks.prepare)
                    hooks.prepare(b);
            }
            std::lock_guard<std::mutex> lock(f.mutex);
            if (!more) {
                f.freeBlocks.push_back(id);
                f.readerFinished = true;
                f.toWorkers.notify_all();
                f.toWriter.notify_one();
                return;
            }
            f.sequence[id] = f.readCount++;
            f.queued.push_back(id);
            f.toWorkers.notify_one();
        }
    });

    std::vector<std::thread> workers;
    for (int w = 0; w < threads; ++w)
        workers.emplace_back([&, w] {
            for (;;) {
                std::size_t id;
                {
                    std::unique_lock<std::mutex> lock(f.mutex);
                    f.toWorkers.wait(lock, [&] { return f.queuedFront < f.queued.size() || f.readerFinished; });
                    if (f.queuedFront == f.queued.size())
                        return;
                    id = f.queued[f.queuedFront++];
                    if (f.queuedFront == f.queued.size()) {
                        f.queued.clear();
                        f.queuedFront = 0;
                    }
                }
                hooks.work(w, f.blocks[id]);
                std::lock_guard<std::mutex> lock(f.mutex);
                f.done[id] = true;
                f.toWriter.notify_one();
            }
        });

    // The writer: the blocks in input order as they are done.
    for (long next = 0;; ++next) {
        std::size_t id = f.blocks.size();
        {
            std::unique_lock<std::mutex> lock(f.mutex);
            f.toWriter.wait(lock, [&] {
                for (id = 0; id < f.blocks.size(); ++id)
                    if (f.sequence[id] == next)
                        return static_cast<bool>(f.done[id]);
                return f.readerFinished && next == f.readCount;
            });
            if (id == f.blocks.size())
                break;
        }
        hooks.write(f.blocks[id]);
        std::lock_guard<std::mutex> lock(f.mutex);
        f.sequence[id] = -1;
        f.done[id] = false;
        f.freeBlocks.push_back(id);
        f.toReader.notify_one();
    }
    readerThread.join();
    for (std::thread& t : workers)
        t.join();
    return !reader.failed();
}
