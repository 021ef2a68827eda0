# The two commands of the README: `make demo` and `make check`. Both install
# missing Debian packages, configure and build first.
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
MATLAB_BUILD ?= build-matlab
ARM64_BUILD ?= build-arm64
WINDOWS_BUILD ?= build-windows
INTRINSICS_BUILD ?= build-intrinsics
WINE ?= /usr/lib/wine/wine64
FUZZ_SECONDS ?= 60
JOBS ?= 2
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c
# Octave 7 prints this line at every exit; it says nothing about the run.
OCTAVE_EXIT_NOISE := grep -v 'ignoring const execution_exception'
# Our own builds (make check, CI) treat warnings as errors; a user's build
# (make demo, pkg install, build_plugins) does not.
CHECK_FLAGS := -DWAVETIDE_WERROR=ON -DWAVETIDE_TESTS=ON
# The builds for other platforms and APIs: tests only, no benchmarks.
PLATFORM_FLAGS := -DCMAKE_BUILD_TYPE=Release -DWAVETIDE_BENCH=OFF $(CHECK_FLAGS)
LOGS = $(BUILD)/logs

.PHONY: deps deps-platforms deps-doc build demo doc check check-doc check-asan check-tsan check-matlab-api check-arm64 check-intrinsics check-msvc-syntax check-windows fuzz memcheck bench package clean

deps:
	tools/install-deps.sh

# What the checks of other platforms need besides (cross compilers, emulators).
deps-platforms:
	tools/install-deps.sh --platforms

# What make check-doc needs besides (a headless browser).
deps-doc:
	tools/install-deps.sh --doc

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

# Only the plug-ins, quietly: the full logs go to $(LOGS)/demo-*.log.
demo:
	@mkdir -p $(LOGS)
	@echo "make demo: checking the Debian packages, building the plug-ins (logs in $(LOGS)/)"
	@tools/install-deps.sh $(LOGS)/demo-deps.log
	@{ cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release && \
	   cmake --build $(BUILD) -j$(JOBS) --target plugins; } > $(LOGS)/demo-build.log 2>&1 || \
	 { tail -n 20 $(LOGS)/demo-build.log; exit 1; }
	@octave-cli --no-gui --norc -q --eval "addpath('$(BUILD)/mex'); addpath('toolbox/demo'); wavetide_demo('$(BUILD)/demo')" 2>&1 | $(OCTAVE_EXIT_NOISE)

# The HTML reference in $(BUILD)/doc: index.html by the groups of
# `help wavetide`, a page per function of toolbox/, the demo's figures with
# the text of its sections (run on the plug-ins, as make demo does).
doc:
	@mkdir -p $(LOGS)
	@tools/install-deps.sh $(LOGS)/doc-deps.log
	@{ cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release && \
	   cmake --build $(BUILD) -j$(JOBS) --target plugins; } > $(LOGS)/doc-build.log 2>&1 || \
	 { tail -n 20 $(LOGS)/doc-build.log; exit 1; }
	tools/make_doc.py $(BUILD)/mex $(BUILD)/doc

# The reference opened in headless Chromium: pages, links, figures, and the
# check itself shown to catch each; screenshots in $(BUILD)/doc. Then the
# copy in the package's doc/, as pkg install will copy it.
check-doc: doc
	@tools/install-deps.sh --doc $(LOGS)/doc-deps.log
	tools/check_doc.py --self-test $(BUILD)/doc
	@unpacked=$$(mktemp -d) && trap 'rm -rf "$$unpacked"' EXIT && \
	 tar xzf "$$(package/make_package.sh $(BUILD))" -C "$$unpacked" && \
	 echo "the package's doc/:" && tools/check_doc.py "$$unpacked"/wavetide-*/doc

# First the search for instruction-set code outside simd/ and for fused
# multiply-adds the compiler made (their findings fail the check, after the
# suites have run).
check: CMAKE_FLAGS = $(CHECK_FLAGS)
check: build
	@tools/check_sources.py --self-test && tools/check_sources.py; sources=$$?; \
	 tools/check_fused.sh $(BUILD); fused=$$?; \
	 tests/run_all.sh $(BUILD) && [ $$sources -eq 0 ] && [ $$fused -eq 0 ]

# The C++ tests again, with plug-ins, testhost and tests under ASan + UBSan.
check-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DWAVETIDE_SANITIZE=ON $(CHECK_FLAGS)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 tests/run_all.sh $(ASAN_BUILD) --cpp-only

