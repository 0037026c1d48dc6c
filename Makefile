# Two everyday commands: `make run` and `make test`. See README.md.
JOBS ?= $(shell nproc)
BUILD ?= build
RELEASE ?= build-release
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: all bootstrap configure build test run package bench fuzz format clean

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/build.ninja: | bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORV_SANITIZE=ON -DCORV_WERROR=ON

configure: bootstrap $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

$(RELEASE)/build.ninja: | bootstrap
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release

run: bootstrap $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS) --target corvella
	scripts/run-tutor $(RELEASE)

package: bootstrap $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS) --target corv_install_parts
	cd $(RELEASE) && cpack -G DEB
	@ls $(RELEASE)/package/*.deb

bench: bootstrap $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS) --target benchmarks save_soak_tests
	scripts/run-benchmarks $(RELEASE)
	cd $(RELEASE) && CORV_SOAK_ROUNDS=200 data/save_soak_tests

fuzz: bootstrap
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORV_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(RELEASE) $(FUZZ_BUILD)
