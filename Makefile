# The two set-up commands of a fresh Debian 12 machine:
#   make run    installs what is missing, builds, and shows this machine
#   make test   installs what is missing, builds with the sanitizers, runs every test
# Everything else is plain CMake with the presets in CMakePresets.json.

# What building and running needs; the tests need more (sanitizer runtime of clang for the
# fuzzer, a virtual display, and tidy and chromium to check the HTML report).
PACKAGES := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
            libinih-dev nlohmann-json3-dev libxml2-dev libxslt1-dev \
            qt6-base-dev qt6-base-dev-tools libqt6svg6 libgl-dev breeze-icon-theme fonts-dejavu-core
TEST_PACKAGES := $(PACKAGES) clang libclang-rt-14-dev xvfb xauth tidy chromium pciutils usbutils
# What "make package" and "make check-package" need on top of building: the Debian tools and
# the validators of the files the packages carry.
PACKAGE_PACKAGES := $(PACKAGES) build-essential debhelper dpkg-dev fakeroot lintian \
            desktop-file-utils appstream man-db
PACKAGE_DIR := build/package
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= $(shell nproc)
# Seconds each fuzz target runs in "make fuzz": ten minutes, unless FUZZ_SECONDS is given.
FUZZ_LONG_SECONDS := $(if $(filter undefined,$(origin FUZZ_SECONDS)),600,$(FUZZ_SECONDS))
# Seconds each fuzz target runs in "make test".
FUZZ_SECONDS ?= 5

.PHONY: run test deps test-deps build-release build-asan bench format clean
.PHONY: fuzz
.PHONY: package package-deps check-package

deps: PKGS = $(PACKAGES)
test-deps: PKGS = $(TEST_PACKAGES)
package-deps: PKGS = $(PACKAGE_PACKAGES)
deps test-deps package-deps:
	@missing=""; for p in $(PKGS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build-release: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

build-asan: test-deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

run: build-release
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  ./build/release/bin/tavrin $(ARGS); \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): showing the pages as text."; \
	  ./build/release/bin/tavrin-cli --advanced $(ARGS); \
	fi

test: build-asan
	@echo "Fuzzing every decoder and loader briefly (logs: build/fuzz/*.log)"
	@fuzz/run_fuzz.sh $(FUZZ_SECONDS)
	ctest --preset asan -j $(JOBS)

# Every fuzz target for FUZZ_LONG_SECONDS each, one after another; the corpora in build/fuzz
# grow from run to run (docs/fuzzing.md).
fuzz: test-deps
	@fuzz/run_fuzz.sh $(FUZZ_LONG_SECONDS)

bench: build-release
	./build/release/bin/tavrin-bench

# The Debian packages tavrin-cli (no Qt) and tavrin (the window) from the working tree, built in
# a copy under build/package/ with dpkg-buildpackage; lintian must report no errors.
package: package-deps
	rm -rf $(PACKAGE_DIR) && mkdir -p $(PACKAGE_DIR)/tavrin
	git ls-files -co --exclude-standard | while IFS= read -r f; do [ -e "$$f" ] && printf '%s\n' "$$f"; done | \
	  tar -cf - --verbatim-files-from -T - | tar -xf - -C $(PACKAGE_DIR)/tavrin
	cd $(PACKAGE_DIR)/tavrin && \
	  DEB_BUILD_OPTIONS="nocheck parallel=$(JOBS)" \
	  $(if $(shell command -v ccache),CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache) \
	  dpkg-buildpackage -b -us -uc
	lintian --fail-on error $(PACKAGE_DIR)/*.changes
	@ls -1 $(PACKAGE_DIR)/*.deb

# The packages checked in a scratch root: validators, install, run, remove (no change to this
# machine's packages).
check-package: package
	tests/install/check_package.sh $(PACKAGE_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
