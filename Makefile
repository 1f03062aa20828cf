# Front door: `make run` and `make test` install what is missing, configure, build and go.
# CI (CI=true) builds the ci preset in build-ci; everyone else the dev preset in build.
PRESET     ?= $(if $(CI),ci,dev)
BUILD      ?= $(if $(CI),build-ci,build)
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
JOBS       ?= 2
FUZZ_SECONDS ?= 30

# Debian packages the build needs; mk/*.mk add those of further parts (mk/gui.mk: the windows).
PKGS := cmake ninja-build g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev \
        clang libclang-rt-14-dev clang-format
-include $(wildcard mk/*.mk)

SHELL := /bin/bash
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
EXAMPLE := examples/tank_farm.fs

.PHONY: all deps build run demo test asan asan-test fuzz fuzz-run bench package install-check format format-check clean \
        windows windows-test windows-package

all: build

deps:
	@missing=""; for p in $(PKGS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

# Every configuration comes from CMakePresets.json; BUILD and friends only move its folder.
$(BUILD)/build.ninja:
	cmake --preset $(PRESET) -B $(BUILD)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Without a serial port the program still starts; it says how to try it on a simulated unit.
run: build
	@if [ -x $(BUILD)/tgm ] && { [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; }; then \
	  [ -n "$$(./$(BUILD)/tgm-cli ports)" ] || echo "No serial port opens here: 'make demo' starts the program with a simulated unit."; \
	  exec ./$(BUILD)/tgm; \
	else \
	  [ -x $(BUILD)/tgm ] && echo "No display (DISPLAY and WAYLAND_DISPLAY unset): showing $(EXAMPLE) with tgm-cli instead."; \
	  ./$(BUILD)/tgm-cli info $(EXAMPLE); \
	fi

# The program with a simulated unit inside it in place of the serial port (DEMO=v:9600 for a V unit).
DEMO ?= k:9600
demo: build
	exec ./$(BUILD)/tgm --simulate=$(DEMO)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	cmake --preset asan -B $(ASAN_BUILD)

asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

asan-test: asan
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

$(FUZZ_BUILD)/build.ninja:
	cmake --preset fuzz -B $(FUZZ_BUILD)

fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Each target runs FUZZ_SECONDS on a scratch corpus seeded from examples/ (and its own seeds;
# the answer fuzzers take whole recorded conversations, up to 256 KiB, and their seeds only);
# what it finds lands in $(FUZZ_BUILD)/artifacts/, never in the source tree.
fuzz-run: fuzz
	@set -e; mkdir -p $(FUZZ_BUILD)/artifacts; for t in $(FUZZ_BUILD)/fuzz/fuzz_*; do \
	  name=$$(basename $$t); corpus=$$(mktemp -d); seeds=$$(mktemp -d); \
	  case $$name in \
	    fuzz_form_*) cp examples/*.$${name#fuzz_form_} $$seeds/; len=8192;; \
	    fuzz_*_answers) len=262144;; \
	    fuzz_config) len=32768;; \
	    fuzz_workbook) cp tests/forms/workbooks/lab_tank.* tests/forms/workbooks/two_tanks.* \
	      tests/forms/workbooks/shared_string_out_of_range.xlsx $$seeds/; len=65536;; \
	    fuzz_sheet_xml) len=131072;; \
	    *) cp examples/* $$seeds/; len=32768;; \
	  esac; \
	  [ -d tests/fuzz/seeds/$$name ] && cp tests/fuzz/seeds/$$name/* $$seeds/; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  $$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -max_len=$$len -print_final_stats=1 \
	      -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$name- \
	      $$corpus $$seeds 2>&1 | tail -n 12; \
	  status=$${PIPESTATUS[0]}; rm -rf $$corpus $$seeds; \
	  [ $$status -eq 0 ] || { echo "$$name failed"; exit 1; }; \
	done

bench: build
	@for b in $(BUILD)/bench/bench_*; do $$b; done

# The .deb: the programs alone (no tests, no benchmarks), Release, prefix /usr, not portable.
$(PACKAGE_BUILD)/build.ninja:
	cmake --preset package -B $(PACKAGE_BUILD)

package: deps $(PACKAGE_BUILD)/build.ninja
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

# Installs into a staging folder and checks what a user would get (packaging/check-install).
install-check: package
	packaging/check-install $(PACKAGE_BUILD)

# Windows, cross-built into build-windows/ against the SDK of Qt, libzip, pugixml and GoogleTest
# for Windows (WINDOWS_SDK: its archives, unpacked into build-windows-sdk/): tgm.exe with Qt's
# DLLs beside it, tgm-cli.exe, the core's test programs.
WINDOWS_BUILD ?= build-windows
WINDOWS_SDK ?= ../shared/windows-sdk
build-windows-sdk/.unpacked:
	mkdir -p build-windows-sdk
	for a in $(WINDOWS_SDK)/*.tar.xz; do tar -xJf "$$a" -C build-windows-sdk || exit 1; done
	touch $@

# TGM_WINDOWS_QT: another Qt 6 for Windows (its prefix) in place of the SDK's.
$(WINDOWS_BUILD)/build.ninja: build-windows-sdk/.unpacked
	cmake --preset windows -B $(WINDOWS_BUILD) \
	  $(if $(TGM_WINDOWS_QT),"-DCMAKE_PREFIX_PATH=$(TGM_WINDOWS_QT);$(CURDIR)/build-windows-sdk/deps")

windows: deps $(WINDOWS_BUILD)/build.ninja
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# The portable zip (of build-windows/) and the installer (of an installed build, settings in
# %APPDATA%\tgm), both in $(WINDOWS_BUILD)/package/.
WINDOWS_PACKAGE_BUILD ?= build-windows-package
windows-package: windows
	cmake --preset windows -B $(WINDOWS_PACKAGE_BUILD) -DTGM_PORTABLE=OFF -DTGM_TESTS=OFF \
	  $(if $(TGM_WINDOWS_QT),"-DCMAKE_PREFIX_PATH=$(TGM_WINDOWS_QT);$(CURDIR)/build-windows-sdk/deps")
	cmake --build $(WINDOWS_PACKAGE_BUILD) -j $(JOBS) --target tgm tgm-cli
	packaging/windows/make-package.sh $(WINDOWS_BUILD) $(WINDOWS_PACKAGE_BUILD) $(WINDOWS_BUILD)/package \
	  $$(sed -n 's/^project(tgm VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# Under Wine, in a prefix of its own in build-windows/, against the Linux programs of $(BUILD);
# the installer too.
windows-test: windows-package build
	tests/windows/wine-tests.sh $(WINDOWS_BUILD) $(BUILD)

# Every tracked C++ source as clang-format writes it (the style is .clang-format's).
FORMAT_FILES = git ls-files -z -- '*.h' '*.cpp'
format: deps
	$(FORMAT_FILES) | xargs -0 clang-format -i

format-check: deps
	@$(FORMAT_FILES) | xargs -0 clang-format --dry-run -Werror && echo "format-check: every source as clang-format writes it"

clean:
	rm -rf $(BUILD) build-ci $(ASAN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) $(WINDOWS_BUILD) $(WINDOWS_PACKAGE_BUILD) build-windows-sdk
