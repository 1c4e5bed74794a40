# Two build trees: native (portable code, unit tests, the packager) and
# win32 (the setup program and everything that runs under Wine).
B ?= build
DIST ?= $(CURDIR)/dist
JOBS ?= $(shell nproc)
CTEST_JOBS ?= 3

NATIVE := $(B)/native
ASAN := $(B)/asan
WIN32 := $(B)/win32

.PHONY: all bootstrap build native asan win32 test test-native test-asan test-win32 demo screenshots clean

all: build

bootstrap:
	@bash scripts/bootstrap

$(NATIVE)/CMakeCache.txt:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release -DMW_DIST=$(DIST) >/dev/null

$(ASAN)/CMakeCache.txt:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DMW_SANITIZE=ON -DMW_DIST=$(ASAN)/dist \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null

$(WIN32)/CMakeCache.txt:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DMW_DIST=$(DIST) >/dev/null

native: bootstrap $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

asan: bootstrap $(ASAN)/CMakeCache.txt
	cmake --build $(ASAN) -j $(JOBS)

win32: bootstrap $(WIN32)/CMakeCache.txt native
	cmake --build $(WIN32) -j $(JOBS)

build: native win32

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-asan: asan
	cd $(ASAN) && ctest --output-on-failure -j $(JOBS) -E '^bench'

test-win32: win32
	cd $(WIN32) && MW_DIST=$(DIST) ctest --output-on-failure -j $(CTEST_JOBS)

test: build asan
	@bash scripts/run-tests "$(NATIVE)" "$(ASAN)" "$(WIN32)" "$(DIST)" "$(CTEST_JOBS)"

demo: build
	@bash scripts/demo "$(DIST)"

screenshots: build
	@bash scripts/screenshots "$(DIST)"

clean:
	rm -rf $(B) $(DIST) out
