// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/name_template.h"

#include "download/download_file_name.h"

#include <QCoreApplication>
#include <QList>

#include <optional>

namespace {

enum class Field { Singer, Name, Id, Date, Ext, ShortName, ShortSinger };

struct FieldName
{
    QStringView name;
    Field field;
};

constexpr FieldName FieldNames[] = {
    {u"singer", Field::Singer},
    {u"name", Field::Name},
    {u"id", Field::Id},
    {u"date", Field::Date},
    {u"ext", Field::Ext},
    {u"shortname", Field::ShortName},
    {u"shortsinger", Field::ShortSinger},
};

struct Piece
{
    std::optional<Field> field; // literal text when unset
    QString text;
};

using Part = QList<Piece>;

using Parsed = QList<Part>; // split at "/"

Expected<Parsed, TemplateFailure> parse(const QString &pattern)
{
    if (pattern.trimmed().isEmpty())
        return unexpected(TemplateProblem::Empty);
    Parsed parts{Part()};
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'/') {
            parts.append(Part());
        } else if (c == u'{') {
            const qsizetype end = pattern.indexOf(u'}', i + 1);
            if (end < 0)
                return unexpected(TemplateProblem::UnclosedBrace);
            const QStringView name = QStringView(pattern).mid(i + 1, end - i - 1);
            const auto known = std::find_if(std::begin(FieldNames), std::end(FieldNames),
                                            [&](const FieldName &f) { return f.name == name; });
            if (known == std::end(FieldNames))
                return unexpected(TemplateProblem::UnknownField, name.toString());
            parts.last().append({known->field, {}});
            i = end;
        } else {
            Part &part = parts.last();
            if (part.isEmpty() || part.last().field)
                part.append({std::nullopt, {}});
            part.last().text += c;
        }
    }
    // The file itself needs a name: a field, or literal text that stays.
    const Part &last = parts.constLast();
    const bool named = std::any_of(last.begin(), last.end(),
                                   [](const Piece &p) { return p.field || !safeFileName(p.text).isEmpty(); });
    if (!named)
        return unexpected(TemplateProblem::NoFileName);
    return parts;
}

QString valueOf(Field field, const NameFields &fields)
{
    switch (field) {
    case Field::Singer:
        return fields.singer;
    case Field::Name:
        return fields.name;
    case Field::Id:
        return fields.id;
    case Field::Date:
        return fields.publishTime.left(10);
    case Field::Ext:
        return fileExtensionOf(fields.fileUrl).mid(1);
    case Field::ShortName:
        return fields.shortName;
    case Field::ShortSinger:
        return fields.shortSinger;
    }
    return {};
}

// The part's text; an empty field takes the text joining it to the next
// field (or else to the one before) with it, so no " - " hangs alone.
QString render(Part part, const NameFields &fields)
{
    for (Piece &piece : part) {
        if (piece.field)
            piece.text = valueOf(*piece.field, fields);
    }
    for (qsizetype i = 0; i < part.size();) {
        if (!part.at(i).field || !part.at(i).text.isEmpty()) {
            ++i;
            continue;
        }
        if (i + 2 < part.size() && !part.at(i + 1).field && part.at(i + 2).field) {
            part.removeAt(i + 1);
        } else if (i >= 2 && !part.at(i - 1).field && part.at(i - 2).field) {
            part.removeAt(i - 1);
            --i;
        }
        part.removeAt(i);
    }
    QString text;
    for (const Piece &piece : part)
        text += piece.text;
    return text;
}

} // namespace

QString templateProblemText(const TemplateFailure &failure)
{
    switch (failure.reason) {
    case TemplateProblem::Empty:
        return QCoreApplication::translate("NameTemplate", "模板是空的");
    case TemplateProblem::UnclosedBrace:
        return QCoreApplication::translate("NameTemplate", "“{” 没有对应的 “}”");
    case TemplateProblem::UnknownField:
        return QCoreApplication::translate("NameTemplate", "未知字段 {%1}").arg(failure.detail);
    case TemplateProblem::NoFileName:
        return QCoreApplication::translate("NameTemplate", "去掉不可用的字符后不剩文件名");
    }
    return {};
}

Expected<void, TemplateFailure> checkNameTemplate(const QString &pattern)
{
    if (auto parsed = parse(pattern); !parsed)
        return Unexpected(parsed.error());
    return {};
}

Expected<QString, TemplateFailure> templatedFileName(const QString &pattern, const NameFields &fields)
{
    const auto parsed = parse(pattern);
    if (!parsed)
        return Unexpected(parsed.error());
    QString path;
    for (qsizetype i = 0; i + 1 < parsed->size(); ++i) {
        const QString folder = safeFileName(render(parsed->at(i), fields));
        if (!folder.isEmpty())
            path += folder + u'/';
    }
    const Part &last = parsed->constLast();
    const bool placesExt =
        std::any_of(last.begin(), last.end(), [](const Piece &p) { return p.field == Field::Ext; });
    const QString extension = placesExt ? QString() : fileExtensionOf(fields.fileUrl);
    return QString(path + safeSoundFileName(render(last, fields), extension));
}
