# The two commands of the README: `make run` and `make test`. Each installs what
# is missing first, then builds.
#
# Trees: build/native (Linux, sanitizers, tests), build/win32 (the shipped 32-bit
# Windows program), build/win64 (the same Windows code as 64-bit: what Wine runs
# on these machines, whose kernels cannot execute 32-bit code; its tests run there).
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32
WIN64 := build/win64
BENCH := build/bench
BENCH_WIN64 := build/bench-win64
FUZZ := build/fuzz
FUZZ_SECONDS ?= 60

.PHONY: screenshot-calendar deps native win32 win64 test test-native test-win64 run bench fuzz screenshot samples clean

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DTALVERN_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

win32: deps
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release -DTALVERN_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(WIN32) -j$(JOBS)

win64: deps
	@cmake -S . -B $(WIN64) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(WIN64) -j$(JOBS)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure

test-win64: win64
	bash scripts/with-display.sh sh -c 'cd $(WIN64) && ctest --output-on-failure'

test: test-native win32 test-win64

run: win64
	@bash scripts/run.sh $(WIN64)

bench: deps
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DTALVERN_TESTS=OFF -DTALVERN_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j$(JOBS)
	@cmake -S . -B $(BENCH_WIN64) -DCMAKE_BUILD_TYPE=Release -DTALVERN_TESTS=OFF -DTALVERN_BENCH=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(BENCH_WIN64) -j$(JOBS) --target batch_bench
	@bash scripts/bench.sh $(BENCH) $(BENCH_WIN64)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVERN_TESTS=OFF -DTALVERN_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS) --target fuzz_targets
	@bash scripts/fuzz.sh $(FUZZ) $(FUZZ_SECONDS)

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
