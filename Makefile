# Tarnavel: a thin front door over the CMake presets.
#   make run    install what is missing, build, start Tarnavel under Wine
#   make test   install what is missing, build, run every test. The Wine tests run on a
#               1280x1024 desktop at 96 DPI unless asked otherwise, for example
#               make test TEST_DESKTOP=1024x768 TEST_DPI=144 (either alone too); a plain
#               make test goes back to 1280x1024 at 96 DPI
#   make dist   the release of the commit: exes for x86-64 and i686, the zip, BUILDINFO
#               and SHA256SUMS; built again from a clone elsewhere to check that both
#               builds give the same bytes, then the release test of the zip in dist/
#   make imports  rewrite the reviewed lists of the functions the release exes import
#   make bench  time a rebuild of the list against the least work it needs
#   make soak   one minute of random commands under fast auto refresh
.PHONY: all deps build run test dist imports bench soak clean

all: build

deps:
	@scripts/deps.sh

build: deps
	@echo "==> building tarnavel.exe"
	@cmake --preset mingw64 >/dev/null
	@cmake --build --preset mingw64 -j2

run: build
	@scripts/run.sh

# Set only on make's command line; empty, the scripts take 1280x1024 and 96. The
# environment's values are ignored, so that a plain make test is always the default.
TEST_DESKTOP =
TEST_DPI =

test: deps
	@TARNAVEL_DESKTOP='$(TEST_DESKTOP)' TARNAVEL_DPI='$(TEST_DPI)' scripts/test.sh

dist: deps
	@scripts/dist.sh

imports: deps
	@scripts/imports.sh

bench: build
	@scripts/bench.sh

soak: build
	@scripts/soak.sh

clean:
	rm -rf build dist
