#!/usr/bin/env bash
# The main job: the program logs in on the stand-in cloud-disk site, served over loopback HTTP,
# imports the sample list and saves every share it can, printing each step as it happens and
# then what the site recorded.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
exec "$build/bin/trenmoor-scenario" --real-clock --site demo/site.txt demo/transfer.scenario
