# The two commands of the README: `make run` and `make test`. Both install what they need.
NATIVE  := build/native
WINDOWS := build/windows
JOBS    ?= $(shell nproc)

.PHONY: all deps native windows test run bench fuzz clean

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

test: all
	ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)
	ctest --test-dir $(WINDOWS) --output-on-failure

run: all
	@scripts/run.sh

bench: native
	@bench/run.sh

clean:
	rm -rf build dist
