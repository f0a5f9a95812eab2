// The lines of a text stream (millions of points for `road locate`) answered in blocks on
// several threads, the answers written in input order.
//
// The calling thread and threads - 1 others are the workers. Each in turn reads the next
// block of whole lines (about kBlockBytes; one reader at a time), turns it into its answers
// (parsing, locating and formatting all happen there) and hands it in; whoever hands in the
// block next in input order writes it. No block waits for a thread to be woken to pass it on.
// A fixed number of blocks is in flight (kBlocksPerThread per worker), each reused, so memory
// stays flat whatever the input's size; with one worker the calling thread alone reads,
// answers and writes one block at a time.
//
// Lines end with LF; a CR before it stays in the line for the worker to drop. The last line
// may lack its LF. A line longer than kMaxLineBytes is not held: it reaches the worker as an
// empty line whose number is listed in Block::tooLong, and the input goes on after its end.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Aligned to a cache line: the workers write their blocks side by side (no false sharing).
struct alignas(64) RoadLineBlock {
    // Input: whole lines, each followed by LF, the first numbered firstLine (from 1).
    std::string text;
    long firstLine = 1;
    std::vector<long> tooLong;   // numbers of the lines longer than kMaxLineBytes (left empty)
    // Output, filled by the worker: the text to write, messages by line number, and a
    // status for the caller (the caller's codes).
    std::string out;
    std::vector<std::pair<long, std::string>> errors;
    int status = 0;

    void clear();
};

struct RoadLineStreamHooks {
    // In input order, one block at a time, before the block is answered: the place to read a
    // header row that changes how the later lines are read. May be empty.
    std::function<void(RoadLineBlock&)> prepare;
    // On worker `worker` (0 to threads - 1): the block's answers.
    std::function<void(int worker, RoadLineBlock&)> work;
    // In input order, one block at a time (on whichever worker finished the block next in
    // order): writes a finished block.
    std::function<void(const RoadLineBlock&)> write;
};

class RoadLineStream {
public:
    static constexpr std::size_t kBlockBytes = std::size_t(64) << 10;
    static constexpr std::size_t kMaxLineBytes = std::size_t(1) << 20;
    static constexpr int kBlocksPerThread = 3;

    // Runs the stream from `in` to its end with `threads` workers (at least 1). False when
    // reading failed (the blocks read before were still answered and written).
    static bool run(std::FILE* in, int threads, const RoadLineStreamHooks& hooks);
};

// The cores this process may run on (its CPU affinity), at least 1: the threads of
// `--threads 0`.
int RoadUsableCores();
