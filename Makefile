# Top-level entry points: `make run` and `make test` install what is missing,
# configure build/ and build with two jobs.
BUILD_DIR ?= build
JOBS ?= 2
PACKAGES := cmake g++ make pkg-config libicu-dev libmecab-dev mecab-ipadic-utf8 libkakasi2-dev \
            libgtest-dev libasound2-dev libsndfile1-dev libsamplerate0-dev \
            qt6-base-dev libgl-dev fonts-noto-cjk
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test run clean

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

run: build
	echo "今日は東京都の天気が良い。3000円です。" | $(BUILD_DIR)/bin/ekoto-say --kana

clean:
	rm -rf $(BUILD_DIR)
