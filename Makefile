# The commands the README names. `make test` builds and runs every test of both builds:
# the native one with sanitizers, and the 32-bit Windows one, the build Zentora ships as,
# under 32-bit Wine.
JOBS ?= 2

.PHONY: all run run-reader test test-linux test-windows linux linux-release win32 win64 bench clean

all: linux

linux:
	cmake --preset linux >/dev/null
	cmake --build --preset linux -j $(JOBS)

linux-release package-linux win32 win64:
	cmake --preset $@ >/dev/null
	cmake --build --preset $@ -j $(JOBS)

# Zentora itself: the Windows program under Wine, in a program folder of its own
# (build/zentora) where its databases and configuration stay between runs. It needs a
# desktop (an X display); without one it runs on a virtual screen and says so.
run: win32
	mkdir -p build/zentora
	cp build/win32/Zentora.exe build/zentora/
	tests/wine/prepare.sh >/dev/null
	@if [ -n "$$DISPLAY" ]; then \
	  tests/wine/run.sh explorer /desktop=Zentora,1024x960 build/zentora/Zentora.exe; \
	else \
	  echo "No display: Zentora runs on a virtual screen (xvfb-run); use a desktop session to see it."; \
	  xvfb-run -a -s "-screen 0 1024x960x24" tests/wine/run.sh explorer /desktop=Zentora,1024x960 build/zentora/Zentora.exe; \
	fi

# Zentora as a native Linux program, an optimised build (the sanitizers stay in the test
# build), with its program folder build/zentora-linux (databases and configuration stay
# there between runs). Without a display it runs on a virtual screen.
.PHONY: run-linux
run-linux: linux-release
	mkdir -p build/zentora-linux
	cp build/linux-release/zentora build/zentora-linux/
	@if [ -n "$$DISPLAY" ]; then \
	  build/zentora-linux/zentora; \
	else \
	  echo "No display: zentora runs on a virtual screen (xvfb-run); use a desktop session to see it."; \
	  xvfb-run -a -s "-screen 0 1024x960x24" build/zentora-linux/zentora; \
	fi

# The reader tool on a sample database, the way Zentora's viewers show it; no display needed.
run-reader: linux
	rm -rf build/run && mkdir -p build/run
	build/linux/tests/reader/write_sample_database build/run Muestra
	build/linux/zentora-read --folder build/run fields Muestra
	build/linux/zentora-read --folder build/run count Muestra
	build/linux/zentora-read --folder build/run --lang en value Muestra Precio 1
	build/linux/zentora-read --folder build/run csv Muestra

test: test-linux test-windows test-packages test-fuzz

test-linux: linux
	ctest --preset linux

# The 32-bit build under 32-bit Wine, then the 64-bit library (Lirvak64.dll, the win64
# preset) under 64-bit Wine in a prefix of its own, through the same host tests.
test-windows: win32 win64
	tests/wine/prepare.sh
	xvfb-run -a ctest --preset win32
	@echo "Lirvak.dll as a 32-bit host calls it (the stack-balance check included):"
	@grep -E '^\[ +(OK|SKIPPED|FAILED) +\] LirvakHostTest\.' build/win32/Testing/Temporary/LastTest.log
	tests/wine/prepare64.sh
	xvfb-run -a ctest --preset win64
	@echo "Lirvak64.dll as a 64-bit host calls it:"
	@grep -E '^\[ +(OK|SKIPPED|FAILED) +\] LirvakHostTest\.' build/win64/Testing/Temporary/LastTest.log

# The packages users install, in build/packages: Zentora-<version>-win32.zip from the win32
# build (with Lirvak64.dll from the win64 one), and from the package-linux preset the .debs
# zentora, liblirvak1, liblirvak-dev and python3-lirvak.
.PHONY: package package-linux test-packages
package: win32 win64 package-linux
	cd build/win32 && cpack -B $(CURDIR)/build/packages
	cd build/package-linux && cpack -B $(CURDIR)/build/packages

# The packages as users get them: the zip unpacked and run under Wine; the .debs through
# lintian, then installed with apt in a bare Debian root of their own and used there (needs
# root; see tests/package/test-debian-packages.sh).
test-packages: package linux
	tests/package/test-packages.sh

# The fuzz targets: each runs FUZZ_SECONDS from the seeds make_seeds writes and the corpus
# it grew before (build/fuzz/corpus); what makes one fail is kept in build/fuzz/findings.
# `make test` runs each briefly.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := structure value_search number_format read_command
.PHONY: fuzz test-fuzz
fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS) --target make_seeds $(addprefix fuzz_,$(FUZZ_TARGETS))
	rm -rf build/fuzz/seeds && build/fuzz/fuzz/make_seeds build/fuzz/seeds
	@mkdir -p build/fuzz/findings
	@for target in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$target; \
	  echo "fuzz_$$target: $(FUZZ_SECONDS) s"; \
	  build/fuzz/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=build/fuzz/findings/$$target- \
	    build/fuzz/corpus/$$target build/fuzz/seeds/$$target 2>build/fuzz/$$target.log \
	    || { tail -n 40 build/fuzz/$$target.log; exit 1; }; \
	  grep -E '^(Done|stat::number_of_executed_units|INFO: seed corpus)' build/fuzz/$$target.log; \
	done

test-fuzz:
	$(MAKE) fuzz FUZZ_SECONDS=30

bench:
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS)
	build/bench/bench/storage_bench
	build/bench/bench/reader_bench
	build/bench/bench/record_entry_bench
	build/bench/bench/export_bench
	build/bench/bench/big_file_bench
	build/bench/bench/fairness_bench
	build/bench/bench/hostile_files_bench

clean:
	rm -rf build
