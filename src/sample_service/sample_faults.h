// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib
class SampleState;

// The faults a test can ask the sample service for (see SampleService).

// Answers as fault KIND would, with the request's parameters; false, and
// nothing answered, for an unknown kind.
bool serveFault(const std::string &kind, const httplib::Request &req, httplib::Response &res,
                SampleState &state);
// Answers with a fault set for a path, "KIND" or "KIND?PARAMS": the fault's
// own parameters stand in for the request's. An unknown kind gets a 404.
void serveSetFault(const QByteArray &fault, const httplib::Request &req, httplib::Response &res,
                   SampleState &state);
// /fault/KIND
void installFaultRoute(httplib::Server &svr, SampleState &state);
