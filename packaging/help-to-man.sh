#!/bin/sh
# Writes the manual page of a command-line program from its own help text,
# so that the two never disagree:
#
#   help-to-man.sh PROGRAM VERSION DATE SUMMARY OUTPUT
#
# SUMMARY completes the NAME line where the help has no NAME section.
# The help comes from "PROGRAM help" (or "PROGRAM --help"). Its layout is read
# loosely: a line in capitals at the left edge is a section, "usage: ..." is the
# synopsis, an indented "-option  text", "WORD  text" or "0  text" row is a list entry,
# a short line ending in ":" introduces the more deeply indented lines after it
# as verbatim examples, lines starting with the program's name are shown in
# bold with the more deeply indented lines that continue them, and everything
# else is running text.
set -eu
program=$1 version=$2 date=$3 summary=$4 output=$5
name=$(basename "$program")

help=$("$program" help 2>/dev/null) || help=$("$program" --help 2>/dev/null) || {
  # A tool without help still states its usage when called wrongly.
  help=$("$program" 2>&1 | sed -n 's/.*\(usage: .*\)/\1/p') || true
}
if [ -z "$help" ]; then
  echo "help-to-man.sh: $program printed no help" >&2
  exit 1
fi

printf '%s\n' "$help" | awk -v name="$name" -v summary="$summary" -v version="$version" -v date="$date" '
function esc(s) { gsub(/\\/, "\\e", s); gsub(/-/, "\\-", s); if (s ~ /^[.\047]/) s = "\\&" s; return s }
function indent(s) { match(s, /^ */); return RLENGTH }
function close_examples() { if (examples) { print ".fi"; print ".RE"; examples = 0 } }
function section(title) { close_examples(); print ".SH " title; sections[title] = 1; started = 1; current = title }
BEGIN {
  print ".\\\" Made from the output of \"" name " help\" by help-to-man.sh; edit the help, not this."
  print ".TH " toupper(name) " 1 \"" date "\" \"" name " " version "\" \"User Commands\""
}
/^[ \t]*$/ { bold = 0; if (!examples && current != "NAME") print ".PP"; next }
{
  line = $0; sub(/[ \t]+$/, "", line); n = indent(line); text = substr(line, n + 1)
  if (examples && n > examples_indent) { print esc(substr(line, examples_indent + 3)); next }
  close_examples()
  if (n == 0 && text ~ /^[A-Z][A-Z ]+$/) { section(text); next }
  if (tolower(text) ~ /^usage: /) {
    if (!("SYNOPSIS" in sections)) { if (!("NAME" in sections)) { section("NAME"); print esc(name) " \\- " esc(summary) } section("SYNOPSIS") }
    text = substr(text, 8)
  } else if (!started) { section("NAME"); print esc(name) " \\- " esc(summary); section("DESCRIPTION") }
  started = 1
  if (current == "NAME") { print esc(text); next }
  if (bold && n >= bold_indent) { print ".B " esc(text); next }
  if (bold) print ".br"
  bold = 0
  if (match(text, /^(-[^ ]+|[A-Z][A-Z_]*|[0-9]+)( [^ ]+)*  +/)) {
    term = substr(text, 1, RLENGTH); sub(/ +$/, "", term)
    print ".TP"; print "\\fB" esc(term) "\\fR"; print esc(substr(text, RLENGTH + 1)); next
  }
  if (length(text) <= 30 && text ~ /:$/) {
    print ".PP"; print "\\fI" esc(text) "\\fR"; print ".RS"; print ".nf"; examples = 1; examples_indent = n; next
  }
  if (index(text, name) == 1) {
    print current == "SYNOPSIS" ? ".br" : ".PP"; print ".B " esc(text); bold = 1; bold_indent = n + 3; next
  }
  print esc(text)
}
END { close_examples() }
' | gzip -9n > "$output"
