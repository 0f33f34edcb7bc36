# The two commands of the README: `make run` and `make test`. Each installs what
# is missing first, then builds.
#
# Trees: build/native (Linux, sanitizers, tests), build/win32 (the shipped 32-bit
# Windows program), build/win64 (its 64-bit twin). The Windows tests run under
# Wine: win64 always, win32 wherever this machine executes 32-bit code
# (scripts/win32-support.sh finds out by trying; TALVERN_SKIP_WIN32=1 skips it).
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32
WIN64 := build/win64
BENCH := build/bench
BENCH_WIN64 := build/bench-win64
FUZZ := build/fuzz
COVERAGE := build/coverage
FUZZ_SECONDS ?= 60
# Empty: every target; otherwise the names of the targets to run.
FUZZ_TARGETS ?=

.PHONY: dist screenshot-calendar deps native win32 win64 test test-native test-win32 test-win64 run bench fuzz fuzz-build fuzz-keep coverage screenshot samples clean

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DTALVERN_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

win32: deps
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release -DTALVERN_TESTS=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(WIN32) -j$(JOBS)

win64: deps
	@cmake -S . -B $(WIN64) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(WIN64) -j$(JOBS)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure

test-win32: win32
	@bash scripts/test-win32.sh $(WIN32)

test-win64: win64
	bash scripts/with-display.sh sh -c 'cd $(WIN64) && ctest --output-on-failure'

test: test-native test-win32 test-win64

run: deps
	@bash scripts/run.sh

bench: deps
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DTALVERN_TESTS=OFF -DTALVERN_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j$(JOBS)
	@cmake -S . -B $(BENCH_WIN64) -DCMAKE_BUILD_TYPE=Release -DTALVERN_TESTS=OFF -DTALVERN_BENCH=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(BENCH_WIN64) -j$(JOBS) --target batch_bench window_batch_bench wic_plugin_bench
	@bash scripts/bench.sh $(BENCH) $(BENCH_WIN64)

# Fuzzing starts from the kept corpus of fuzz/corpus and merges what it finds
# into the build's copy; `make fuzz-keep` writes that back for a commit.
fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVERN_TESTS=OFF -DTALVERN_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS) --target fuzz_targets

fuzz: fuzz-build
	@bash scripts/fuzz.sh $(FUZZ) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

fuzz-keep: fuzz-build
	@bash scripts/fuzz-keep.sh $(FUZZ) $(FUZZ_TARGETS)

# The fuzz targets with clang's source coverage, replaying the kept corpus.
coverage: deps
	@CC=clang CXX=clang++ cmake -S . -B $(COVERAGE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVERN_TESTS=OFF -DTALVERN_FUZZ=ON \
	  "-DCMAKE_CXX_FLAGS=-fprofile-instr-generate -fcoverage-mapping" "-DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate" >/dev/null
	@cmake --build $(COVERAGE) -j$(JOBS) --target fuzz_targets
	@bash scripts/coverage.sh $(COVERAGE)

# One zip per Windows build under build/dist (scripts/dist.sh).
dist: win32 win64
	@bash scripts/dist.sh

screenshot-calendar: win64
	@bash scripts/screenshot-calendar.sh $(WIN64)

screenshot: win64
	@bash scripts/screenshot.sh $(WIN64)

# Rewrites the pictures of samples/ with the generator of tools/.
samples: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DTALVERN_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS) --target make_samples
	@$(NATIVE)/tools/make_samples samples

clean:
	rm -rf build
