# The two commands of the README: `make run` and `make test`. Both install what they need.
NATIVE  := build/native
WINDOWS := build/windows
SANITIZE := build/sanitize
JOBS    ?= $(shell nproc)

.PHONY: all deps native windows sanitize test run bench fuzz clean

all: native windows

deps:
	@scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)
	@mkdir -p dist && cp $(NATIVE)/cli/torvane-convert dist/

windows: deps
	@cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)
	@mkdir -p dist && if [ -f $(WINDOWS)/app/torvane.exe ]; then cp $(WINDOWS)/app/torvane.exe dist/; fi

# The native tests again, built with AddressSanitizer and UBSan; any report fails them.
sanitize: deps
	@cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE) -j $(JOBS)

test: all sanitize
	ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)
	ctest --test-dir $(WINDOWS) --output-on-failure
	UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(SANITIZE) --output-on-failure -j $(JOBS) -LE e2e
	fuzz/run.sh smoke

run: all
	@scripts/run.sh

bench: native
	@bench/run.sh

# Each fuzz target for FUZZ_SECONDS (300), one after another; the corpus grows in build/fuzz.
fuzz: deps
	@fuzz/run.sh long

clean:
	rm -rf build dist
