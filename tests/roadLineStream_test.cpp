// The line stream: every line reaches a worker once with its number, the answers come out in
// input order whatever the threads, lines over the limit are reported and skipped, and the
// odd ends of inputs (no last line end, CR LF, empty input) are kept.
#include "road/roadLineStream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// A temporary file holding `text`, read from its start.
struct Input {
    explicit Input(const std::string& text) : file(std::tmpfile())
    {
        std::fwrite(text.data(), 1, text.size(), file);
        std::rewind(file);
    }
    ~Input() { std::fclose(file); }
    std::FILE* file;
};

// "N|line|" for every line (too long ones as "N|too long|"), through `threads` workers.
std::string echo(const std::string& text, int threads, std::vector<long>* prepared = nullptr)
{
    Input in(text);
    std::string written;
    RoadLineStreamHooks hooks;
    hooks.prepare = [&](RoadLineBlock& b) {
        if (prepared)
            prepared->push_back(b.firstLine);
    };
    hooks.work = [](int, RoadLineBlock& b) {
        long n = b.firstLine;
        std::size_t pos = 0, tooLong = 0;
        for (std::size_t nl; (nl = b.text.find('\n', pos)) != std::string::npos; pos = nl + 1, ++n) {
            const bool over = tooLong < b.tooLong.size() && b.tooLong[tooLong] == n;
            tooLong += over;
            b.out += std::to_string(n) + "|" + (over ? std::string("too long") : b.text.substr(pos, nl - pos)) + "|";
        }
    };
    hooks.write = [&](const RoadLineBlock& b) { written += b.out; };
    EXPECT_TRUE(RoadLineStream::run(in.file, threads, hooks));
    return written;
}

} // namespace

TEST(RoadLineStream, EveryLineOnceInInputOrder)
{
    std::string text, expected;
    for (long i = 1; i <= 300000; ++i) {
        const std::string line = std::to_string(i * 7919 % 100003) + (i % 5 ? " 1.5 2.25" : "");
        text += line + "\n";
        expected += std::to_string(i) + "|" + line + "|";
    }
    for (int threads : {1, 2, 3, 8}) {
        std::vector<long> prepared;
        EXPECT_EQ(echo(text, threads, &prepared), expected) << threads << " threads";
        // Blocks were prepared in input order, several of them.
        EXPECT_GT(prepared.size(), 10u);
        for (std::size_t i = 1; i < prepared.size(); ++i)
            EXPECT_LT(prepared[i - 1], prepared[i]);
    }
}

// Blocks finish out of order: one worker, or the writer, is slow. Every block is still written
// once, in input order, and the pool never runs dry for good.
TEST(RoadLineStream, SlowWorkerOrWriterKeepsOrder)
{
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += std::to_string(i) + " 12.5 7.25\n";
    for (const bool slowWriter : {false, true}) {
        Input in(text);
        std::string written;
        RoadLineStreamHooks hooks;
        hooks.work = [](int w, RoadLineBlock& b) {
            if (w == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            b.out = b.text;
        };
        hooks.write = [&](const RoadLineBlock& b) {
            if (slowWriter)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            written += b.out;
        };
        EXPECT_TRUE(RoadLineStream::run(in.file, 4, hooks));
        EXPECT_EQ(written, text) << (slowWriter ? "slow writer" : "slow worker");
    }
}

TEST(RoadLineStream, OddEndsAndLongLines)
{
    const std::size_t limit = RoadLineStream::kMaxLineBytes;
    const std::string longest(limit, 'x'), over(limit + 1, 'y');
    struct Case {
        const char* name;
        std::string text, expected;
    };
    const Case cases[] = {
        {"empty input", "", ""},
        {"one line without its end", "12 34", "1|12 34|"},
        {"CR LF kept for the worker", "a\r\nb\r\n", "1|a\r|2|b\r|"},
        {"blank lines counted", "\n\nc\n", "1||2||3|c|"},
        {"a line of exactly the limit", "a\n" + longest + "\nb\n", "1|a|2|" + longest + "|3|b|"},
        {"a line over the limit", "a\n" + over + "\nb\n", "1|a|2|too long|3|b|"},
        {"over the limit at the end without its end", "a\n" + over, "1|a|2|too long|"},
        {"over the limit, its CR counted", "a\n" + longest + "\r\nb", "1|a|2|too long|3|b|"},
        {"far over the limit at the end without its end", "a\n" + std::string(2 * limit, 'z'), "1|a|2|too long|"},
        {"far over the limit, then a line", "a\n" + std::string(2 * limit, 'z') + "\nb", "1|a|2|too long|3|b|"},
        {"two long lines in a row", over + "\n" + over + "\n" + "z", "1|too long|2|too long|3|z|"},
    };
    for (const Case& c : cases)
        for (int threads : {1, 2})
            EXPECT_EQ(echo(c.text, threads), c.expected) << c.name << ", " << threads << " threads";
}

TEST(RoadLineStream, UsableCoresAtLeastOne)
{
    EXPECT_GE(RoadUsableCores(), 1);
}
