# Thin wrapper over CMake and CTest.
#   make run      build the program alone, then start zentrill in this folder
#                 (ARGS='-tiaw a-4 a-1 8' hands it options and arguments)
#   make test     build the tests (needs GoogleTest), then run them all
#   make sanitize, make sanitize-clang   every test under the sanitizers
#   make install  an optimised, stripped zentrill and its manual page under
#                 PREFIX (default ~/.local)
#   make build    the program, and the tests when GoogleTest is found
#   make spectrogram  docs/glide_spectrogram.png from a preview (needs sox)
#   make bench    every benchmark and measurement of bench/, built, not run
BUILD ?= build
PREFIX ?= $(HOME)/.local
WERROR := $(if $(CI),ON,OFF)
JOBS ?= $(shell nproc)

# The build shows the compiler's diagnostics and CMake's one line per file,
# nothing more: no "Entering directory" line from the makes CMake nests, no
# configure report beyond warnings and errors.
MAKEFLAGS += --no-print-directory
CONFIGURE := cmake -Wno-dev --log-level=NOTICE

.PHONY: all configure build program run test install sanitize sanitize-clang clean

all: build

configure:
	@$(CONFIGURE) -S . -B $(BUILD) -DZENTRILL_WERROR=$(WERROR)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

program: configure
	cmake --build $(BUILD) -j $(JOBS) --target zentrill

run: program
	./$(BUILD)/zentrill $(ARGS)

test:
	@$(CONFIGURE) -S . -B $(BUILD) -DZENTRILL_WERROR=$(WERROR) -DZENTRILL_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS) --target zentrill_tests
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# A Release build of its own, so that build/ keeps its debug information.
install:
	@$(CONFIGURE) -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DZENTRILL_TESTS=OFF \
	  -DZENTRILL_WERROR=$(WERROR)
	cmake --build build-release -j $(JOBS) --target zentrill
	cmake --install build-release --strip --prefix $(PREFIX)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer, built
# by the default compiler (GCC) or by clang++: each reports faults the other
# misses.
sanitize:
	@$(CONFIGURE) -S . -B build-sanitize -DZENTRILL_SANITIZE=ON -DZENTRILL_TESTS=ON \
	  -DZENTRILL_WERROR=$(WERROR)
	cmake --build build-sanitize -j $(JOBS) --target zentrill_tests
	ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

sanitize-clang:
	@$(CONFIGURE) -S . -B build-sanitize-clang -DCMAKE_CXX_COMPILER=clang++ -DZENTRILL_SANITIZE=ON \
	  -DZENTRILL_TESTS=ON -DZENTRILL_WERROR=$(WERROR)
	cmake --build build-sanitize-clang -j $(JOBS) --target zentrill_tests
	ctest --test-dir build-sanitize-clang --output-on-failure -j $(JOBS)

clean:
	rm -rf build build-release build-sanitize build-sanitize-clang build-bench

# libFuzzer targets (clang++) under the sanitizers: 30 seconds each, the CI
# run, or 10 minutes each. Inputs that break a property land in
# build-fuzz/artifacts/.
.PHONY: fuzz fuzz-long
fuzz:
	ZENTRILL_WERROR=$(WERROR) bash tests/fuzz/run.sh 30

fuzz-long:
	ZENTRILL_WERROR=$(WERROR) bash tests/fuzz/run.sh 600

# Release build of the program and bench/, then the figures of
# docs/PERFORMANCE.md: the long run against the floor loop, memory, the
# preview, start-up, idle CPU and the hot paths.
.PHONY: perf
perf:
	cmake -S . -B build-perf -DCMAKE_BUILD_TYPE=Release -DZENTRILL_BENCHMARKS=ON
	cmake --build build-perf -j $(JOBS) --target zentrill zentrill_floor zentrill_benchmarks zentrill_measured_run \
	  zentrill_preview_measurement
	python3 bench/measure.py build-perf

# The README's picture of a preview: C-1 to A#7 in 1200 steps with -tiaw, one
# row a pixel, drawn by sox from pxx.wav.
.PHONY: spectrogram
spectrogram: program
	@command -v sox >/dev/null || { echo "make spectrogram needs sox: apt-get install sox, as root or through sudo"; exit 1; }
	rm -rf $(BUILD)/spectrogram && mkdir $(BUILD)/spectrogram
	cd $(BUILD)/spectrogram && printf 'c-1a#71200\rn' | $(abspath $(BUILD))/zentrill -tiaw >/dev/null
	sox $(BUILD)/spectrogram/pxx.wav -n spectrogram -x 1200 -y 513 -z 90 \
	  -t "zentrill -tiaw: C-1 to A#7 in 1200 steps" -c "pxx.wav" -o docs/glide_spectrogram.png

# Every target of bench/ built, none run, in a folder of its own, so that CI
# keeps them building (Google Benchmark must be installed).
.PHONY: bench
bench:
	@$(CONFIGURE) -S . -B build-bench -DZENTRILL_BENCHMARKS=ON -DZENTRILL_TESTS=OFF \
	  -DZENTRILL_WERROR=$(WERROR)
	cmake --build build-bench -j $(JOBS) --target zentrill_floor zentrill_benchmarks \
	  zentrill_measured_run zentrill_preview_measurement
