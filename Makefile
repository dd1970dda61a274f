# The two everyday commands. Both install what they need first.
#   make run   builds in Release and opens the editor on the demo data set
#   make test  checks the formatting, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test
#              (next to a throwaway PostgreSQL cluster, for the record manager's server cases),
#              runs each fuzz target over its corpus and for 5 seconds,
#              then builds the Debian packages and checks them installed in a temporary root
#   make package builds the Debian packages in build/package
#   make bench builds the benchmarks in Release and runs them

JOBS ?= $(shell nproc)

.PHONY: deps run test fuzz package bench screenshots walkthrough crash-trials clean

deps:
	@bash scripts/install-deps

build/release/build.ninja: | deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIM_TESTS=OFF

run: deps build/release/build.ninja
	cmake --build build/release -j $(JOBS)
	bash scripts/run-demo

test: deps
	bash scripts/check-format
	cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGRIM_SANITIZE=ON -DGRIM_WERROR=ON
	cmake --build build/sanitize -j $(JOBS)
	cd build/sanitize && QT_QPA_PLATFORM=offscreen bash ../../scripts/with-postgres ctest --output-on-failure -j $(JOBS)
	JOBS=$(JOBS) bash scripts/run-fuzz 5
	JOBS=$(JOBS) bash scripts/package-test

# Each fuzz target over its corpus, then fuzzed for FUZZ_SECONDS (by hand).
FUZZ_SECONDS ?= 300
fuzz: deps
	JOBS=$(JOBS) bash scripts/run-fuzz $(FUZZ_SECONDS)

package: deps
	cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIM_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build build/package -j $(JOBS)
	cd build/package && cpack -G DEB

bench: deps
	cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIM_TESTS=OFF -DGRIM_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	bash scripts/run-bench

screenshots: deps build/release/build.ninja
	cmake --build build/release -j $(JOBS)
	bash scripts/screenshots

walkthrough: deps build/release/build.ninja
	cmake --build build/release -j $(JOBS)
	bash scripts/walkthrough

# 1,000 kill trials and 1,000 simulated power losses (by hand; make test runs 20 and 30).
crash-trials: deps
	cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGRIM_SANITIZE=ON -DGRIM_WERROR=ON
	cmake --build build/sanitize -j $(JOBS) --target btrieve_tests
	cd build/sanitize && BTRIEVE_TRIALS=1000 bash ../../scripts/with-postgres ./tests/btrieve/btrieve_tests \
		--gtest_filter='*AcknowledgedWritesSurviveSigkill*:*PowerLoss*'

clean:
	rm -rf build
