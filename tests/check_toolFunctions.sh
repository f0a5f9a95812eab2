#!/usr/bin/env bash
# Fails when a function of the command-line tool (tools/) runs over 60 lines: the tool reads
# arguments and prints, and its functions stay short. A function runs from the line of its
# signature to the closing brace at the indentation of its opening brace (the tool's style:
# braces of functions on lines of their own).
cd "$1" || exit 2
awk -v limit=60 '
  FNR == 1 { sigLine = 0 }
  # A line with "(" may start a signature; remember where.
  /\(/ && !/^[ \t]*(if|for|while|switch|return)\b/ && !/;[ \t]*$/ { if (!open) sigLine = FNR; sigText = $0 }
  /^[ \t]*\{[ \t]*$/ && !open && sigLine {
    match($0, /^[ \t]*/); indent = substr($0, 1, RLENGTH); open = 1; start = sigLine; name = sigText; next
  }
  open && $0 ~ ("^" indent "}") {
    if (FNR - start + 1 > limit) { printf "%s:%d: %d lines: %s\n", FILENAME, start, FNR - start + 1, name; bad = 1 }
    open = 0; sigLine = 0
  }
  END { exit bad }
' tools/*.cpp tools/*.h
