# Thin wrapper over CMake and CTest.
#   make run    build, then start zentrill in the current directory
#   make test   build, then run every test
#   make sanitize, make sanitize-clang   every test under the sanitizers
BUILD ?= build
WERROR := $(if $(CI),ON,OFF)
JOBS ?= $(shell nproc)

.PHONY: all build run test sanitize sanitize-clang clean

all: build

build:
	cmake -S . -B $(BUILD) -DZENTRILL_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/zentrill

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer, built
# by the default compiler (GCC) or by clang++: each reports faults the other
# misses.
sanitize:
	cmake -S . -B build-sanitize -DZENTRILL_SANITIZE=ON -DZENTRILL_WERROR=$(WERROR)
	cmake --build build-sanitize -j $(JOBS)
	ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

sanitize-clang:
	cmake -S . -B build-sanitize-clang -DCMAKE_CXX_COMPILER=clang++ -DZENTRILL_SANITIZE=ON \
	  -DZENTRILL_WERROR=$(WERROR)
	cmake --build build-sanitize-clang -j $(JOBS)
	ctest --test-dir build-sanitize-clang --output-on-failure -j $(JOBS)

clean:
	rm -rf build build-sanitize build-sanitize-clang

# libFuzzer targets (clang++) under the sanitizers: 30 seconds each, the CI
# run, or 10 minutes each. Inputs that break a property land in
# build-fuzz/artifacts/.
.PHONY: fuzz fuzz-long
fuzz:
	ZENTRILL_WERROR=$(WERROR) bash tests/fuzz/run.sh 30

fuzz-long:
	ZENTRILL_WERROR=$(WERROR) bash tests/fuzz/run.sh 600

# Release build of the program and bench/, then the figures of
# docs/PERFORMANCE.md: the long run against the floor loop, memory, start-up,
# idle CPU and the hot paths.
.PHONY: perf
perf:
	cmake -S . -B build-perf -DCMAKE_BUILD_TYPE=Release -DZENTRILL_BENCHMARKS=ON
	cmake --build build-perf -j $(JOBS) --target zentrill zentrill_floor zentrill_benchmarks zentrill_measured_run
	python3 bench/measure.py build-perf
