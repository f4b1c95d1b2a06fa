#include "app/MatrixWriter.h"

#include "app/ReportWriter.h"
#include "stats/GridTexts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace HeadlessReport {
namespace {

using MatrixReport::Report;
using MatrixReport::Row;

QString classTitle(const Report &r) { return GridTexts::modeTitles(GridTexts::dataCaption(r.ft8))[int(r.mode)]; }

bool named(const Report &r) { return r.dxcc.has_value(); }

/// The fields of a line: entity (name, continent), one per band, worked, confirmed.
QStringList headLine(const Report &r)
{
    QStringList fields{QStringLiteral("ENTITY")};
    if (named(r))
        fields << QStringLiteral("NAME") << QStringLiteral("CONT");
    return fields + r.bands + QStringList{QStringLiteral("WORKED"), QStringLiteral("CONFIRMED")};
}

QStringList entityLine(const Report &r, const Row &row)
{
    QStringList fields{row.entity};
    if (named(r))
        fields << row.name << row.continent;
    for (const AwardMatrix::Cell c : row.cells)
        fields << MatrixReport::cellText(c);
    return fields << QString::number(row.worked) << QString::number(row.confirmed);
}

QStringList totalLine(const Report &r, const QString &title, const std::vector<long> &totals)
{
    QStringList fields{title};
    if (named(r))
        fields << QString() << QString();
    for (const long n : totals)
        fields << QString::number(n);
    return fields << QString() << QString();
}

QStringList dxccLine(const QString &what, long all, long current, long deleted, long unknown)
{
    return {QStringLiteral("DXCC"),  what, QString::number(all), QString::number(current), QString::number(deleted),
            QString::number(unknown)};
}

void writeText(QTextStream &out, const Options &o, const QString &path, const Report &r)
{
    out << "VarkelChecker " << GridTexts::version() << " matrix: " << r.kind << "  CLASS: " << classTitle(r) << "  LogBook: " << path
        << "  FT8: " << (o.ft8 ? "on" : "off") << '\n';
    if (r.dxcc)
        out << MatrixReport::dxccFigures(*r.dxcc) << '\n';
    std::vector<QStringList> lines{headLine(r)};
    for (const Row &row : r.rows)
        lines.push_back(entityLine(r, row));
    lines.push_back(totalLine(r, QStringLiteral("WORKED"), r.columnWorked));
    lines.push_back(totalLine(r, QStringLiteral("CONFIRMED"), r.columnConfirmed));
    // Every column as wide as its widest text, two blanks apart.
    std::vector<qsizetype> width(size_t(lines.front().size()), 0);
    for (const QStringList &l : lines) {
        for (qsizetype c = 0; c < l.size(); ++c)
            width[size_t(c)] = std::max(width[size_t(c)], l[c].size());
    }
    // The WORKED and CONFIRMED titles of the total lines stand in the first column.
    width[0] = std::max<qsizetype>(width[0], QStringLiteral("CONFIRMED").size());
    for (const QStringList &l : lines) {
        QString text;
        for (qsizetype c = 0; c < l.size(); ++c)
            text += l[c].leftJustified(width[size_t(c)] + 2);
        out << text.trimmed() << '\n';
    }
}

void writeCsv(QTextStream &out, const Report &r)
{
    const auto line = [&](const QStringList &fields) {
        QStringList quoted;
        for (const QString &f : fields)
            quoted << csvField(f);
        out << quoted.join(QLatin1Char(',')) << '\n';
    };
    line(QStringList{QStringLiteral("line")} + headLine(r));
    for (const Row &row : r.rows)
        line(QStringList{QStringLiteral("ENTITY")} + entityLine(r, row));
    line(QStringList{QStringLiteral("WORKED")} + totalLine(r, QString(), r.columnWorked));
    line(QStringList{QStringLiteral("CONFIRMED")} + totalLine(r, QString(), r.columnConfirmed));
    if (const auto &d = r.dxcc) {
        line(dxccLine(QStringLiteral("WORKED"), d->worked, d->workedCurrent, d->workedDeleted, d->workedUnknown));
        line(dxccLine(QStringLiteral("CONFIRMED"), d->confirmed, d->confirmedCurrent, d->confirmedDeleted, d->confirmedUnknown));
        line({QStringLiteral("CHALLENGE"), QString::number(d->challenge)});
    }
}

void writeJson(QTextStream &out, const Options &o, const QString &path, const Report &r)
{
    QJsonArray bands;
    for (qsizetype c = 0; c < r.bands.size(); ++c) {
        bands << QJsonObject{{"position", r.positions[size_t(c)]},
                             {"band", r.bands[c]},
                             {"worked", double(r.columnWorked[size_t(c)])},
                             {"confirmed", double(r.columnConfirmed[size_t(c)])}};
    }
    QJsonArray entities;
    for (const Row &row : r.rows) {
        QJsonArray cells;
        for (const AwardMatrix::Cell c : row.cells)
            cells << MatrixReport::cellText(c);
        QJsonObject e{{"entity", row.entity}, {"cells", cells}, {"worked", row.worked}, {"confirmed", row.confirmed}};
        if (named(r)) {
            e[QStringLiteral("name")] = row.name.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(row.name);
            e[QStringLiteral("continent")] = row.continent.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(row.continent);
            e[QStringLiteral("deleted")] = row.deleted;
        }
        entities << e;
    }
    QJsonObject root{{"kind", r.kind}, {"logbook", path}, {"class", classTitle(r)},
                     {"ft8", o.ft8},   {"bands", bands},  {"entities", entities}};
    if (const auto &d = r.dxcc) {
        const auto figures = [](long all, long current, long deleted, long unknown) {
            return QJsonObject{
                {"all", double(all)}, {"current", double(current)}, {"deleted", double(deleted)}, {"noEntity", double(unknown)}};
        };
        root[QStringLiteral("dxcc")] =
            QJsonObject{{"worked", figures(d->worked, d->workedCurrent, d->workedDeleted, d->workedUnknown)},
                        {"confirmed", figures(d->confirmed, d->confirmedCurrent, d->confirmedDeleted, d->confirmedUnknown)},
                        {"challenge", double(d->challenge)}};
    }
    out << QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace

void writeMatrix(QTextStream &out, const Options &options, const QString &logbookPath, const MatrixReport::Report &report)
{
    switch (options.format) {
    case Format::Text:
        writeText(out, options, logbookPath, report);
        break;
    case Format::Csv:
        writeCsv(out, report);
        break;
    case Format::Json:
        writeJson(out, options, logbookPath, report);
        break;
    case Format::Adif: // contacts only: refused with --matrix
        break;
    }
}

} // namespace HeadlessReport
