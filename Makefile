# Three commands do everything: `make demo`, `make test` and `make package`.
# Each installs what is missing first (scripts/setup.sh), then drives CMake
# through its presets.

JOBS ?= 2
FUZZ_SECONDS ?= 60
FRAMES ?= 1000000

.PHONY: demo test package bench setup build format clean fuzz monkey

# SCENARIO=path plays that script instead of the day in the city (BUILD=1080
# for the other game build).
demo: setup
	@SCENARIO="$(SCENARIO)" BUILD="$(BUILD)" scripts/demo.sh

test: setup
	@JOBS=$(JOBS) scripts/test.sh

# corvalen-<version>.zip, the release a player unpacks into the game's folder.
package: setup
	@JOBS=$(JOBS) scripts/package.sh

# The benchmark suite (-O2, in-process) for each world, then the real DLL
# under Wine with and without the plug-in; results in build/bench/.
bench: setup
	@JOBS=$(JOBS) scripts/bench.sh

setup:
	@scripts/setup.sh

# Runs every fuzz target for FUZZ_SECONDS seconds and merges what it finds
# into fuzz/corpus/ (needs clang, which make test does not).
fuzz:
	@scripts/setup.sh --fuzz
	@FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) scripts/fuzz.sh

# Plays the plug-in at random for FRAMES frames (SEED=n repeats a run,
# JOURNAL=n prints the last n actions before the first finding) and prints
# the run's figures; it fails on any finding.
monkey: setup
	cmake --preset linux >/dev/null && cmake --build --preset linux -j $(JOBS) --target monkey
	build/linux/monkey/monkey --frames $(FRAMES) $(if $(SEED),--seed $(SEED)) \
	    $(if $(JOURNAL),--journal $(JOURNAL))

build: setup
	cmake --preset linux && cmake --build --preset linux -j $(JOBS)
	cmake --preset windows && cmake --build --preset windows -j $(JOBS)

format:
	find host core transit autoservice garage parking realestate hostsim pictures tools bench tests fuzz monkey \
	    \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 | xargs -0 -r clang-format -i

clean:
	rm -rf build corvalen-*.zip
