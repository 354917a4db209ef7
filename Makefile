# The two commands a new user needs:  make run   and   make test
# Both install missing Debian packages first (apt-get), then build.

BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=
# A compiler cache where one is installed (several build trees of one checkout share it).
ifneq ($(shell command -v ccache 2>/dev/null),)
CMAKE_FLAGS += -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache
endif
ifeq ($(CI),true)
CMAKE_FLAGS += -DSTAVO_WERROR=ON
endif

.PHONY: all deps configure build run test unit-test fuzz-smoke package-test deb screenshots asan bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Starts the simulated receiver and the program; without a display it renders
# the live screen to PNG files instead (see scripts/run.sh).
run: build
	@scripts/run.sh $(BUILD)

unit-test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

fuzz-smoke: deps
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DSTAVO_FUZZ=ON -DSTAVO_TESTS=OFF -DSTAVO_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	@cd $(FUZZ_BUILD) && ctest --output-on-failure -R '^smoke_' -j $(JOBS)

# Builds the Debian package from the tested build, checks its contents and lintian's verdict and,
# as root, installs it, runs the installed programs and removes it again (scripts/package-test.sh).
package-test: build
	@scripts/package-test.sh $(BUILD)

test: unit-test fuzz-smoke package-test

# The Debian package of the build: $(BUILD)/stavo_<version>_<arch>.deb
deb: build
	@cd $(BUILD) && cpack -G DEB

screenshots: build
	@QT_QPA_PLATFORM=offscreen scripts/screenshots.sh $(BUILD) docs/screenshots

asan: deps
	@cmake --preset asan >/dev/null && cmake --build build-asan -j $(JOBS)
	@cd build-asan && ctest --output-on-failure -j $(JOBS)

bench: build
	@scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) build-asan
