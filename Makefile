# The two set-up commands: `make run` and `make test` (see README.md).
PRESET ?= default
BUILD  := build/$(PRESET)
JOBS   ?= $(shell nproc)

.PHONY: run test build package deps test-deps bench bench-windows format clean windows

run: deps build
	scripts/run.sh $(BUILD)/pathtally

test: test-deps build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) --timeout 600

deps:
	scripts/deps.sh

test-deps:
	scripts/deps.sh --test

# Warnings are errors here and in CI; a plain `cmake` build (a packager's) only warns.
build:
	cmake --preset $(PRESET) -DPATHTALLY_WERROR=ON >/dev/null
	cmake --build $(BUILD) -j$(JOBS)

# pathtally.exe, cross-built with mingw-w64 (static runtime), and its installer
# pathtally-setup-<version>.exe (NSIS) in build/windows.
windows:
	scripts/deps.sh --windows
	cmake --preset windows >/dev/null
	cmake --build build/windows -j$(JOBS)
	cmake --build build/windows --target installer

# A Debian package of the program (build/<preset>/pathtally_<version>_<arch>.deb).
package: deps build
	cd $(BUILD) && cpack -G DEB

bench: test-deps build
	bench/run_all.sh $(BUILD)

# The Windows program's reads a second, CPU and memory under Wine, beside Wine's Notepad.
bench-windows: test-deps build windows
	bench/wine_program.sh $(BUILD) build/windows

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
