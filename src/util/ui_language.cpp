// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

const char *const BadLanguageText = QT_TRANSLATE_NOOP("UiLanguage", "--lang: 不支持的语言“%1”，可用的有：%2");

} // namespace

namespace UiLanguage {

namespace {

enum class Match { Source, English, Traditional, None };

// One locale name such as "zh-Hant-HK", "en_GB", "de-DE" or "C.UTF-8".
Match match(const QString &name)
{
    const QStringList parts = QString(name).replace(u'-', u'_').section(u'.', 0, 0).split(u'_');
    const QString language = parts.first().toLower();
    if (language == QLatin1String("c") || language == QLatin1String("posix"))
        return Match::Source;
    if (language == QLatin1String("en"))
        return Match::English;
    if (language != QLatin1String("zh"))
        return Match::None;
    // A script, when given, decides; else the regions that write Traditional.
    for (const QString &part : parts.mid(1)) {
        const QString upper = part.toUpper();
        if (upper == QLatin1String("HANT") || upper == QLatin1String("TW") || upper == QLatin1String("HK") ||
            upper == QLatin1String("MO"))
            return Match::Traditional;
        if (upper == QLatin1String("HANS"))
            return Match::Source;
    }
    return Match::Source;
}

std::optional<QString> languageOf(Match m)
{
    switch (m) {
    case Match::Source:
        return QString();
    case Match::English:
        return English;
    case Match::Traditional:
        return Traditional;
    case Match::None:
        break;
    }
    return std::nullopt;
}

} // namespace

QStringList names()
{
    return {QStringLiteral("zh_CN"), Traditional, English};
}

QString fromLocales(const QStringList &uiLanguages)
{
    for (const QString &name : uiLanguages) {
        if (const std::optional<QString> language = languageOf(match(name)))
            return *language;
    }
    return {};
}

std::optional<QString> fromName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return std::nullopt;
    return languageOf(match(name.trimmed()));
}

} // namespace UiLanguage

UiTranslators::UiTranslators(const QString &language)
    : m_language(language)
{
    // The source texts need no translation of ours, but Qt's own buttons and
    // dialogs are English until given the source language too.
    if (!language.isEmpty()) {
        m_own = std::make_unique<QTranslator>();
        if (!m_own->load(QStringLiteral(":/i18n/vexa-helper_") + language))
            m_own.reset();
    }
    const QString qtLanguage = language.isEmpty() ? QStringLiteral("zh_CN") : language;
    m_qt = std::make_unique<QTranslator>();
    // Absent when the package is not installed; English has none.
    if (!m_qt->load(QStringLiteral("qtbase_") + qtLanguage,
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        m_qt.reset();
}

UiTranslators::~UiTranslators() = default;

void UiTranslators::install()
{
    for (QTranslator *translator : {m_qt.get(), m_own.get()}) {
        if (translator)
            QCoreApplication::installTranslator(translator);
    }
}

QString UiTranslators::text(const char *context, const char *sourceText) const
{
    const QString translated = m_own ? m_own->translate(context, sourceText) : QString();
    return translated.isEmpty() ? QString::fromUtf8(sourceText) : translated;
}

namespace {

// As gettext does, a C messages locale outranks LANGUAGE, which Qt's list
// would put first.
QStringList usersLanguages()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (value.isEmpty())
            continue;
        if (value == QLatin1String("C") || value.startsWith(QLatin1String("C.")) ||
            value == QLatin1String("POSIX"))
            return {value};
        break;
    }
    return QLocale::system().uiLanguages();
}

} // namespace

Expected<std::unique_ptr<UiTranslators>, LanguageError> loadUiLanguage(const std::optional<QString> &option)
{
    if (!option)
        return std::make_unique<UiTranslators>(UiLanguage::fromLocales(usersLanguages()));
    if (const std::optional<QString> asked = UiLanguage::fromName(*option))
        return std::make_unique<UiTranslators>(*asked);
    return unexpected(LanguageProblem::Unknown, *option);
}

QString languageProblemText(const UiTranslators &in, const LanguageError &error)
{
    return in.text("UiLanguage", BadLanguageText)
        .arg(error.detail, UiLanguage::names().join(QStringLiteral(", ")));
}
