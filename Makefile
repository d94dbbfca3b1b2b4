# Zahlenlupe: the two everyday commands are `make run` and `make test`.
# BUILD names the build directory; the sanitizer and fuzzing builds sit beside it.
BUILD ?= build
ASAN_BUILD ?= $(BUILD)-asan
TSAN_BUILD ?= $(BUILD)-tsan
FUZZ_BUILD ?= $(BUILD)-fuzz
MUTANTS_BUILD ?= $(BUILD)-mutants
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
OFFSCREEN := QT_QPA_PLATFORM=offscreen
# deps PROFILE DIR: install the Debian packages PROFILE needs (see scripts/install-deps.sh).
deps = @bash scripts/install-deps.sh $(1) $(2)

# configure DIR, environment, cmake arguments: configures DIR when it is new, when it was
# configured without -Werror, or when install-deps.sh has just installed something (the configure
# step is where optional tools such as Xvfb are looked for).
define configure
	@if [ ! -f $(1)/build.ninja ] || [ -e $(1)/install-deps.changed ] || \
	    ! grep -qx 'ZAHLENLUPE_WERROR:BOOL=ON' $(1)/CMakeCache.txt; then \
	  echo "configuring $(1)"; \
	  $(2) cmake -S . -B $(1) -G Ninja -DZAHLENLUPE_WERROR=ON $(3) && rm -f $(1)/install-deps.changed; \
	fi
endef

# The targets share build directories and apt: one at a time.
.NOTPARALLEL:
.PHONY: all deps program build run test bench bench-exact test-asan test-tsan fuzz soak soak-x package lint install \
        uninstall clean format format-check mutants

all: build

deps:
	$(call deps,test,$(BUILD))

# The program alone, nothing of the tests or the benchmark.
program:
	$(call deps,run,$(BUILD))
	$(call configure,$(BUILD),,$(CMAKE_FLAGS))
	cmake --build $(BUILD) --target zahlenlupe

build:
	$(call deps,run,$(BUILD))
	$(call configure,$(BUILD),,$(CMAKE_FLAGS))
	cmake --build $(BUILD)

run: program
	./$(BUILD)/zahlenlupe

test:
	$(call deps,test,$(BUILD))
	$(call configure,$(BUILD),,$(CMAKE_FLAGS))
	cmake --build $(BUILD)
	cd $(BUILD) && $(OFFSCREEN) ctest --output-on-failure
	@grep -ho 'seed [0-9]*, [0-9]* events.*' $(BUILD)/Testing/Temporary/LastTest.log || true

bench: build
	$(OFFSCREEN) ./$(BUILD)/bench/zahlenlupe_bench
	$(OFFSCREEN) ./$(BUILD)/bench/zahlenlupe_bench_map
	./$(BUILD)/bench/zahlenlupe_bench_exact

# The exact search on one thread and on every core (ZAHLENLUPE_BENCH_BILLION=1 adds legs to 10⁹).
bench-exact:
	$(call deps,run,$(BUILD))
	$(call configure,$(BUILD),,$(CMAKE_FLAGS))
	cmake --build $(BUILD) --target zahlenlupe_bench_exact
	./$(BUILD)/bench/zahlenlupe_bench_exact

# The whole suite built with clang, AddressSanitizer and UndefinedBehaviorSanitizer, stopping at
# the first report.
test-asan:
	$(call deps,asan,$(ASAN_BUILD))
	$(call configure,$(ASAN_BUILD),CC=clang CXX=clang++,-DCMAKE_BUILD_TYPE=Debug -DZAHLENLUPE_SANITIZE=ON)
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && $(OFFSCREEN) ZAHLENLUPE_EVENTS=$${ZAHLENLUPE_EVENTS:-2000} \
	    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    ctest --output-on-failure
	@grep -ho 'seed [0-9]*, [0-9]* events.*' $(ASAN_BUILD)/Testing/Temporary/LastTest.log || true

# The tests that run threads of their own (the parallel exact search, the map's search and its
# film, the sweep of deviations), built with clang and ThreadSanitizer, stopping at the first
# report.
test-tsan:
	$(call deps,tsan,$(TSAN_BUILD))
	$(call configure,$(TSAN_BUILD),CC=clang CXX=clang++,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAHLENLUPE_TSAN=ON)
	cmake --build $(TSAN_BUILD) --target tst_exactsearch tst_map tst_explorer
	cd $(TSAN_BUILD) && \
	    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan.supp \
	    ctest --output-on-failure -R '^(tst_exactsearch|tst_map|tst_explorer)$$'

