// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace httplib {
class Server;
}
class SampleState;

// /file/KIND-N.EXT: the generated download bodies with their ranges,
// validators, drops and stalls (see SampleService).
void installDownloadRoute(httplib::Server &svr, SampleState &state);
