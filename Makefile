# make            build build/frame2bmp (optimised)
# make run        convert the sample test card, or FRAME=path
# make test       install what the tests need, build, run every test
# WERROR=1        treat compiler warnings as errors

BUILD_DIR := build
BUILD_PACKAGES := cmake make g++
TEST_PACKAGES := $(BUILD_PACKAGES) libgtest-dev netpbm

# The program alone needs only a compiler; the tests need GoogleTest.
TESTS ?= OFF
CMAKE_OPTIONS := -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$(TESTS)
ifeq ($(WERROR),1)
CMAKE_OPTIONS += -DFRAME2BMP_WERROR=ON
else
CMAKE_OPTIONS += -DFRAME2BMP_WERROR=OFF
endif

.PHONY: all build run test clean

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

test:
	@scripts/install-deps $(TEST_PACKAGES)
	@$(MAKE) --no-print-directory build TESTS=ON
	ctest --test-dir $(BUILD_DIR) --output-on-failure --parallel 2

clean:
	rm -rf $(BUILD_DIR)
