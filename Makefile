# Quorvin's everyday commands. `make` builds; see README.md for the rest.
SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c
.DEFAULT_GOAL := build

JOBS ?= $(shell nproc)
EXAMPLE := $(abspath examples/quorvin.nfo)
SCREENSHOT := $(abspath build/screenshot.png)
FORMAT_DIRS := src tests tools bench

.PHONY: build deps run test sanitize coverage bench fuzz format-check format clean install uninstall
.PHONY: deps-windows windows windows-test

deps:
	scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build build -j$(JOBS)

# With a desktop the viewer opens on it; without one it runs on a private X server for a
# moment and leaves a screenshot behind.
run: build
	@if [[ -n "$${DISPLAY:-}" ]]; then \
	    echo "build/quorvin $(EXAMPLE)"; \
	    build/quorvin "$(EXAMPLE)"; \
	else \
	    echo "No DISPLAY: running the viewer under Xvfb and taking a screenshot"; \
	    scripts/with-test-env.sh scripts/screenshot.sh "$(SCREENSHOT)" build/quorvin "$(EXAMPLE)"; \
	fi

# Installs for the current user by default: the program and its companions in
# ~/.local/lib/quorvin, the `quorvin` command in ~/.local/bin, the desktop entry, icon and MIME
# package under XDG_DATA_HOME (~/.local/share). PREFIX=DIR installs under DIR instead (data in
# DIR/share), DESTDIR=DIR stages the files for a package without registering them.
# `make uninstall` removes all of it but the settings files; PURGE=1 removes those too.
ifeq ($(origin PREFIX),undefined)
PREFIX := $(HOME)/.local
DATADIR ?= $(or $(XDG_DATA_HOME),$(PREFIX)/share)
else
DATADIR ?= $(PREFIX)/share
endif

install: build
	QUORVIN_DATADIR="$(DATADIR)" DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)" --strip

uninstall:
	cmake -DQUORVIN_BINARY_DIR="$(abspath build)" -DPURGE="$(PURGE)" -P cmake/uninstall.cmake

# Tests run side by side, one per core: each end-to-end test has its own X and sound servers.
test: build
	scripts/with-test-env.sh ctest --test-dir build --output-on-failure -j$(JOBS)

# AddressSanitizer and UndefinedBehaviorSanitizer, leak detection on; scripts/lsan.supp lists
# the few leaks inside system libraries that are not ours to fix.
sanitize: deps
	cmake --preset sanitize
	cmake --build build-sanitize -j$(JOBS)
	LSAN_OPTIONS="suppressions=$(abspath scripts/lsan.supp):print_suppressions=0$${LSAN_OPTIONS:+:$$LSAN_OPTIONS}" \
	UBSAN_OPTIONS="print_stacktrace=1$${UBSAN_OPTIONS:+:$$UBSAN_OPTIONS}" \
	    scripts/with-test-env.sh ctest --test-dir build-sanitize --output-on-failure

# Line and branch coverage of src/ and tools/ over the whole suite (gcovr): text and HTML in
# build-coverage/, then gcovr's summary. Counters are zeroed first, so a rerun counts one run.
coverage: deps
	cmake --preset coverage
	cmake --build build-coverage -j$(JOBS)
	find build-coverage -name '*.gcda' -delete
	scripts/with-test-env.sh ctest --test-dir build-coverage --output-on-failure -j$(JOBS)
	# glyphtable runs while building, before the counters are zeroed; the renderer's tests check
	# every cell it draws against the text area's pictures.
	gcovr --root . --filter 'src/' --filter 'tools/' --exclude 'tools/render/glyphtable.cpp' \
	    --exclude-throw-branches \
	    --exclude-unreachable-branches --json build-coverage/coverage.json build-coverage
	cd build-coverage && gcovr --root .. --add-tracefile coverage.json --txt coverage.txt \
	    && gcovr --root .. --add-tracefile coverage.json --branches --txt coverage-branches.txt \
	    && gcovr --root .. --add-tracefile coverage.json --html-details coverage.html --print-summary
	@echo "coverage: build-coverage/coverage.txt (lines), coverage-branches.txt, coverage.html"

# libFuzzer targets, Clang only. Each runs FUZZ_SECONDS on a copy of its seed corpus so that the
# inputs it finds stay in build-fuzz and the committed seeds stay as they are; crashes land in
# build-fuzz/findings/<target>.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_settings fuzz_reading fuzz_render
# Shown files reach the 64000-byte limit only when inputs may be longer than that.
FUZZ_ARGS_fuzz_reading := -max_len=66000 -len_control=0
# Pictures grow with the square of a text's size; short texts reach every path of the drawing.
FUZZ_ARGS_fuzz_render := -max_len=4096

# One target's run, printing libFuzzer's final lines and statistics (and any finding).
define run_fuzz
	@mkdir -p build-fuzz/corpus/$(1) build-fuzz/findings/$(1)
	@cp -n fuzz/corpus/$(1)/* build-fuzz/corpus/$(1)/ || true
	@echo "== $(1) for $(FUZZ_SECONDS) s"
	@LSAN_OPTIONS="suppressions=$(abspath scripts/lsan.supp):print_suppressions=0" \
	    build-fuzz/fuzz/$(1) -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $(FUZZ_ARGS_$(1)) \
	    -artifact_prefix=build-fuzz/findings/$(1)/ build-fuzz/corpus/$(1) > build-fuzz/$(1).log 2>&1 \
	    || { tail -n 60 build-fuzz/$(1).log; echo "$(1) found a fault (see build-fuzz/findings/$(1))"; \
	         sed -n 's/.*Test unit written to //p' build-fuzz/$(1).log | while read -r finding; do \
	             echo "== $$finding, base64:"; base64 "$$finding"; done; exit 1; }
	@grep -E '^(#[0-9]+[[:space:]]+DONE|stat::)' build-fuzz/$(1).log

endef

fuzz: deps
	CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DQUORVIN_FUZZ=ON -DQUORVIN_BENCH=OFF
	cmake --build build-fuzz -j$(JOBS) --target $(FUZZ_TARGETS)
	$(foreach target,$(FUZZ_TARGETS),$(call run_fuzz,$(target)))

bench: build
	@shopt -s nullglob; benches=(build/bench/bench_*); ran=0; \
	for bench in "$${benches[@]}"; do \
	    [[ -f "$$bench" && -x "$$bench" ]] || continue; \
	    echo "== $$bench"; \
	    scripts/with-test-env.sh "$$bench"; \
	    ran=1; \
	done; \
	((ran)) || echo "No benchmarks built (bench/bench_*.cpp)."

format-check: deps
	@find $(FORMAT_DIRS) -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z \
	    | xargs -0 clang-format --dry-run --Werror
	@echo "format-check: all C++ files are formatted"

format: deps
	find $(FORMAT_DIRS) -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format -i

# Windows: cross-built with MinGW-w64 against a static Qt (unpacked from ../shared/winqt/ or
# built once into ~/.cache/quorvin), packed as build-windows/quorvin-VERSION-windows.zip;
# its tests run under Wine. See scripts/build-windows.sh.
deps-windows:
	scripts/install-deps.sh windows

windows: deps-windows
	scripts/build-windows.sh package

windows-test: deps-windows
	scripts/with-test-env.sh scripts/build-windows.sh test

clean:
	rm -rf build build-sanitize build-coverage build-fuzz build-windows
