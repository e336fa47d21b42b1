# make run   installs what is missing, builds, starts the emulator on the built-in firmware
# make test  installs what is missing, builds optimised and sanitized, runs every test
# make bench builds optimised and runs the benchmarks
# make fuzz  builds the libFuzzer harnesses with clang (build/fuzz) and runs each
#            for FUZZ_SECONDS seconds (default 60) from its kept corpus
JOBS ?= $(shell nproc)
CMAKE_FLAGS = -G Ninja -DRQ4800_WERROR=ON
RELEASE = build/release
SANITIZE = build/sanitize
FUZZ = build/fuzz
FUZZ_SECONDS ?= 60

.PHONY: run test bench fuzz deps release sanitize clean

deps:
	@bash scripts/install-deps

release: deps
	cmake -S . -B $(RELEASE) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(RELEASE) -j $(JOBS)

sanitize: deps
	cmake -S . -B $(SANITIZE) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DRQ4800_SANITIZE=ON -DRQ4800_BENCH=OFF
	cmake --build $(SANITIZE) -j $(JOBS)

test: release sanitize
	cd $(RELEASE) && ctest --output-on-failure -j $(JOBS)
	cd $(SANITIZE) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: release
	bash scripts/run

bench: release
	bash scripts/bench

fuzz: deps
	cmake -S . -B $(FUZZ) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DRQ4800_FUZZ=ON -DRQ4800_QT=OFF -DRQ4800_BENCH=OFF
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz_harnesses
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash scripts/fuzz

clean:
	rm -rf build
