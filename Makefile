# The two commands of README.md. Both install what they need (scripts/setup),
# build, and run.
BUILD ?= build
ASAN_BUILD ?= build-asan
RELEASE_BUILD ?= build-release
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

.PHONY: all setup build build-asan build-release test test-asan install demo clean oxt

all: build

setup:
	./scripts/setup

# The two test builds keep line tables only (-g1): the sanitizers' reports and a
# debugger's backtraces name the file and line, and compiling takes a third less
# time than with full debugging information (docs/performance.md, "The test run").
# With CALC_TEST=ON (the default) the test build also builds the Calc extension
# and runs its comparison test (calc/tests/calc_compare.py) when LibreOffice's SDK
# is installed (scripts/setup installs it; about 50 s, beside the other tests);
# CALC_TEST=OFF leaves both out.
# Both also compile the tests and the command's sources in batches
# (-DORMELIN_UNITY_BUILD=ON, CMake's unity build): 130 to 150 s less CPU a build
# (docs/performance.md); the Release build below compiles every file on its own.
TEST_DEBUG_INFO ?= -g1
CALC_TEST ?= ON

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORMELIN_WERROR=ON \
	    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 $(TEST_DEBUG_INFO) -DNDEBUG" -DORMELIN_CALC_TEST=$(CALC_TEST) \
	    -DORMELIN_UNITY_BUILD=ON
	cmake --build $(BUILD) -j $(JOBS)

build-asan: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DORMELIN_SANITIZE=ON -DORMELIN_BENCH=OFF -DORMELIN_WERROR=ON \
	    "-DCMAKE_CXX_FLAGS_DEBUG=$(TEST_DEBUG_INFO)" -DORMELIN_UNITY_BUILD=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The build users and packagers make: Release, warnings not errors. `make test`
# checks that the library and the command build this way (the tests themselves run
# in the two builds above).
build-release: setup
	cmake -S . -B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release -DORMELIN_BENCH=OFF
	cmake --build $(RELEASE_BUILD) -j $(JOBS) --target ormelin_cli

# Every test, once in the optimised build (with the Calc comparison) and once under
# AddressSanitizer and UBSan; the Release build must build too.
test: build build-asan build-release
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)
	@if [ -x scripts/fuzz-smoke ]; then ./scripts/fuzz-smoke; fi

# The LibreOffice Calc extension, build/ormelin.oxt (needs libreoffice-dev; scripts/setup installs it).
oxt: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORMELIN_WERROR=ON -DORMELIN_CALC=ON
	cmake --build $(BUILD) -j $(JOBS) --target ormelin_oxt

# Writes the sample workbook and a PDF of every formed document (our own renderer) into out/
demo: build
	$(BUILD)/ormelin demo out
	@echo "demo: the workbook is out/ormelin-demo.xlsx; the printed documents are the PDF files in out/"

# Installs the command, its manual page, the headers and the library with its
# package configuration under PREFIX, and the Calc extension as share/ormelin/ormelin.oxt.
install: build
	if grep -q "ORMELIN_CALC:BOOL=ON" $(BUILD)/CMakeCache.txt; then cmake --build $(BUILD) -j $(JOBS) --target ormelin_oxt; fi
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD) out
