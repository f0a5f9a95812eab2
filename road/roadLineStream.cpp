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

// The LF count of `text`, in runs of 255 bytes counted in one byte each (vectorised in the
// Release build, -O3; a plain count widens every byte to 64 bits).
long LineEnds(const std::string& text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t left = text.size();
    long count = 0;
    while (left > 0) {
        const std::size_t run = std::min<std::size_t>(left, 255);
        unsigned char inRun = 0;
        for (std::size_t i = 0; i < run; ++i)
            inRun = static_cast<unsigned char>(inRun + (p[i] == '\n'));
        count += inRun;
        p += run;
        left -= run;
    }
    return count;
}

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

// The blocks in flight. Each worker in turn takes a free block, reads the next lines into it
// (one reader at a time, so blocks are read and prepared in input order), answers it, and hands
// it in; whoever hands in the block next in input order writes it and every finished block
// after it. No thread waits for another to pass a block on: the only waits are for a free
// block (the pool is full of finished blocks behind a slower one) and for the input.
class Flight {
public:
    Flight(std::FILE* in, int threads, const RoadLineStreamHooks& hooks)
        : m_reader(in), m_hooks(hooks),
          m_blocks(static_cast<std::size_t>(RoadLineStream::kBlocksPerThread * threads + 2)),
          m_sequence(m_blocks.size(), -1)
    {
        for (std::size_t i = 0; i < m_blocks.size(); ++i)
            m_free.push_back(i);
    }

    // One worker's loop, to the end of the input.
    void work(int worker)
    {
        std::size_t id;
        long sequence;
        while (take(id) && read(id, sequence)) {
            m_hooks.work(worker, m_blocks[id]);
            handIn(id, sequence);
        }
    }

    bool readFailed() const { return m_reader.failed(); }

private:
    // A free block; false once the input has ended.
    bool take(std::size_t& id)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_freed.wait(lock, [&] { return !m_free.empty() || m_ended; });
        if (m_ended)
            return false;
        id = m_free.back();
        m_free.pop_back();
        return true;
    }

    // The next lines into block id, prepared; false (the block given back) at the input's end.
    bool read(std::size_t id, long& sequence)
    {
        RoadLineBlock& b = m_blocks[id];
        {
            std::lock_guard<std::mutex> input(m_inputMutex);
            b.clear();
            b.firstLine = m_nextLine;
            if (!m_inputEnded && m_reader.next(b)) {
                m_nextLine += LineEnds(b.text);
                if (m_hooks.prepare)
                    m_hooks.prepare(b);
                sequence = m_readCount++;
                return true;
            }
            m_inputEnded = true;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_free.push_back(id);
        m_ended = true;
        m_freed.notify_all();
        return false;
    }

    // Block id answered: written now if it is next in input order and no one else is writing.
    void handIn(std::size_t id, long sequence)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_sequence[id] = sequence;
        if (m_writing)
            return;   // the writer of the moment looks for it before it stops
        m_writing = true;
        for (std::size_t next; (next = finished(m_written)) < m_blocks.size();) {
            lock.unlock();
            m_hooks.write(m_blocks[next]);
            lock.lock();
            m_sequence[next] = -1;
            ++m_written;
            m_free.push_back(next);
            m_freed.notify_one();
        }
        m_writing = false;
    }

    // The finished block of that place in the input; the block count when it is not finished.
    std::size_t finished(long sequence) const
    {
        for (std::size_t id = 0; id < m_blocks.size(); ++id)
            if (m_sequence[id] == sequence)
                return id;
        return m_blocks.size();
    }

    BlockReader m_reader;
    const RoadLineStreamHooks& m_hooks;
    std::vector<RoadLineBlock> m_blocks;

    // The input's side, held while a block is read and prepared.
    std::mutex m_inputMutex;
    long m_nextLine = 1;
    long m_readCount = 0;   // blocks read
    bool m_inputEnded = false;

    // The blocks' side.
    std::mutex m_mutex;
    std::condition_variable m_freed;
    std::vector<std::size_t> m_free;
    std::vector<long> m_sequence;   // each finished block's place in the input; -1 otherwise
    long m_written = 0;             // blocks written
    bool m_writing = false;
    bool m_ended = false;
};

} // namespace

bool RoadLineStream::run(std::FILE* in, int threads, const RoadLineStreamHooks& hooks)
{
    threads = std::max(1, threads);
    Flight f(in, threads, hooks);
    std::vector<std::thread> others;
    for (int w = 1; w < threads; ++w)
        others.emplace_back([&f, w] { f.work(w); });
    f.work(0);
    for (std::thread& t : others)
        t.join();
    return !f.readFailed();
}
