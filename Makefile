# SPDX-License-Identifier: MIT
#
#   make run           build build/ and play the game from the repository root
#   make test          build build/ with warnings as errors and run every test under Xvfb
#   make asan          the same tests in build-asan/ under AddressSanitizer and UBSan
#   make bench         build build-bench/ (Release) and run every benchmark
#   make perf          the game loop's figures on this machine, every scene headless and in a window
#   make fuzz FUZZ=<Name> [SECONDS=600]   run one libFuzzer target in build-fuzz/
#   make fuzz-smoke    run every fuzz target briefly (fixed seed, FUZZ_SMOKE_RUNS inputs each)
#   make soak          SOAK_STEPS (100,000) game-loop iterations of random keys under the sanitizers
#   make screenshots   play the game under Xvfb and save pictures to docs/screenshots/
#   make golden-screens   rewrite tests/game/screens/ from the replays' screen lines, after an intended change
#   make install [PREFIX=/usr/local]   install the game and its data, the engine libraries, headers,
#                      CMake package and sprite checker
#   make docs          the API reference (Doxygen) in build/docs/html/; any warning fails it
#   make package       the Debian packages veltrane (the game) and libveltrane-dev in build-package/packages/
#   make example       install to a temporary prefix, build examples/ against it and play it headless
#   make web           the game as a web page in build-web/ (index.html, veltrane.js, .wasm, .data)
#   make web-serve     serve build-web/ on http://localhost:8000/ to play it in a browser
#   make web-test      the page in headless Chromium: replays, keys, golden screens, pictures, failures
#   make web-perf      the page's weight, time to its first frame, and its loop's work against the window's
#   make web-install [WEB_PREFIX=$HOME/veltrane-web]   the engine built for the browser, with its page files
#   make web-example   the example game as a page, built against the engine installed for the browser
#   make format / format-check
#   make clean         remove the build directories
#
# The build directories can be overridden, e.g. `make test BUILD_DIR=build-mine`.

SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -ec
.DEFAULT_GOAL := run

JOBS ?= 2
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
FUZZ_BUILD_DIR ?= build-fuzz
BENCH_BUILD_DIR ?= build-bench
INSTALL_BUILD_DIR ?= build-install
PACKAGE_BUILD_DIR ?= build-package
EXAMPLE_BUILD_DIR ?= build-example
WEB_BUILD_DIR ?= build-web
WEB_CMAKE_DIR ?= build-web-cmake
WEB_PORT ?= 8000
WEB_PREFIX ?= $(HOME)/veltrane-web
WEB_EXAMPLE_BUILD_DIR ?= build-web-example
PREFIX ?= /usr/local
SECONDS ?= 600
PERF_SAMPLES ?= 1000
FUZZ_SMOKE_RUNS ?= 20000
SOAK_STEPS ?= 100000
# How long `make fuzz` runs; the smoke run replaces it with a fixed seed and run count,
# so CI explores the same inputs every time and cannot fail by chance.
FUZZ_LIMIT ?= -max_total_time=$(SECONDS)

XVFB := xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"
CTEST_FLAGS := --output-on-failure -j$(JOBS)
# Audio code gets a silent working device unless a test chooses another.
TEST_ENV := ALSOFT_DRIVERS=null
CHECKS_ENV := VELTRANE_CHECKS=1
UBSAN_ENV := UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Mesa leaks a few blocks when it unloads its driver, which LeakSanitizer cannot
# suppress: leak checking is off for the tests that use GL or audio.
ASAN_GL_ENV := ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
ASAN_PLAIN_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1

# `make run` and `make test` share build/ with one configuration, so neither
# rebuilds the other's work. The world's consistency checks are switched on at run time
# (VELTRANE_CHECKS=1, set by CTest for every test), so the game played does no test-only work.
MAIN_CONFIG := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVL_WERROR=ON
ASAN_CONFIG := -DCMAKE_BUILD_TYPE=Debug -DVL_WERROR=ON -DVL_SANITIZE=ON
BENCH_CONFIG := -DCMAKE_BUILD_TYPE=Release -DVL_BUILD_TESTS=OFF
FUZZ_CONFIG := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVL_FUZZ=ON
# What a game links: optimised.
INSTALL_CONFIG := -DCMAKE_BUILD_TYPE=Release -DVL_WERROR=ON \
                  -DVL_BUILD_TESTS=OFF -DVL_BUILD_BENCH=OFF

