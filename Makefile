# make            build build/frame2bmp (optimised)
# make run        convert the sample test card, or FRAME=path
# make windows    cross-compile build-windows/frame2bmp.exe
# make bench      build and run the benchmarks; prints figures (PAIRS=300)
# make install    install the programs, the man page and the desktop entry
#                 (PREFIX=/usr/local, DESTDIR honoured)
# make test       install what the tests need, build, run every test: the
#                 suite, the suite again under ASan and UBSan, and the fuzzers
# WERROR=1        treat compiler warnings as errors

BUILD_DIR := build
SANITIZE_DIR := build-sanitize
FUZZ_DIR := build-fuzz
WINDOWS_DIR := build-windows
BENCH_DIR := build-bench
PAIRS ?= 300
FUZZ_SECONDS ?= 60

PREFIX ?= /usr/local

BUILD_PACKAGES := cmake make g++ libsdl2-dev
BENCH_PACKAGES := $(BUILD_PACKAGES) libbenchmark-dev libyuv-dev
WINDOWS_PACKAGES := cmake make g++-mingw-w64-x86-64
TEST_PACKAGES := $(BUILD_PACKAGES) $(WINDOWS_PACKAGES) libgtest-dev netpbm strace locales \
                 util-linux clang libclang-rt-14-dev wine64 xvfb xdotool xfonts-base \
                 x11-utils imagemagick tesseract-ocr tesseract-ocr-eng man-db desktop-file-utils

# The program alone needs only a compiler; the tests need GoogleTest.
TESTS ?= OFF
CMAKE_OPTIONS := -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$(TESTS)
ifeq ($(WERROR),1)
CMAKE_OPTIONS += -DFRAME2BMP_WERROR=ON
else
CMAKE_OPTIONS += -DFRAME2BMP_WERROR=OFF
endif

.PHONY: all build run bench install install-files windows windows-build test test-suite test-sanitize test-fuzz clean

all: build

build:
	cmake -S . -B $(BUILD_DIR) $(CMAKE_OPTIONS) >/dev/null
	cmake --build $(BUILD_DIR) --parallel

run:
	@scripts/install-deps $(BUILD_PACKAGES)
	@$(MAKE) --no-print-directory build
ifeq ($(FRAME),)
	@cp samples/testcard.dat $(BUILD_DIR)/testcard.dat
	@rm -f $(BUILD_DIR)/testcard.BMP
	$(BUILD_DIR)/frame2bmp $(BUILD_DIR)/testcard.dat
	@echo "wrote $(BUILD_DIR)/testcard.BMP"
else
	$(BUILD_DIR)/frame2bmp "$(FRAME)"
endif

# Figures only: the kernel against libyuv and memcpy, then whole runs
# against the I/O floor (and ffmpeg and ImageMagick where installed).
bench:
	@scripts/install-deps $(BENCH_PACKAGES)
	cmake -S . -B $(BENCH_DIR) $(CMAKE_OPTIONS) -DFRAME2BMP_BENCH=ON >/dev/null
	cmake --build $(BENCH_DIR) --parallel
	$(BENCH_DIR)/bench/kernel_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
	$(BENCH_DIR)/bench/whole_run $(BENCH_DIR)/frame2bmp $(BENCH_DIR)/bench/io_floor \
	    $(BENCH_DIR)/bench/peak_rss samples/testcard.dat $(PAIRS)

install: build install-files

install-files:
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# Statically linked, GUI subsystem; the Wine tests' helpers are built beside it.
windows:
	@scripts/install-deps $(WINDOWS_PACKAGES)
	@$(MAKE) --no-print-directory windows-build

windows-build:
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	      $(filter-out -DBUILD_TESTING=%,$(CMAKE_OPTIONS)) >/dev/null
	cmake --build $(WINDOWS_DIR) --parallel

test:
	@scripts/install-deps $(TEST_PACKAGES)
	@$(MAKE) --no-print-directory windows-build test-suite test-sanitize test-fuzz

# Includes the Windows program under Wine when build-windows holds it.
test-suite:
	cmake -S . -B $(BUILD_DIR) $(CMAKE_OPTIONS) -DBUILD_TESTING=ON \
	      -DFRAME2BMP_WINDOWS_DIR=$(if $(wildcard $(WINDOWS_DIR)/frame2bmp.exe),$(abspath $(WINDOWS_DIR))) >/dev/null
	cmake --build $(BUILD_DIR) --parallel
	ctest --test-dir $(BUILD_DIR) --output-on-failure --no-tests=error --parallel 2

# The same tests, on a build with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	cmake -S . -B $(SANITIZE_DIR) $(CMAKE_OPTIONS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DBUILD_TESTING=ON -DFRAME2BMP_SANITIZE=ON >/dev/null
	cmake --build $(SANITIZE_DIR) --parallel
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure --no-tests=error --parallel 2

# libFuzzer needs clang; each target runs FUZZ_SECONDS after replaying its corpus.
test-fuzz:
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_OPTIONS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DBUILD_TESTING=ON -DFRAME2BMP_FUZZ=ON -DFRAME2BMP_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	cmake --build $(FUZZ_DIR) --parallel
	ctest --test-dir $(FUZZ_DIR) --output-on-failure --no-tests=error --parallel 2

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(WINDOWS_DIR) $(BENCH_DIR)