# The conversions under libFuzzer for FUZZ_SECONDS seconds, starting from the seed corpus.
fuzz:
	$(call deps,fuzz,$(FUZZ_BUILD))
	$(call configure,$(FUZZ_BUILD),CC=clang CXX=clang++,-DZAHLENLUPE_FUZZ=ON)
	cmake --build $(FUZZ_BUILD) --target fuzz_conversions
	rm -rf $(FUZZ_BUILD)/corpus && mkdir -p $(FUZZ_BUILD)/corpus
	./$(FUZZ_BUILD)/fuzz_conversions -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    $(FUZZ_BUILD)/corpus fuzz/corpus

# ZAHLENLUPE_EVENTS random user events (200,000 unless set) against the real window. The test
# draws a fresh seed and prints it, unless ZAHLENLUPE_SEED gives one.
soak: build
	cd $(BUILD) && $(OFFSCREEN) ZAHLENLUPE_EVENTS=$${ZAHLENLUPE_EVENTS:-200000} ./tests/tst_random

# Random pointer and key events through xdotool against the sanitizer build in a virtual X server,
# the plot checked against the solutions every 250 events, the end by the "X" button
# (ZAHLENLUPE_EVENTS, default 20,000; ZAHLENLUPE_SEED repeats a run).
soak-x:
	$(call deps,soakx,$(ASAN_BUILD))
	$(call configure,$(ASAN_BUILD),CC=clang CXX=clang++,-DCMAKE_BUILD_TYPE=Debug -DZAHLENLUPE_SANITIZE=ON)
	cmake --build $(ASAN_BUILD) --target zahlenlupe xwdmarks
	ZAHLENLUPE_EVENTS=$${ZAHLENLUPE_EVENTS:-20000} \
	    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    bash tests/soakx.sh $(ASAN_BUILD)/zahlenlupe $(ASAN_BUILD)/tests/xwdmarks

# The Debian package, from the program and the files installed beside it.
package:
	$(call deps,package,$(BUILD))
	$(call configure,$(BUILD),,$(CMAKE_FLAGS))
	cmake --build $(BUILD) --target zahlenlupe zahlenlupe_data
	rm -f $(BUILD)/zahlenlupe_*.deb
	cd $(BUILD) && cpack -G DEB

# The package's contents (program, desktop entry, metainfo, icons, manual page), then the
# package, the AppStream metainfo and the desktop entry checked by Debian's and freedesktop.org's
# validators; any error or warning fails.
lint: package
	$(call deps,lint,$(BUILD))
	bash packaging/checkpackage.sh $(BUILD)/zahlenlupe_*.deb
	lintian --fail-on error,warning --display-info $(BUILD)/zahlenlupe_*.deb
	appstreamcli validate --no-net $(BUILD)/packaging/de.zahlenlupe.Zahlenlupe.metainfo.xml
	@out=$$(desktop-file-validate packaging/de.zahlenlupe.Zahlenlupe.desktop 2>&1); \
	  echo "desktop-file-validate: $${out:-no remarks}"; [ -z "$$out" ]

install:
	$(call deps,run,$(BUILD))
	$(call configure,$(BUILD),,$(CMAKE_FLAGS))
	cmake --build $(BUILD) --target zahlenlupe zahlenlupe_data
	cmake --install $(BUILD) --prefix $(PREFIX)

# Removes what make install put in place, as listed in the build's install manifest.
uninstall:
	bash packaging/uninstall.sh $(BUILD)/install_manifest.txt

format:
	$(call deps,format,$(BUILD))
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Applies each one-line fault of tests/mutants.txt to a scratch copy in $(MUTANTS_BUILD), runs the
# fast tests against it and names the faults that no test notices. Not part of CI: it rebuilds
# once per fault.
mutants:
	$(call deps,test,$(BUILD))
	ZAHLENLUPE_MUTANTS_DIR=$(MUTANTS_BUILD) bash scripts/mutants.sh

# Fails where a source differs from what make format would make of it.
format-check:
	$(call deps,format,$(BUILD))
	clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(MUTANTS_BUILD)
