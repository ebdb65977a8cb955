// SPDX-License-Identifier: Apache-2.0
// How long the reliability runs are: read by the tests that make them and, for
// docs/RELIABILITY.md, by scripts/reliability-figures and the valgrind restart check. One
// "constexpr int NAME = VALUE;" a line, so that a shell script reads it too.
#pragma once

constexpr int kModelSequences = 200;         // the reference model's random call sequences
constexpr int kModelCallsPerSequence = 500;  // 100,000 calls in all
constexpr int kLoadCycles = 100;             // load and unload cycles with calls, under valgrind
constexpr int kHalctlRestartsFew = 5;        // halctl's restart scripts under valgrind
constexpr int kHalctlRestartsMany = 20;
