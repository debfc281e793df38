#!/bin/sh
# expect_exit.sh <code> <text> <command...>: runs the command, passing its output on, and
# succeeds only when it exits with exactly that code and its output holds the text.
want=$1
text=$2
shift 2
output=$("$@" 2>&1)
got=$?
printf '%s\n' "$output"
if [ "$got" -ne "$want" ]; then
  echo "exit code $got, expected $want"
  exit 1
fi
if ! printf '%s\n' "$output" | grep -qF -- "$text"; then
  echo "the output does not hold: $text"
  exit 1
fi
