# SPDX-License-Identifier: GPL-3.0-or-later
# Tavel: the two set-up commands are `make run` and `make test`.
# Each installs what is missing (Debian packages), configures and builds.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_GEN := -G Ninja

.PHONY: all deps build run test package-check lint tsan bench bench-build fuzz fuzz-build install package clean

all: build

deps:
	@./scripts/install-deps.sh

# Optimised program at build/tavel, with ReadMe.txt and its folders beside it.
build: deps
	cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVEL_TESTS=OFF
	cmake --build build -j $(JOBS) --target tavel

run: build
	./build/tavel $(ARGS)

# Every test, headless, built with AddressSanitizer and UndefinedBehaviorSanitizer.
TEST_CONFIG := cmake -S . -B build-test $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTAVEL_SANITIZE=ON -DTAVEL_TESTS=ON \
  -DTAVEL_WERROR=ON
test: deps
	$(TEST_CONFIG)
	cmake --build build-test -j $(JOBS)
	cd build-test && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  ctest --output-on-failure -j $(JOBS) -LE package

# The layout (.clang-format) and clang-tidy's checks (.clang-tidy) over the
# program's sources as the test build compiles them; CI runs it.
lint: deps
	@./scripts/install-deps.sh lint
	$(TEST_CONFIG)
	cmake --build build-test -j $(JOBS)
	./scripts/check-format.sh
	JOBS=$(JOBS) ./scripts/check-tidy.sh build-test

# The Debian package check (an optimised build of its own, judged by lintian
# when it is installed), kept out of `make test` for its time; CI runs it.
package-check: deps
	@./scripts/install-deps.sh package
	$(TEST_CONFIG)
	cd build-test && ctest --output-on-failure -L package

# The tests where threads share frames, built with ThreadSanitizer.
TSAN_TESTS ?= .*SeveralThreads.*|.*AtOnce.*|GifExport.*|BitmapExport.*|ProjectFile.*|RecoveryWriter.*
tsan: deps
	cmake -S . -B build-tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVEL_TSAN=ON -DTAVEL_TESTS=ON
	cmake --build build-tsan -j $(JOBS) --target model_tests export_tests files_tests
	cd build-tsan && QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -R '$(TSAN_TESTS)'

# Google Benchmark programs, optimised build; bench-build only builds them.
bench-build: deps
	cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DTAVEL_TESTS=OFF -DTAVEL_BENCH=ON
	cmake --build build-bench -j $(JOBS)

bench: bench-build
	@for b in build-bench/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then \
	    echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b $(BENCH_ARGS) || exit 1; \
	  fi; \
	done

# Installs under PREFIX (default /usr/local; DESTDIR is honoured): the program,
# its ReadMe and folders in PREFIX/share/tavel, menu entry, file types, icons.
PREFIX ?= /usr/local
install: deps
	cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVEL_TESTS=OFF -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build build -j $(JOBS) --target tavel
	cmake --install build

# A Debian package in build-package/, installed under /usr.
# TAVEL_MAINTAINER="Name <address>" sets its maintainer (kept for later runs).
package: deps
	@./scripts/install-deps.sh package
	JOBS=$(JOBS) ./scripts/build-package.sh build-package \
	  $(if $(TAVEL_MAINTAINER),"-DTAVEL_MAINTAINER=$(TAVEL_MAINTAINER)")

# Every file reader under libFuzzer (clang-14), FUZZ_SECONDS each (default 60).
# FUZZERS=name... picks targets; crashes land in build-fuzz/crashes/.
FUZZ_SECONDS ?= 60
FUZZERS ?=
# fuzz-build only builds the targets.
fuzz-build:
	@./scripts/install-deps.sh fuzz
	CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTAVEL_TESTS=OFF -DTAVEL_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target fuzzers make_fuzz_seeds

fuzz: fuzz-build
	./scripts/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS) $(FUZZERS)

clean:
	rm -rf build build-test build-tsan build-bench build-fuzz build-package
