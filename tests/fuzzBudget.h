// How long a fuzz test runs: CTest runs a short pass with a fixed seed; FIELDCORE_FUZZ_SECONDS=N
// runs for N seconds with the seed of FIELDCORE_FUZZ_SEED, or a random one, printed so that a
// failure can be replayed.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

struct FuzzBudget {
    double seconds;   // 0: the fixed pass
    unsigned seed;
    std::chrono::steady_clock::time_point begin = std::chrono::steady_clock::now();

    // Whether run number `runs` (from 0) still goes: within the seconds of a timed pass, or
    // below `fixedRuns` in the fixed one.
    bool goesOn(long runs, long fixedRuns) const
    {
        if (seconds > 0.0)
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count() <= seconds;
        return runs < fixedRuns;
    }
};

inline FuzzBudget fuzzBudget(unsigned fixedSeed)
{
    const char* secondsText = std::getenv("FIELDCORE_FUZZ_SECONDS");
    const double seconds = secondsText ? std::atof(secondsText) : 0.0;
    const char* seedText = std::getenv("FIELDCORE_FUZZ_SEED");
    const unsigned seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10))
                                   : (seconds > 0.0 ? std::random_device()() : fixedSeed);
    if (seconds > 0.0)
        std::printf("fuzz seed %u for %.0f s\n", seed, seconds);
    return FuzzBudget{seconds, seed, std::chrono::steady_clock::now()};
}
