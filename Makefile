SHELL := /bin/bash
# Set-up, build and test in one place: every target installs what is missing
# first, so a fresh Debian machine needs nothing but `make run` or `make test`.

BUILD    ?= build
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
TEST_ENV := LC_ALL=C.UTF-8 TZ=Europe/Moscow QT_QPA_PLATFORM=offscreen

PACKAGES := cmake make g++ pkg-config \
            qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev fonts-dejavu-core \
            qt6-l10n-tools qt6-tools-dev \
            libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev libcctz-dev tzdata zlib1g-dev libyajl-dev libzip-dev \
            libimage-exiftool-perl imagemagick locales \
            librsvg2-bin desktop-file-utils appstream shared-mime-info qt6-translations-l10n
# Programs the benchmarks measure against, installed by `make bench` only.
BENCH_PACKAGES := gpsbabel time
# What builds and checks the Debian package, installed by `make package` only.
PACKAGE_PACKAGES := dpkg-dev file lintian
# What retakes the README's screenshots, installed by `make screenshots` only.
SCREENSHOT_PACKAGES := xvfb xauth xdotool

.PHONY: all deps bench-deps configure build run test test-sanitize bench fuzz clean examples package translations places-data screenshots

all: build

deps:
	@$(MAKE) --no-print-directory install-missing WANTED="$(PACKAGES)"
	@# A comma-decimal locale, so tests can prove that numbers ignore the system locale.
	@locale -a 2>/dev/null | grep -qi '^ru_RU.utf8$$' || $(SUDO) localedef -i ru_RU -f UTF-8 ru_RU.UTF-8

bench-deps:
	@$(MAKE) --no-print-directory install-missing WANTED="$(BENCH_PACKAGES)"

.PHONY: install-missing
install-missing:
	@missing=""; \
	for p in $(WANTED); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

# Line tables only (-g1): stack traces keep their files and lines, and the
# build takes a fifth less time; configure build/ yourself for full -g.
configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The program opens on copies of the example walk, so that writing tags
# leaves examples/ untouched; each run starts from fresh copies.
run: build
	rm -rf $(BUILD)/examples && cp -R examples $(BUILD)/examples
	$(BUILD)/bin/geovanta $(BUILD)/examples/walk.plt $(BUILD)/examples/walk.wpt $(BUILD)/examples/photos

test: build
	cd $(BUILD) && $(TEST_ENV) ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-sanitize

# The core and its tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and the window closed in the middle of a write; any report stops the run with
# a failure. The core tests run in two halves side by side, as ctest runs them.
SAN_BUILD ?= build-asan
SAN_ENV   := ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0 \
             LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
             UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEOVANTA_SANITIZE=ON -DGEOVANTA_BENCH=OFF
	cmake --build $(SAN_BUILD) -j $(JOBS) --target geovanta_core_tests closingwrite_test
	cd $(SAN_BUILD) && export $(TEST_ENV) $(SAN_ENV) GTEST_TOTAL_SHARDS=2 && \
	  { GTEST_SHARD_INDEX=0 ./bin/geovanta_core_tests --gtest_brief=1 > core-tests-0.log 2>&1 & first=$$!; \
	    GTEST_SHARD_INDEX=1 ./bin/geovanta_core_tests --gtest_brief=1 > core-tests-1.log 2>&1; second=$$?; \
	    wait $$first; first=$$?; cat core-tests-0.log core-tests-1.log; \
	    test $$first -eq 0 && test $$second -eq 0; }
	cd $(SAN_BUILD) && $(TEST_ENV) $(SAN_ENV) ./bin/closingwrite_test

bench: build bench-deps
	cmake --build $(BUILD) -j $(JOBS) --target geovanta_bench
	$(TEST_ENV) $(BUILD)/bin/geovanta_bench --benchmark_counters_tabular=true

# A Debian package of the build, $(BUILD)/geovanta_<version>_<arch>.deb, that
# lintian and tests/install/package_check.sh have accepted.
package: build
	@$(MAKE) --no-print-directory install-missing WANTED="$(PACKAGE_PACKAGES)"
	rm -f $(BUILD)/geovanta_*.deb
	cd $(BUILD) && cpack -G DEB
	tests/install/package_check.sh $(BUILD)/geovanta_*.deb

clean:
	rm -rf $(BUILD)

# Retakes docs/*.png from the example walk under Xvfb (docs/screenshots.sh).
screenshots: build
	@$(MAKE) --no-print-directory install-missing WANTED="$(SCREENSHOT_PACKAGES)"
	docs/screenshots.sh

# Brings src/ui/translations/*.ts up to date with the windows' texts; new
# texts come in unfinished, for a translator (or Qt Linguist) to fill in.
translations: configure
	cmake --build $(BUILD) --target update_translations

# Regenerates examples/ from the points written in its script. GPSBabel is
# needed for this alone, so it is not among the packages above.
examples: deps
	@dpkg-query -W -f='$${Status}' gpsbabel 2>/dev/null | grep -q "install ok installed" || { \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends gpsbabel; }
	examples/make-examples.sh

# Remakes the place names' data sets in data/places/ from the packages they
# come from (data/places/README.md); neither the build nor the program needs them.
PLACES_PACKAGES := python3 npm libgeonames0 libgeonames-common iso-codes locales
places-data: deps
	@$(MAKE) --no-print-directory install-missing WANTED="$(PLACES_PACKAGES)"
	data/places/make-towns.py
	data/places/make-borders.py

# Coverage-guided fuzzing of the readers (clang's libFuzzer). Each target runs
# FUZZ_SECONDS seconds from the seeds in tests/data/fuzz/<target>/; new inputs
# that reach new code are kept in build-fuzz/corpus/<target>/.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@command -v clang++ >/dev/null || { $(SUDO) apt-get install -y -q clang libclang-rt-dev; }
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEOVANTA_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@set -e; for exe in $(FUZZ_BUILD)/bin/*_fuzz; do \
	  name=$$(basename $$exe); \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  seeds=tests/data/fuzz/$$name; [ -d $$seeds ] || seeds=; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  $$exe -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
	        -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus/$$name $$seeds 2>&1 | \
	        grep -E '(^stat::|DONE|^==[0-9]+==|SUMMARY|ERROR)' ; \
	  test $${PIPESTATUS[0]} -eq 0; \
	done
