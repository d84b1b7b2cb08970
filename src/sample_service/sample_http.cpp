// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_http.h"

#include <QString> // brings the string builder's + for byte arrays

#include <algorithm>
#include <cmath>

QByteArray toBytes(const std::string &text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

void setBody(httplib::Response &res, const QByteArray &body, const std::string &contentType)
{
    res.set_content(body.constData(), size_t(body.size()), contentType);
}

double numberParam(const httplib::Request &req, const char *key, double fallback, double low, double high)
{
    if (!req.has_param(key))
        return fallback;
    bool ok = false;
    const double value = toBytes(req.get_param_value(key)).toDouble(&ok);
    return ok && std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}

QByteArray statusPage(int code)
{
    const QByteArray number = QByteArray::number(code);
    const QByteArray text =
        code == 404 ? QByteArrayLiteral("页面不存在") : QByteArrayLiteral("服务暂时不可用，请稍后再试");
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + number +
           "</title></head>\n<body><h1>" + number + "</h1><p>" + text + "</p></body></html>\n";
}

void answerNotFound(httplib::Response &res)
{
    res.status = 404;
    setBody(res, statusPage(404), htmlType);
}
