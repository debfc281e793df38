#!/usr/bin/env bash
# The main job: the application under the scripted user, with its transcript.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
exec "$build/bin/trenmoor-scenario" demo/session.scenario