# Debian's compiler for the browser finds its JavaScript tools through NODE_PATH.
WEB_ENV := NODE_PATH=/usr/share/nodejs
WEB_CONFIG := -DCMAKE_BUILD_TYPE=Release -DVL_WERROR=ON

FUZZ_TARGETS := $(sort $(basename $(notdir $(wildcard tests/fuzz/*Fuzz.cpp))))
CXX_FILES = $(shell find engine game tests bench tools examples -type f \
              \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.cc' \) 2>/dev/null | sort)

.PHONY: deps deps-play deps-test deps-web web web-serve web-test web-perf web-install web-example configure-play run build test asan bench perf fuzz fuzz-build fuzz-smoke screenshots golden-screens install package docs example format format-check clean

# What each target installs: playing needs the compiler and the engine's libraries, testing adds
# GoogleTest and the window and terminal tools, everything else (deps) the rest.
deps:
	@bash scripts/install-deps.sh
deps-play:
	@bash scripts/install-deps.sh play
deps-test:
	@bash scripts/install-deps.sh test
deps-web:
	@bash scripts/install-deps.sh web

# The same sources built for the browser; nothing is fetched (see docs/web.md).
web: deps-web
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_CMAKE_DIR) $(WEB_CONFIG) -DVL_WEB_PAGE_DIR="$(abspath $(WEB_BUILD_DIR))"
	$(WEB_ENV) cmake --build $(WEB_CMAKE_DIR) -j$(JOBS) --target veltrane-game
	@echo "make web: the page is in $(WEB_BUILD_DIR)/; make web-serve plays it on http://localhost:$(WEB_PORT)/"

# Headless Chromium against the page, and the desktop game for the log and the window picture to compare
# with. Not part of make test, which needs neither the browser's compiler nor a browser: CI runs it.
web-test: web build
	bash tests/web/run-page-tests.sh $(BUILD_DIR) $(WEB_BUILD_DIR)

# Figures, not a test (docs/performance.md): the page against the window on the same scenes, in one run.
web-perf: web deps
	cmake -S . -B $(BENCH_BUILD_DIR) $(BENCH_CONFIG)
	cmake --build $(BENCH_BUILD_DIR) -j$(JOBS) --target GameLoopBench
	bash scripts/web-perf.sh $(WEB_BUILD_DIR) $(BENCH_BUILD_DIR)

# Everything built for the browser goes in: a game's own page is then built against it (docs/writing-a-game.md).
web-install: deps-web
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_CMAKE_DIR) $(WEB_CONFIG) -DVL_WEB_PAGE_DIR="$(abspath $(WEB_BUILD_DIR))"
	$(WEB_ENV) cmake --build $(WEB_CMAKE_DIR) -j$(JOBS)
	cmake --install $(WEB_CMAKE_DIR) --prefix "$(WEB_PREFIX)"

# The example game as a page from the installed engine only, played with its replay in headless Chromium
# (scripts/check-web-example.sh).
web-example: deps-web
	@prefix=$$(mktemp -d); trap 'rm -rf "$$prefix"' EXIT; \
	$(MAKE) --no-print-directory web-install WEB_PREFIX="$$prefix"; \
	JOBS=$(JOBS) $(WEB_ENV) bash scripts/check-web-example.sh "$$prefix" $(WEB_EXAMPLE_BUILD_DIR)

web-serve: web
	python3 -m http.server --bind 127.0.0.1 --directory $(WEB_BUILD_DIR) $(WEB_PORT)

configure-play: deps-play
	cmake -S . -B $(BUILD_DIR) $(MAIN_CONFIG)

build: deps-test
	cmake -S . -B $(BUILD_DIR) $(MAIN_CONFIG)
	cmake --build $(BUILD_DIR) -j$(JOBS)

# Only the game: the tests of the shared build are built by make test.
run: configure-play
	cmake --build $(BUILD_DIR) -j$(JOBS) --target veltrane-game
	./$(BUILD_DIR)/veltrane-game

test: build
	$(TEST_ENV) $(XVFB) ctest --test-dir $(BUILD_DIR) $(CTEST_FLAGS)

# The screens make test compares with tests/game/screens/, written anew there: review them with git diff.
golden-screens: configure-play
	cmake --build $(BUILD_DIR) -j$(JOBS) --target veltrane-game
	bash scripts/golden-screens.sh --update $(BUILD_DIR)

# The title screen and every level in both worlds, as PNG files (scripts/screenshots.sh).
screenshots: build
	bash scripts/screenshots.sh $(BUILD_DIR)

# The engine libraries (vl_game needs every module), the sprite checker and the game: nothing else is installed.
INSTALL_TARGETS := vl_game veltrane-sprite veltrane-game
install: deps-play
	cmake -S . -B $(INSTALL_BUILD_DIR) $(INSTALL_CONFIG)
	cmake --build $(INSTALL_BUILD_DIR) --target $(INSTALL_TARGETS) -j$(JOBS)
	cmake --install $(INSTALL_BUILD_DIR) --prefix "$(PREFIX)"

# Installed under /usr, so the libraries go to Debian's multiarch directory (cmake/Packaging.cmake).
package: deps
	cmake -S . -B $(PACKAGE_BUILD_DIR) $(INSTALL_CONFIG) -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PACKAGE_BUILD_DIR) --target $(INSTALL_TARGETS) -j$(JOBS)
	rm -rf $(PACKAGE_BUILD_DIR)/packages
	cd $(PACKAGE_BUILD_DIR) && cpack -G DEB

# Shares build/ with `make run` and `make test`; only the docs target is built.
docs: deps
	cmake -S . -B $(BUILD_DIR) $(MAIN_CONFIG)
	cmake --build $(BUILD_DIR) --target docs

# Proves the installed package is enough to build and run a game (scripts/check-example.sh).
example: deps-play
	@prefix=$$(mktemp -d); trap 'rm -rf "$$prefix"' EXIT; \
	$(MAKE) --no-print-directory install PREFIX="$$prefix"; \
	JOBS=$(JOBS) bash scripts/check-example.sh "$$prefix" $(EXAMPLE_BUILD_DIR)

asan: deps-test
	cmake -S . -B $(ASAN_BUILD_DIR) $(ASAN_CONFIG)
	cmake --build $(ASAN_BUILD_DIR) -j$(JOBS)
	@status=0; \
	$(TEST_ENV) $(UBSAN_ENV) $(ASAN_GL_ENV) $(XVFB) \
	    ctest --test-dir $(ASAN_BUILD_DIR) $(CTEST_FLAGS) -L 'window|audio' || status=1; \
	$(TEST_ENV) $(UBSAN_ENV) $(ASAN_PLAIN_ENV) $(XVFB) \
	    ctest --test-dir $(ASAN_BUILD_DIR) $(CTEST_FLAGS) -LE 'window|audio' || status=1; \
	if [ $$status -ne 0 ]; then echo "make asan: FAILED (see the reports above)"; fi; \
	exit $$status

# The game headless under seeded random keys through every level, memory checked at the end
# (tests/game/SoakTest.cpp; make test and make asan run a short one).
soak: deps-test
	cmake -S . -B $(ASAN_BUILD_DIR) $(ASAN_CONFIG)
	cmake --build $(ASAN_BUILD_DIR) -j$(JOBS) --target game_tests
	$(TEST_ENV) $(CHECKS_ENV) $(UBSAN_ENV) $(ASAN_PLAIN_ENV) VL_SOAK_STEPS=$(SOAK_STEPS) ./$(ASAN_BUILD_DIR)/tests/game_tests --gtest_filter='Soak.*'

bench: deps
	cmake -S . -B $(BENCH_BUILD_DIR) $(BENCH_CONFIG)
	cmake --build $(BENCH_BUILD_DIR) -j$(JOBS)
	@status=0; \
	for bench in $$(find $(BENCH_BUILD_DIR)/bench -maxdepth 1 -type f -executable 2>/dev/null | sort); do \
	    echo "== $$bench"; \
	    $(TEST_ENV) $(XVFB) "$$bench" || status=1; \
	done; \
	exit $$status

# Loop work, pacing, start-up and memory of the game itself (scripts/perf.sh, docs/performance.md).
perf: deps
	cmake -S . -B $(BENCH_BUILD_DIR) $(BENCH_CONFIG)
	cmake --build $(BENCH_BUILD_DIR) -j$(JOBS) --target GameLoopBench
	bash scripts/perf.sh $(BENCH_BUILD_DIR) $(PERF_SAMPLES)

# The fuzz build needs clang; the compiler is chosen when build-fuzz/ is first configured.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) $(FUZZ_CONFIG)
	cmake --build $(FUZZ_BUILD_DIR) -j$(JOBS)

# New inputs go to build-fuzz/corpus/<Name>; tests/data/fuzz/<Name> seeds it. Copy a
# crash from build-fuzz/artifacts/<Name>/ into tests/data/fuzz/<Name>/ to keep it as
# a regression test. A dictionary tests/fuzz/<Name>.dict is used when there is one.
fuzz:
	@if [ -z "$(FUZZ)" ]; then echo "usage: make fuzz FUZZ=<Name> [SECONDS=600]; targets: $(FUZZ_TARGETS)"; exit 2; fi
	@$(MAKE) --no-print-directory fuzz-build
	mkdir -p $(FUZZ_BUILD_DIR)/corpus/$(FUZZ) $(FUZZ_BUILD_DIR)/artifacts/$(FUZZ)
	seeds=tests/data/fuzz/$(FUZZ); [ -d "$$seeds" ] || seeds=; \
	dict=tests/fuzz/$(FUZZ).dict; if [ -f "$$dict" ]; then dict=-dict=$$dict; else dict=; fi; \
	$(TEST_ENV) $(CHECKS_ENV) ./$(FUZZ_BUILD_DIR)/fuzz/$(FUZZ) $(FUZZ_LIMIT) $$dict \
	    -artifact_prefix=$(FUZZ_BUILD_DIR)/artifacts/$(FUZZ)/ \
	    $(FUZZ_BUILD_DIR)/corpus/$(FUZZ) $$seeds

# Skipped (with a message) where clang cannot link libFuzzer targets at all.
fuzz-smoke: deps
	@probe=$$(mktemp -d); \
	echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' > $$probe/p.cpp; \
	if ! clang++ -fsanitize=fuzzer $$probe/p.cpp -o $$probe/p >/dev/null 2>&1; then \
	    rm -rf $$probe; echo "fuzz-smoke: clang cannot build libFuzzer targets here; skipped"; exit 0; \
	fi; \
	rm -rf $$probe; \
	$(MAKE) --no-print-directory fuzz-build; \
	if [ -z "$(FUZZ_TARGETS)" ]; then echo "fuzz-smoke: no fuzz targets"; fi; \
	for target in $(FUZZ_TARGETS); do \
	    $(MAKE) --no-print-directory fuzz FUZZ=$$target FUZZ_LIMIT="-seed=1 -runs=$(FUZZ_SMOKE_RUNS)"; \
	done

format: deps
	@files="$(CXX_FILES)"; if [ -n "$$files" ]; then clang-format -i $$files; fi

format-check: deps
	@files="$(CXX_FILES)"; if [ -n "$$files" ]; then clang-format --dry-run -Werror $$files; fi
	@echo "format-check: all C++ files are formatted"

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(FUZZ_BUILD_DIR) $(BENCH_BUILD_DIR) $(INSTALL_BUILD_DIR) $(PACKAGE_BUILD_DIR) \
	    $(EXAMPLE_BUILD_DIR) $(WEB_BUILD_DIR) $(WEB_CMAKE_DIR) $(WEB_EXAMPLE_BUILD_DIR) build-web-test
