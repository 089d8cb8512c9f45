# Top-level entry points. `make run` and `make bench` use an optimised tree,
# `make test` a tree built with AddressSanitizer and UndefinedBehaviorSanitizer.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE_DIR := build/release
TEST_DIR := build/asan
FUZZ_DIR := build/fuzz
EXAMPLES := examples/minuet.swn examples/twinkle.swn examples/ode-satb.swn
FUZZ_SECONDS ?= 120

.PHONY: all deps release run test bench fuzz format clean glyphs golden

all: release

deps:
	@scripts/install-deps

$(RELEASE_DIR)/build.ninja:
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release

release: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS)

# Opens the editor on an example score (the first run seeds the application
# folder, $$STAFFWRIGHT_HOME or ~/.local/share/staffwright, with the samples).
run: release
	$(RELEASE_DIR)/src/ui/staffwright examples/minuet.swn

$(TEST_DIR)/build.ninja:
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSTAFFWRIGHT_SANITIZE=ON

test: deps $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  QT_QPA_PLATFORM=offscreen \
	  ctest --output-on-failure -j $(JOBS)

# Rewrites the golden page pictures (tests/golden/) from what the program draws
# now: for changes meant to alter the pages, committed with them.
golden: deps $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS) --target sw_render_tests
	cd $(TEST_DIR) && SW_GOLDEN_UPDATE=1 QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=0 tests/sw_render_tests --gtest_filter='*Golden*'

bench: release
	$(RELEASE_DIR)/bench/bench_scorefile
	$(RELEASE_DIR)/bench/bench_open
	$(RELEASE_DIR)/bench/bench_pages
	$(RELEASE_DIR)/bench/bench_pdf
	$(RELEASE_DIR)/bench/bench_midi
	$(RELEASE_DIR)/bench/bench_musicxml
	$(RELEASE_DIR)/bench/bench_undo
	$(RELEASE_DIR)/bench/bench_entry
	$(RELEASE_DIR)/bench/bench_bars
	$(RELEASE_DIR)/bench/bench_neaten
	$(RELEASE_DIR)/bench/bench_veltro
	$(RELEASE_DIR)/bench/bench_transpose
	$(RELEASE_DIR)/bench/bench_merge
	$(RELEASE_DIR)/bench/bench_pipes
	$(RELEASE_DIR)/bench/bench_playback
	$(RELEASE_DIR)/bench/bench_staves
	$(RELEASE_DIR)/bench/bench_block

$(FUZZ_DIR)/build.ninja:
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -G Ninja \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTAFFWRIGHT_FUZZ=ON

fuzz: deps $(FUZZ_DIR)/build.ninja
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_loadscore fuzz_bmp1 fuzz_settings fuzz_render fuzz_dump fuzz_repair fuzz_script fuzz_playback fuzz_spacing fuzz_recognition fuzz_veltro fuzz_musicxml fuzz_transpose fuzz_musicxml_import fuzz_scan
	mkdir -p fuzz/corpus-run fuzz/corpus-bmp-run fuzz/corpus-settings-run fuzz/corpus-render-run fuzz/corpus-dump-run fuzz/corpus-repair-run fuzz/corpus-script-run fuzz/corpus-playback-run fuzz/corpus-spacing-run fuzz/corpus-recognition-run fuzz/corpus-veltro-run fuzz/corpus-musicxml-run fuzz/corpus-transpose-run fuzz/corpus-musicxml-import-run fuzz/corpus-scan-run
	$(FUZZ_DIR)/fuzz/fuzz_loadscore -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-run fuzz/corpus
	$(FUZZ_DIR)/fuzz/fuzz_bmp1 -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-bmp-run fuzz/corpus-bmp
	$(FUZZ_DIR)/fuzz/fuzz_settings -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-settings-run fuzz/corpus-settings
	# fontconfig keeps its caches for the life of the process; that is not ours to free.
	LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp $(FUZZ_DIR)/fuzz/fuzz_render -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-render-run fuzz/corpus
	$(FUZZ_DIR)/fuzz/fuzz_dump -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-dump-run fuzz/corpus
	$(FUZZ_DIR)/fuzz/fuzz_repair -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-repair-run fuzz/corpus
	$(FUZZ_DIR)/fuzz/fuzz_script -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-script-run fuzz/corpus-script
	$(FUZZ_DIR)/fuzz/fuzz_playback -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-playback-run fuzz/corpus
	$(FUZZ_DIR)/fuzz/fuzz_spacing -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-spacing-run fuzz/corpus
	$(FUZZ_DIR)/fuzz/fuzz_recognition -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-recognition-run fuzz/corpus-recognition
	$(FUZZ_DIR)/fuzz/fuzz_veltro -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-veltro-run
	$(FUZZ_DIR)/fuzz/fuzz_musicxml -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-musicxml-run fuzz/corpus
	$(FUZZ_DIR)/fuzz/fuzz_transpose -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-transpose-run fuzz/corpus
	$(FUZZ_DIR)/fuzz/fuzz_musicxml_import -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-musicxml-import-run fuzz/corpus-musicxml-import
	$(FUZZ_DIR)/fuzz/fuzz_scan -max_total_time=$(FUZZ_SECONDS) fuzz/corpus-scan-run

# Redraws the glyph bitmaps from the Bravura font (fetched from the npm registry)
# and measures their ink boxes; the results are committed.
BRAVURA_DIR := build/bravura/package
$(BRAVURA_DIR)/bravura.otf:
	mkdir -p build/bravura
	cd build/bravura && npm pack @vexflow-fonts/bravura@1.0.2 >/dev/null && tar xzf vexflow-fonts-bravura-1.0.2.tgz

glyphs: release $(BRAVURA_DIR)/bravura.otf
	cmake --build $(RELEASE_DIR) --target glyphgen
	rm -f resources/glyphs/screen/*.bmp resources/glyphs/print/*.bmp
	QT_QPA_PLATFORM=offscreen $(RELEASE_DIR)/tools/glyphgen/glyphgen $(BRAVURA_DIR)/bravura.otf \
	  $(BRAVURA_DIR)/metadata.json resources/glyphs src/layout/GlyphInkBoxes.inc \
	  src/render/GlyphOutlines.inc
	cp $(BRAVURA_DIR)/LICENSE.txt resources/glyphs/OFL.txt
	cmake --build $(RELEASE_DIR)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
