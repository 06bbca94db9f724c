# Top-level entry points: `make run` and `make test` install what is missing,
# configure build/ and build with two jobs.
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
FUZZ_BUILD_DIR ?= build-fuzz
JOBS ?= 2
PREFIX ?= /usr/local
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := $(sort $(patsubst fuzz/%.cpp,%,$(wildcard fuzz/fuzz_*.cpp)))
PACKAGES := cmake g++ make pkg-config libicu-dev libmecab-dev mecab-ipadic-utf8 libkakasi2-dev \
            open-jtalk-mecab-naist-jdic \
            libgtest-dev libasound2-dev libsndfile1-dev libsamplerate0-dev libsoundtouch-dev libzip-dev \
            qt6-base-dev libgl-dev fonts-noto-cjk clang libclang-rt-14-dev \
            speech-dispatcher python3-speechd libxml2-dev qt6-translations-l10n
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test test-asan fuzz-build fuzz fuzz-ci install uninstall install-user uninstall-user run clean deb

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the test that caused it. Only third-party leaks are suppressed.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEKOTO_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD_DIR) -j$(JOBS)
	cd $(ASAN_BUILD_DIR) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j$(JOBS)

# libFuzzer targets (fuzz/): `make fuzz` runs each in turn for FUZZ_SECONDS,
# growing build-fuzz/corpus from the seeds in fuzz/corpus; `make fuzz-ci` runs
# each for 20 s. A crash, leak, sanitizer report or input slower than 10 s
# stops the run and leaves the input in build-fuzz/artifacts.
fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DEKOTO_FUZZ=ON -DBUILD_TESTING=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD_DIR) --target ekoto_fuzzers -j$(JOBS)

fuzz: fuzz-build
	@mkdir -p $(FUZZ_BUILD_DIR)/artifacts
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD_DIR)/corpus/$$t; \
	  echo "== $$t for $(FUZZ_SECONDS) s"; \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  $(FUZZ_BUILD_DIR)/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD_DIR)/artifacts/$$t- \
	    $(FUZZ_BUILD_DIR)/corpus/$$t fuzz/corpus/$$t; \
	done

fuzz-ci:
	$(MAKE) fuzz FUZZ_SECONDS=20

# Installs under PREFIX (/usr/local by default) what cmake/Install.cmake lists;
# uninstall removes exactly the files the last install wrote.
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

uninstall:
	@test -f $(BUILD_DIR)/install_manifest.txt || { echo "no $(BUILD_DIR)/install_manifest.txt: nothing installed from here"; exit 1; }
	xargs -d '\n' rm -f -- < $(BUILD_DIR)/install_manifest.txt
	rmdir $(PREFIX)/share/ekoto 2>/dev/null || true

# The speech-dispatcher module for this user only: the module where the server
# looks for a user's modules, the voice and template beside it in
# ~/.local/share/ekoto, and the module's settings (an existing file is kept).
USER_PREFIX ?= $(HOME)/.local
USER_SPEECHD_CONFIG ?= $(or $(XDG_CONFIG_HOME),$(HOME)/.config)/speech-dispatcher/modules
install-user: build
	install -D -m 755 $(BUILD_DIR)/bin/sd_ekoto $(USER_PREFIX)/libexec/speech-dispatcher-modules/sd_ekoto
	install -D -m 644 data/templete.txt $(USER_PREFIX)/share/ekoto/templete.txt
	if [ -f data/50on.pa ]; then install -D -m 644 data/50on.pa $(USER_PREFIX)/share/ekoto/50on.pa; fi
	[ -f $(USER_SPEECHD_CONFIG)/ekoto.conf ] || install -D -m 644 data/speechd/ekoto.conf $(USER_SPEECHD_CONFIG)/ekoto.conf
	@echo "Installed sd_ekoto for $(USER). Restart speech-dispatcher (killall speech-dispatcher) and try: spd-say -o ekoto -l ja 'こんにちは'"

uninstall-user:
	rm -f $(USER_PREFIX)/libexec/speech-dispatcher-modules/sd_ekoto $(USER_SPEECHD_CONFIG)/ekoto.conf

# Debian packages (debian/): a copy of this tree, without build folders, is
# built with dpkg-buildpackage in DEB_DIR, where the .debs land; lintian then
# checks them (errors fail), and so does tests/deb_contents_test.sh (no test
# programs, no build paths). The suite runs offscreen during the build unless
# DEB_BUILD_OPTIONS has nocheck. Install: apt-get install ./build-deb/*.deb
DEB_DIR ?= build-deb
DEB_SOURCE := $(DEB_DIR)/ekoto-$(shell sed -n '1s/^ekoto (\([^)-]*\).*/\1/p' debian/changelog)
deb:
	@$(MAKE) --no-print-directory deps PACKAGES="dpkg-dev build-essential debhelper lintian ccache"
	dpkg-checkbuilddeps 2>/dev/null || DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get build-dep -y ./
	rm -rf $(DEB_DIR) && mkdir -p $(DEB_SOURCE)
	tar --exclude-vcs --exclude='./build*' -cf - . | tar -C $(DEB_SOURCE) -xf -
	cd $(DEB_SOURCE) && PATH=/usr/lib/ccache:$$PATH CCACHE_DIR=$$(ccache -k cache_dir) \
	  DEB_BUILD_OPTIONS="parallel=$(JOBS) $(DEB_BUILD_OPTIONS)" dpkg-buildpackage -us -uc
	lintian --fail-on error --info $(DEB_DIR)/*.changes
	sh tests/deb_contents_test.sh $(DEB_DIR) $(CURDIR)
	@ls -l $(DEB_DIR)/*.deb

# The program's window on a desktop; without a display, a demo sentence read
# aloud by ekoto-say, or written to a WAV file when no sound device opens.
DEMO_TEXT := 今日は東京都の天気が良い。3000円です。
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/bin/ekoto; \
	else \
	  echo "No display: reading a demo sentence with ekoto-say."; \
	  echo "$(DEMO_TEXT)" | $(BUILD_DIR)/bin/ekoto-say --kana; \
	  $(BUILD_DIR)/bin/ekoto-say "$(DEMO_TEXT)" 2>/dev/null || { \
	    $(BUILD_DIR)/bin/ekoto-say -o $(BUILD_DIR)/demo.wav "$(DEMO_TEXT)" && \
	    echo "No sound device could be opened: wrote the reading to $(BUILD_DIR)/demo.wav"; }; \
	fi

clean:
	rm -rf $(BUILD_DIR)
