# Front door: `make run` and `make test` install what is missing, configure, build and go.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= 2
FUZZ_SECONDS ?= 30

# Debian packages the build needs; later parts of the program append theirs in deps.mk files.
PKGS := cmake ninja-build g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev \
        clang libclang-rt-14-dev
-include $(wildcard mk/*.mk)

SHELL := /bin/bash
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
EXAMPLE := examples/tank_farm.fs

.PHONY: all deps build run test asan asan-test fuzz fuzz-run bench clean

all: build

deps:
	@missing=""; for p in $(PKGS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/tgm ] && { [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; }; then \
	  exec ./$(BUILD)/tgm; \
	else \
	  [ -x $(BUILD)/tgm ] && echo "No display (DISPLAY and WAYLAND_DISPLAY unset): showing $(EXAMPLE) with tgm-cli instead."; \
	  ./$(BUILD)/tgm-cli info $(EXAMPLE); \
	fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTGM_SANITIZE=ON -DTGM_BENCH=OFF

asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

asan-test: asan
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

$(FUZZ_BUILD)/build.ninja:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTGM_FUZZ=ON -DTGM_BENCH=OFF

fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Each target runs FUZZ_SECONDS on a scratch corpus seeded from examples/ (and its own seeds).
fuzz-run: fuzz
	@set -e; for t in $(FUZZ_BUILD)/fuzz/fuzz_*; do \
	  name=$$(basename $$t); corpus=$$(mktemp -d); seeds=$$(mktemp -d); \
	  case $$name in \
	    fuzz_form_*) cp examples/*.$${name#fuzz_form_} $$seeds/; len=8192;; \
	    *) cp examples/* $$seeds/; len=32768;; \
	  esac; \
	  [ -d tests/fuzz/seeds/$$name ] && cp tests/fuzz/seeds/$$name/* $$seeds/; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  $$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -max_len=$$len -print_final_stats=1 \
	      $$corpus $$seeds 2>&1 | tail -n 12; \
	  status=$${PIPESTATUS[0]}; rm -rf $$corpus $$seeds; \
	  [ $$status -eq 0 ] || { echo "$$name failed"; exit 1; }; \
	done

bench: build
	@for b in $(BUILD)/bench/bench_*; do $$b; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
