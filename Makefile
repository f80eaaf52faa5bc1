# The commands the README names. `make test` builds and runs every test of both builds:
# the native one with sanitizers, and the Windows one under Wine. Zentora ships as 32-bit
# Windows; where the kernel cannot run 32-bit code (ia32 emulation off) the 32-bit build is
# still made, and its tests run from the x86-64 build of the same sources under 64-bit Wine.
JOBS ?= 2
WINE_ARCH := $(shell tests/wine/arch.sh)

.PHONY: all run test test-linux test-windows linux win32 win64 bench clean

all: linux

linux:
	cmake --preset linux >/dev/null
	cmake --build --preset linux -j $(JOBS)

win32 win64:
	cmake --preset $@ >/dev/null
	cmake --build --preset $@ -j $(JOBS)

# Until the desktop windows land, the program a person can run is the reader: it shows a
# sample database the way Zentora's viewers show it.
run: linux
	rm -rf build/run && mkdir -p build/run
	build/linux/tests/reader/write_sample_database build/run Muestra
	build/linux/reader/zentora-read --folder build/run fields Muestra
	build/linux/reader/zentora-read --folder build/run count Muestra
	build/linux/reader/zentora-read --folder build/run --lang en value Muestra Precio 1
	build/linux/reader/zentora-read --folder build/run csv Muestra

test: test-linux test-windows

test-linux: linux
	ctest --preset linux

test-windows: win32 $(WINE_ARCH)
	@echo "Windows tests under Wine: $(WINE_ARCH) build"
	tests/wine/prepare.sh >/dev/null
	xvfb-run -a ctest --preset $(WINE_ARCH)

bench:
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS)
	build/bench/bench/storage_bench
	build/bench/bench/reader_bench

clean:
	rm -rf build
