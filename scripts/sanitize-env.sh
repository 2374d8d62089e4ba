#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by sanitize.sh and fuzz.sh, with $root set: configures
# build-sanitize/, where clang builds the program, the tests and the fuzz
# targets with AddressSanitizer and UndefinedBehaviorSanitizer, and sets the
# sanitizers' options for what runs from there.
lexidrill_sanitize_build="$root/build-sanitize"
cmake -S "$root" -B "$lexidrill_sanitize_build" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLEXIDRILL_SANITIZE=ON -DLEXIDRILL_BUILD_FUZZERS=ON -DLEXIDRILL_BUILD_BENCHMARKS=OFF >/dev/null

# Beyond the defaults: uses of a function's locals after it returned, and
# globals used before their initialisation in another file.
# intercept_strstr=0: libspeechd finds its way through the voice list (about
# 1 MB from espeak-ng) with strstr, and ASan's check of each call measures the
# whole rest of the text, which makes listing the voices take minutes.
export ASAN_OPTIONS="intercept_strstr=0:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks inside system libraries only; each is explained in the file.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0"
