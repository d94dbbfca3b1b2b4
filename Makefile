# Zahlenlupe: the two everyday commands are `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60
DEPS := scripts/install-deps.sh
OFFSCREEN := QT_QPA_PLATFORM=offscreen

.PHONY: all deps build run test bench test-asan fuzz soak package install clean format

all: build

deps:
	@bash $(DEPS)

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: build
	./$(BUILD)/zahlenlupe

test: build
	cd $(BUILD) && $(OFFSCREEN) ctest --output-on-failure

bench: build
	$(OFFSCREEN) ./$(BUILD)/bench/zahlenlupe_bench

# The whole suite built with clang, AddressSanitizer and UndefinedBehaviorSanitizer, stopping at
# the first report.
build-asan/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DZAHLENLUPE_SANITIZE=ON

test-asan: deps build-asan/build.ninja
	cmake --build build-asan
	cd build-asan && $(OFFSCREEN) ZAHLENLUPE_EVENTS=$${ZAHLENLUPE_EVENTS:-2000} \
	    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    ctest --output-on-failure

# The conversions under libFuzzer for FUZZ_SECONDS seconds, starting from the seed corpus.
build-fuzz/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZAHLENLUPE_FUZZ=ON

fuzz: deps build-fuzz/build.ninja
	cmake --build build-fuzz --target fuzz_conversions
	rm -rf build-fuzz/corpus && mkdir -p build-fuzz/corpus
	./build-fuzz/fuzz_conversions -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    build-fuzz/corpus fuzz/corpus

# 200,000 random user events against the real window, with a seed from the clock.
soak: build
	cmake --build $(BUILD) --target tst_random
	@seed=$${ZAHLENLUPE_SEED:-$$(date +%s)}; echo "soak seed $$seed"; \
	cd $(BUILD) && $(OFFSCREEN) ZAHLENLUPE_EVENTS=200000 ZAHLENLUPE_SEED=$$seed ./tests/tst_random

package: build
	cd $(BUILD) && cpack -G DEB

install: build
	cmake --install $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-asan build-fuzz
