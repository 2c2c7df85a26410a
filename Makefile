# The two set-up commands of a fresh Debian 12 machine:
#   make run    installs what is missing, builds, and shows this machine
#   make test   installs what is missing, builds with the sanitizers, runs every test
# Everything else is plain CMake with the presets in CMakePresets.json.

PACKAGES := cmake ninja-build g++ clang pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
            libinih-dev nlohmann-json3-dev \
            qt6-base-dev qt6-base-dev-tools libqt6svg6 libgl-dev xvfb xauth breeze-icon-theme \
            fonts-dejavu-core libxml2-dev libxslt1-dev tidy chromium
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= $(shell nproc)

.PHONY: run test deps build-release build-asan bench format clean

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build-release: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

build-asan: deps
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
	ctest --preset asan -j $(JOBS)

bench: build-release
	./build/release/bin/tavrin-bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
