#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by sanitize.sh and fuzz.sh, with $root set: configures
# build-sanitize/ (the sanitize preset), where clang builds the program, the
# tests and the fuzz targets with AddressSanitizer and
# UndefinedBehaviorSanitizer, and sets the sanitizers' options for what runs
# from there.
lexidrill_sanitize_build="$root/build-sanitize"
(cd "$root" && cmake --preset sanitize >/dev/null)

# The sanitize preset gives ctest the same options; the fuzz targets run
# outside ctest. Beyond the defaults: uses of a function's locals after it
# returned, and globals used before their initialisation in another file.
# intercept_strstr=0: libspeechd finds its way through the voice list (about
# 1 MB from espeak-ng) with strstr, and ASan's check of each call measures the
# whole rest of the text, which makes listing the voices take minutes.
export ASAN_OPTIONS="intercept_strstr=0:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks inside system libraries only; each is explained in the file.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0"
