// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace httplib {
class Server;
}
class SampleState;

// Every route of the sample service (see SampleService), answering from
// state: the sound info, pages, home page, version file, covers and audio,
// the downloads and the faults; before any of them a request is recorded,
// held at a closed gate and sent into a fault set for its path.
void installSampleRoutes(httplib::Server &svr, SampleState &state);
