#!/bin/sh
# What `make fuzz` needs beyond `make deps`: clang with its libFuzzer and sanitizer runtimes.
set -e
if command -v clang >/dev/null 2>&1 && command -v clang++ >/dev/null 2>&1; then
  exit 0
fi
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get install -y clang
