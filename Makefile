# Front door: `make` builds the three trees, `make test` installs what is missing, builds and
# runs every suite.
.PHONY: all deps native win64 win32 test lint clean demo bench

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

test: deps
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

clean:
	rm -rf build
