# The front door. A newcomer on a fresh Debian machine needs two commands:
#
#   make demo   install what is missing, build, run the example
#   make test   install what is missing, check the layout of the C++ files,
#               build, run every test, then again under AddressSanitizer and
#               UndefinedBehaviorSanitizer
#
# Other targets: format (lay out every C++ file as .clang-format says),
# build, asan, tsan (the thread tests, and the readers' tests on a second
# thread, under ThreadSanitizer,
# also part of `make test` where the compiler supports it), bench (the
# benchmarks, Release, with the peer parsers they compare with), fuzz
# (FUZZ_SECONDS per fuzzer, default 60), docs (the API reference in
# docs/html), clean.

BUILD_DIR  ?= build
ASAN_DIR   ?= build-asan
TSAN_DIR   ?= build-tsan
FUZZ_DIR   ?= build-fuzz
BENCH_DIR  ?= build-bench
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

MAKEFLAGS += --no-print-directory

CONFIGURE = cmake -S . -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)
CTEST     = ctest --output-on-failure --no-tests=error -j $(JOBS)

.PHONY: demo test deps build asan tsan bench format format-check test-plain test-asan test-tsan fuzz docs clean

deps:
	@scripts/install-deps.sh

build: deps
	@$(CONFIGURE) -B $(BUILD_DIR) > $(BUILD_DIR).configure.log 2>&1 || { cat $(BUILD_DIR).configure.log; exit 1; }
	@cmake --build $(BUILD_DIR) -j $(JOBS)

asan: deps
	@$(CONFIGURE) -B $(ASAN_DIR) "-DZVXML_SANITIZE=address;undefined" > $(ASAN_DIR).configure.log 2>&1 || { cat $(ASAN_DIR).configure.log; exit 1; }
	@cmake --build $(ASAN_DIR) -j $(JOBS)

format:
	@scripts/format.sh

format-check:
	@echo "== layout of the C++ files =="
	@scripts/format.sh --check

test-plain: build
	@echo "== tests =="
	@cd $(BUILD_DIR) && $(CTEST)

test-asan: asan
	@echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
	@cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 $(CTEST)

# ThreadSanitizer needs its runtime; a compiler without it skips this step.
TSAN_SUPPORTED := $(shell echo 'int main(){}' | $${CXX:-c++} -fsanitize=thread -x c++ - -o /dev/null 2>/dev/null && echo yes)

tsan: deps
	@$(CONFIGURE) -B $(TSAN_DIR) -DZVXML_SANITIZE=thread -DZVXML_BUILD_TOOLS=OFF > $(TSAN_DIR).configure.log 2>&1 || { cat $(TSAN_DIR).configure.log; exit 1; }
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target threads_tests instance_tests instance_internal_tests foundation_tests platform_sax_tests instancexml_tests
	@echo "== thread tests under ThreadSanitizer =="
	@TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(TSAN_DIR)/tests/threads/threads_tests
	@echo "== the same, and the readers' tests, with every document read on a second thread =="
	@ZVXML_READER_THREADS=2 TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(TSAN_DIR)/tests/threads/threads_tests
	@cd $(TSAN_DIR)/tests/platform && ZVXML_READER_THREADS=2 TSAN_OPTIONS=halt_on_error=1 ./platform_sax_tests --gtest_filter='-SaxMemory.*'
	@cd $(TSAN_DIR)/tests/instancexml && ZVXML_READER_THREADS=2 TSAN_OPTIONS=halt_on_error=1 ./instancexml_tests
	@TSAN_OPTIONS=halt_on_error=1 $(TSAN_DIR)/tests/instance/instance_tests --gtest_filter='*Pool*'
	@TSAN_OPTIONS=halt_on_error=1 $(TSAN_DIR)/tests/instance/instance_internal_tests --gtest_filter='SpareObjects*'
	@TSAN_OPTIONS=halt_on_error=1 $(TSAN_DIR)/tests/foundation/foundation_tests --gtest_filter='Logging*'

test-tsan:
ifeq ($(TSAN_SUPPORTED),yes)
	@$(MAKE) tsan
else
	@echo "== ThreadSanitizer not available with this compiler: thread tests ran without it =="
endif

test: format-check test-plain test-asan test-tsan

demo: build
	@$(BUILD_DIR)/tools/zvxml/zvxml demo

bench:
	@scripts/install-deps.sh bench
	@cmake -S . -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DZVXML_BUILD_BENCH=ON -DZVXML_BUILD_TESTS=OFF \
	  $(CMAKE_ARGS) -B $(BENCH_DIR) > $(BENCH_DIR).configure.log 2>&1 || { cat $(BENCH_DIR).configure.log; exit 1; }
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@echo "benchmarks: $(BENCH_DIR)/bench/ (see bench/README.md)"

fuzz:
	@scripts/install-deps.sh fuzz
	@CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZVXML_BUILD_FUZZERS=ON -DZVXML_BUILD_TESTS=OFF -DZVXML_BUILD_TOOLS=OFF \
	  "-DZVXML_SANITIZE=address;undefined" > $(FUZZ_DIR).configure.log 2>&1 || { cat $(FUZZ_DIR).configure.log; exit 1; }
	@cmake --build $(FUZZ_DIR) -j $(JOBS)
	@scripts/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

docs:
	@scripts/install-deps.sh docs
	@cd docs && doxygen Doxyfile
	@echo "API reference: docs/html/index.html (no warnings; a warning fails this target)"

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(BENCH_DIR) $(FUZZ_DIR) *.configure.log
