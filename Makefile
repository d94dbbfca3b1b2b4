# Zahlenlupe: the two everyday commands are `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?=
DEPS := scripts/install-deps.sh

.PHONY: all deps configure build run test bench clean format

all: build

deps:
	@bash $(DEPS)

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

run: build
	./$(BUILD)/zahlenlupe

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/zahlenlupe_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
