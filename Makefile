# fieldcore: every target does its own set-up on a fresh Debian machine (run as root).
#   make demo       build the fieldcore tool and run it on the bundled examples
#   make test       build and run every test through CTest
#   make test-asan  the same tests built with AddressSanitizer + UndefinedBehaviorSanitizer
#   make test-tsan  the thread, window and timer tests built with ThreadSanitizer
#   make bench      build and run the benchmarks (Google Benchmark)
#   make fuzz       build the libFuzzer harnesses (clang) and run each for FUZZ_SECONDS

BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_TSAN ?= build-tsan
BUILD_BENCH?= build-bench
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES   := cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev librsvg2-bin libgeographiclib-dev clang libclang-rt-14-dev gdal-bin pybind11-dev python3-dev python3-numpy python3-dask python3-distributed python3-pytest python3-pandas fonts-noto-cjk fonts-dejavu-core libcairo2-dev fonts-liberation2
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo -G Ninja)
# ccache, where the machine has it, only speeds rebuilds up; nothing needs it.
CMAKE_GEN  += $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps build demo test test-asan test-tsan bench fuzz install clean

all: build

# Installs only the packages that are missing; apt-get update runs only when something is.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update -q && apt-get install -y -q --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@bash examples/demo.sh $(BUILD)/tools/fieldcore

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(BUILD_ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DFIELDCORE_SANITIZE=ON
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# ThreadSanitizer (GCC 12) cannot start where the kernel randomises mappings with more than 28
# bits: everything that runs a test program (the build's test discovery too) runs without
# address randomisation. A runtime that still cannot start fails the run.
NO_ASLR := setarch $(shell uname -m) -R
test-tsan: deps
	cmake -S . -B $(BUILD_TSAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DFIELDCORE_SANITIZE=thread \
	  -DBUILD_TOOLS=OFF -DFIELDCORE_ROAD=OFF
	$(NO_ASLR) cmake --build $(BUILD_TSAN) -j $(JOBS)
	cd $(BUILD_TSAN) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	  $(NO_ASLR) ctest --output-on-failure -j $(JOBS) --no-tests=error

bench: deps
	cmake -S . -B $(BUILD_BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	  -DBUILD_BENCHMARKS=ON -DBUILD_TESTING=OFF
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	$(BUILD_BENCH)/bench/fieldcore_bench

# Every reader of outside data under libFuzzer with AddressSanitizer and UBSan; fails on a finding.
fuzz: deps
	cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DFIELDCORE_FUZZ=ON -DBUILD_TESTING=OFF -DBUILD_TOOLS=OFF
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	bash fuzz/run.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_TSAN) $(BUILD_BENCH) $(BUILD_FUZZ) build-core build-consumer
