# Everything a newcomer needs on a fresh Debian machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzz target runs under `make fuzz`.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = link_list page registry text_files
JOBS       ?= $(shell nproc)

.PHONY: deps build test demo bench asan fuzz clean

deps:
	@./scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

demo: build
	@./scripts/demo.sh $(BUILD)

bench: build
	@for b in $$(find $(BUILD)/bench -type f -name "bench_*" -perm -u+x | sort); do echo "== $$b"; $$b; done

asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTRENMOOR_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# Builds every fuzz target with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for FUZZ_SECONDS from its seed corpus; new inputs go to $(FUZZ_BUILD)/corpus/<target>,
# crashes to $(FUZZ_BUILD)/crashes/<target>/ (copy a fixed one into fuzz/corpus/<target>/).
fuzz: deps
	@./scripts/install-fuzz-deps.sh
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DTRENMOOR_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/crashes/$$t; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  ASAN_OPTIONS=detect_leaks=1 $(FUZZ_BUILD)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/crashes/$$t/ \
	    $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