# The C++ tests again, with plug-ins, testhost and tests under
# ThreadSanitizer: the drivers that split their work over threads, above all.
check-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVETIDE_TSAN=ON -DWAVETIDE_BENCH=OFF $(CHECK_FLAGS)
	cmake --build $(TSAN_BUILD) -j$(JOBS)
	TSAN_OPTIONS=halt_on_error=1 tests/run_all.sh $(TSAN_BUILD) --cpp-only

# The plug-ins, host/ and testhost built against MATLAB's types and its
# interleaved-complex API (testhost/matlab_api/mex.h), and the C++ plug-in
# tests through that testhost; the kernel tests do not depend on the host.
check-matlab-api: deps
	cmake -S . -B $(MATLAB_BUILD) -DWAVETIDE_HOST_API=matlab $(PLATFORM_FLAGS)
	cmake --build $(MATLAB_BUILD) -j$(JOBS) --target plugin_tests
	tests/run_all.sh $(MATLAB_BUILD) --plugins-only

# The C++ tests of a Linux ARM64 cross build (plug-ins, testhost, tests),
# run under qemu-user. ARM64 has fused multiply-add in its base set, and
# the tests compare kernels with references built with the same flags, so
# a contraction would pass them: the plug-ins' code is searched for it.
check-arm64: deps-platforms
	cmake -S . -B $(ARM64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-aarch64-linux-gnu.cmake $(PLATFORM_FLAGS)
	cmake --build $(ARM64_BUILD) -j$(JOBS)
	@fused=$$(aarch64-linux-gnu-objdump -d $(ARM64_BUILD)/mex/*.mex | grep -cE '\s(fmla|fmls|fmadd|fmsub|fnmadd|fnmsub)\s'); \
	 echo "ARM64 plug-ins: $$fused fused multiply-add instructions"; [ "$$fused" -eq 0 ]
	WAVETIDE_RUNNER="qemu-aarch64 -L /usr/aarch64-linux-gnu" tests/run_all.sh $(ARM64_BUILD) --cpp-only

# The C++ tests with the vector layer's intrinsics backend (the one
# Microsoft's compiler gets), built for AVX2 (see CMakeLists.txt) by GCC and
# again by Clang, so that the paths up to four lanes run that backend.
check-intrinsics: deps
	cmake -S . -B $(INTRINSICS_BUILD) -DWAVETIDE_SIMD_BACKEND=intrinsics $(PLATFORM_FLAGS)
	cmake --build $(INTRINSICS_BUILD) -j$(JOBS)
	tests/run_all.sh $(INTRINSICS_BUILD) --cpp-only
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(INTRINSICS_BUILD)-clang -DWAVETIDE_SIMD_BACKEND=intrinsics $(PLATFORM_FLAGS)
	cmake --build $(INTRINSICS_BUILD)-clang -j$(JOBS)
	tests/run_all.sh $(INTRINSICS_BUILD)-clang --cpp-only

# Every plug-in source and the C++ tests as Microsoft's compiler would see
# them (clang, _MSC_VER without __GNUC__): standard C++ on those paths, no
# GNU construct outside the vector layer's guarded backend.
check-msvc-syntax: deps-platforms
	tools/msvc-syntax/check.sh

# Windows x64: everything cross-built with MinGW-w64, every binary checked
# (imports, exports, aligned vector moves to its stack), the C++ tests run
# under Wine in a prefix inside the build folder.
check-windows: deps-platforms
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake $(PLATFORM_FLAGS)
	cmake --build $(WINDOWS_BUILD) -j$(JOBS)
	tools/check_windows_binaries.py --self-test
	tools/check_windows_binaries.py $(WINDOWS_BUILD)/mex/*.mexw64 $(WINDOWS_BUILD)/tests/*.dll $(WINDOWS_BUILD)/tests/*.exe
	WINEPREFIX=$(abspath $(WINDOWS_BUILD))/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d" \
	  WAVETIDE_RUNNER=$(WINE) tests/run_all.sh $(WINDOWS_BUILD) --cpp-only

# libFuzzer over every plug-in for FUZZ_SECONDS, in its own clang-14 build.
fuzz: deps
	tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The Octave tests of the plug-ins under valgrind memcheck.
memcheck: CMAKE_FLAGS = $(CHECK_FLAGS)
memcheck: build
	tests/memcheck/run.sh $(BUILD)

bench: build
	bench/run.sh $(BUILD)

# The Octave package $(BUILD)/wavetide-<version>.tar.gz, for pkg install,
# with the HTML reference in its doc/.
package: doc
	package/make_package.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(MATLAB_BUILD) $(ARM64_BUILD) $(WINDOWS_BUILD) $(INTRINSICS_BUILD) $(INTRINSICS_BUILD)-clang
