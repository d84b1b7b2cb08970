// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include <httplib.h>

#include <string>

// Small pieces every handler of the sample service uses.

inline constexpr char jsonType[] = "application/json; charset=utf-8";
inline constexpr char htmlType[] = "text/html; charset=utf-8";
inline constexpr char textType[] = "text/plain; charset=utf-8";

QByteArray toBytes(const std::string &text);
void setBody(httplib::Response &res, const QByteArray &body, const std::string &contentType);
// A number from the query, clamped to [low, high]; fallback when absent or not a number.
double numberParam(const httplib::Request &req, const char *key, double fallback, double low, double high);
// The service's own error page for a status.
QByteArray statusPage(int code);
void answerNotFound(httplib::Response &res);
