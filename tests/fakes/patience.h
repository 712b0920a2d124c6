// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How long a test waits for another process, a server or a bus before it calls the other side
// hung. Far beyond what any of them takes on a machine whose cores are all busy, so that a test
// fails on a hang and never on a slow machine; a wait ends as soon as its condition holds.
constexpr int PatienceMs = 60000;
