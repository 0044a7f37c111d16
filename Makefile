# Front door: `make` builds the three trees, `make test` installs what is missing, builds and
# runs every suite (scripts/run-tests.sh installs the native trees' packages first and the rest
# beside the first builds).
.PHONY: all deps native win64 win32 test lint clean demo bench web serve

JOBS ?= $(shell nproc)

all: native win64 win32

deps:
	@scripts/install-deps.sh

native:
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

win64:
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS)

win32:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

test:
	@scripts/run-tests.sh

# Formatting (clang-format, check mode) and clang-tidy over the plug-in, the host, the rules and
# sorvel; `make test` runs it first.
lint: deps
	@scripts/lint.sh

# A short session on the example score with the real plug-in under Wine; prints what changed.
demo:
	@scripts/demo.sh

# The benchmark (not a test): native Release and win64 Release under Wine.
bench: deps
	@scripts/bench.sh

# The browser page, built with Debian's emscripten into build/web/, with build/web/VeskSorvel.html
# (the whole page in one file that works opened from disk).
web:
	@JOBS=$(JOBS) scripts/web-build.sh

# Serves build/web/ on 127.0.0.1 and prints the address.
serve:
	@node web/tools/serve.mjs build/web $(or $(PORT),8019)

clean:
	rm -rf build
