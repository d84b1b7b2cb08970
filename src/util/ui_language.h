// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "util/expected.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QTranslator;

// The language of the user-visible texts. The source texts are Simplified
// Chinese; "en" and "zh_TW" have translations. An empty language stands for
// the source texts.
namespace UiLanguage {

inline const QString English = QStringLiteral("en");
inline const QString Traditional = QStringLiteral("zh_TW");

// What --lang accepts, source language first.
QStringList names();

// The language for the user's preferred languages (QLocale::uiLanguages()),
// the first one we have deciding; none we have means the source texts.
QString fromLocales(const QStringList &uiLanguages);

// The language one name (a --lang value) asks for, or nothing when we have
// none that fits it.
std::optional<QString> fromName(const QString &name);

} // namespace UiLanguage

// Our translation and Qt's own for one language, loaded from the embedded
// resources and Qt's translations folder. Loading works before the
// application object exists; installing needs it.
class UiTranslators
{
public:
    explicit UiTranslators(const QString &language);
    ~UiTranslators();
    UiTranslators(const UiTranslators &) = delete;
    UiTranslators &operator=(const UiTranslators &) = delete;

    QString language() const { return m_language; }
    void install();
    // Translates with the loaded language even before it is installed.
    QString text(const char *context, const char *sourceText) const;

private:
    QString m_language;
    std::unique_ptr<QTranslator> m_own;
    std::unique_ptr<QTranslator> m_qt;
};

enum class LanguageProblem {
    Unknown, // a name we do not have (the detail)
};
using LanguageError = Failure<LanguageProblem>;

// Loads the language --lang names (option) or else the user's.
Expected<std::unique_ptr<UiTranslators>, LanguageError> loadUiLanguage(const std::optional<QString> &option);
// Why the name was refused, in the language of in (the user's, say).
QString languageProblemText(const UiTranslators &in, const LanguageError &error);
