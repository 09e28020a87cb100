# Thin wrapper around CMake. `make run` and `make test` install what is missing,
# configure into build/ and build first.

BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_ARGS ?=
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench fuzz fuzz-long sanitize data format clean deb

all: build

deps:
	@bash scripts/install-deps.sh

# Configuring again each time is cheap and picks up folders that appeared since.
configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS) >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

bench: build
	@bash scripts/bench.sh $(BUILD)

# The whole suite with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	$(MAKE) test BUILD=build-sanitize CMAKE_ARGS="-DCHRONVALE_SANITIZE=ON -DCHRONVALE_BENCH=OFF"

fuzz: deps
	@bash scripts/fuzz.sh

# Every harness for 10 minutes.
fuzz-long: deps
	@bash scripts/fuzz.sh 600

data:
	@bash tools/data/generate.sh

# The Debian package, built in build-deb/ for /usr and checked with lintian.
deb: deps
	@bash scripts/make-deb.sh build-deb

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz build-fuzz-qt build-deb
