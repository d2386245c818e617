# The front door. `make test` on a fresh Debian machine installs what it needs,
# builds both presets and runs every test tier; `make demo` runs the installer.
.PHONY: all deps native win64 i686 test test-native test-win64 test-i686 stress demo bench \
        fuzz release format format-check lint clean

all: native win64 i686

deps:
	@tools/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

win64: deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

# The 32-bit build: orvitex-setup-32bit.exe, its stand-in wizard and a slice of its tests.
# Where this machine runs no 32-bit program those tests skip, so only the executable
# is built, for its import check.
i686: deps
	cmake --preset i686 >/dev/null
	@if /usr/lib/i386-linux-gnu/ld-linux.so.2 --version >/dev/null 2>&1; then \
	    cmake --build --preset i686; \
	else \
	    echo "i686: no 32-bit program runs here: only orvitex-setup-32bit.exe is built"; \
	    cmake --build build/i686 -j2 --target orvitex-setup; \
	fi

# Formatting and clang-tidy first, then every test tier.
test: native win64 i686
	@tools/run-tests.sh

# The whole end-to-end tier N times in a row (5 by default) with a busy process a core;
# TESTS=REGEX runs only the end-to-end tests it matches.
stress: win64
	@tools/stress.sh $(or $(N),5) $(TESTS)

test-native: native
	ctest --preset native

test-win64: win64
	ctest --preset win64

test-i686: i686 win64
	ctest --preset i686

demo: win64
	@tools/demo.sh

# The two database benchmarks, then the whole demo run under Wine (BENCH_RUNS times),
# then a run over a slow link (LINK_RATE bytes/s, LINK_LATENCY ms, LINK_PACKAGE MiB).
bench: native win64
	build/native/bench/blob_fetch
	build/native/bench/recordset_memory
	@tools/bench-run.sh $(or $(BENCH_RUNS),3)
	@tools/bench-slow-link.sh $(or $(LINK_RATE),4194304) $(or $(LINK_LATENCY),20) $(or $(LINK_PACKAGE),64)

# Each fuzz target for FUZZ_SECONDS (60 by default) on its corpus in fuzz/corpus.
fuzz: deps
	@tools/run-fuzz.sh

# The shipped executables, orvitex-setup.exe for 64-bit Windows and
# orvitex-setup-32bit.exe for 32-bit Windows: optimised, stripped, each signed when
# ORVITEX_SIGN_PFX and ORVITEX_SIGN_PASSWORD are set (tools/sign-release.sh), with
# its .sha256 beside it, checked.
release: deps
	cmake --preset win64-release >/dev/null
	cmake --build --preset win64-release
	tools/sign-release.sh build/win64-release/orvitex-setup.exe
	ctest --preset win64-release
	cmake --preset i686-release >/dev/null
	cmake --build --preset i686-release
	tools/sign-release.sh build/i686-release/orvitex-setup-32bit.exe
	ctest --preset i686-release
	@for exe in build/win64-release/orvitex-setup.exe build/i686-release/orvitex-setup-32bit.exe; do \
	    ls -l $$exe && cat $$exe.sha256; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# clang-tidy with .clang-tidy over the code the native build compiles.
lint: deps
	cmake --preset native >/dev/null
	@tools/lint.sh

clean:
	rm -rf build
