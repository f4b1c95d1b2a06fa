#include "app/ReportWriter.h"

#include "bands/BandSet.h"
#include "listing/AdifExport.h"
#include "stats/CountSql.h"
#include "stats/EntityData.h"
#include "stats/GridTexts.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

namespace HeadlessReport {
namespace {

QStringList columnTitles(bool ft8)
{
    QStringList titles;
    for (int r = 0; r < Slots; ++r)
        titles << GridTexts::slotTitle(r, ft8);
    return titles;
}

bool shown(const StatsMatrix &m, int band) { return !BandSet::isBlank(m.header(band)); }

/// The QSO total, "-" when it was not counted.
QString qsoTotal(const StatsMatrix &m)
{
    const QString count = GridTexts::qsoCount(m.countQso());
    return count.isEmpty() ? QString::fromLatin1(GridTexts::NotComputed) : count;
}

QJsonValue jsonCount(const QString &caption)
{
    bool ok = false;
    const qlonglong n = caption.toLongLong(&ok);
    return ok ? QJsonValue(double(n)) : QJsonValue(QJsonValue::Null);
}

QJsonArray jsonCounts(const QStringList &captions)
{
    QJsonArray a;
    for (const QString &c : captions)
        a << jsonCount(c);
    return a;
}

/// The TOT line, "-" for a slot none of whose cells was counted (the window
/// shows 0 there, the sum of nothing).
QStringList totCaptions(const StatsMatrix &m)
{
    QStringList captions = m.lineCaptions(Line::Tot);
    for (int r = 0; r < Slots; ++r) {
        bool counted = false;
        for (int c = 0; c < Bands && !counted; ++c)
            counted = !jsonCount(m.cell(c, r)).isNull();
        if (!counted)
            captions[r] = QString::fromLatin1(GridTexts::NotComputed);
    }
    return captions;
}

/// A total line as it is printed: TOT as above, the others as they stand.
QStringList printedLine(const StatsMatrix &m, Line line) { return line == Line::Tot ? totCaptions(m) : m.lineCaptions(line); }

/// A JSON report: indented, or one line with its read time when watching.
void writeDocument(QTextStream &out, QJsonObject root, const QString &read)
{
    if (read.isEmpty()) {
        out << QJsonDocument(root).toJson(QJsonDocument::Indented);
        return;
    }
    root[QStringLiteral("read")] = read;
    out << QJsonDocument(root).toJson(QJsonDocument::Compact) << '\n';
}

/// The line before each text or csv report of a logbook being watched.
void writeReadLine(QTextStream &out, const Options &o, const QString &read)
{
    if (read.isEmpty() || o.format == Format::Json)
        return;
    if (o.format == Format::Csv)
        out << "READ," << read << '\n';
    else
        out << "=== read " << read << " ===" << '\n';
}

void writeText(QTextStream &out, const Options &o, const QString &path, const StatsMatrix &m)
{
    constexpr int BandWidth = 7;
    constexpr int CountWidth = 6;
    const auto row = [&](const QString &label, const QStringList &values) {
        QString line = label.leftJustified(BandWidth);
        for (int r = 0; r < Slots; ++r) {
            if (mode(r) == ModeClass::Cw)
                line += QStringLiteral(" |");
            line += values[r].rightJustified(CountWidth);
        }
        out << line << '\n';
    };

    out << "VarkelChecker " << GridTexts::version() << " report: " << GridTexts::kindCaption(o.kind) << "  LogBook: " << path
        << "  FT8: " << (o.ft8 ? "on" : "off") << '\n';
    QString head = QString().leftJustified(BandWidth);
    for (const QString &b : GridTexts::blockTitles()) {
        const int pad = 4 * CountWidth - int(b.size());
        head += QStringLiteral(" |") + QString(pad - pad / 2, QLatin1Char(' ')) + b + QString(pad / 2, QLatin1Char(' '));
    }
    while (head.endsWith(QLatin1Char(' ')))
        head.chop(1);
    out << head << '\n';
    const QStringList modes = GridTexts::modeTitles(GridTexts::dataCaption(o.ft8));
    row(QStringLiteral("BAND"), modes + modes + modes + modes);
    for (int c = 0; c < Bands; ++c) {
        if (shown(m, c))
            row(m.header(c), m.bandCaptions(c));
    }
    for (const auto &[title, line] : StatsMatrix::totalLines())
        row(QString::fromLatin1(title), printedLine(m, line));
    out << GridTexts::qsoCaption(qsoTotal(m)) << '\n';
}

void writeCsv(QTextStream &out, const Options &o, const StatsMatrix &m)
{
    const auto row = [&](const QStringList &fields) {
        QStringList quoted;
        for (const QString &f : fields)
            quoted << csvField(f);
        out << quoted.join(QLatin1Char(',')) << '\n';
    };
    row(QStringList{"line", "position", "band"} + columnTitles(o.ft8));
    for (int c = 0; c < Bands; ++c) {
        if (shown(m, c))
            row(QStringList{"BAND", QString::number(c), m.header(c)} + m.bandCaptions(c));
    }
    for (const auto &[title, line] : StatsMatrix::totalLines())
        row(QStringList{QString::fromLatin1(title), "", ""} + printedLine(m, line));
    QStringList qsos{"QSOS", "", "", qsoTotal(m)};
    while (qsos.size() < 3 + Slots)
        qsos << QString();
    row(qsos);
}

void writeJson(QTextStream &out, const Options &o, const QString &path, const StatsMatrix &m, const QString &read)
{
    QJsonObject root;
    root[QStringLiteral("kind")] = GridTexts::kindCaption(o.kind);
    root[QStringLiteral("logbook")] = path;
    root[QStringLiteral("ft8")] = o.ft8;
    root[QStringLiteral("columns")] = QJsonArray::fromStringList(columnTitles(o.ft8));
    QJsonArray bands;
    for (int c = 0; c < Bands; ++c) {
        if (!shown(m, c))
            continue;
        QJsonObject band;
        band[QStringLiteral("position")] = c;
        band[QStringLiteral("band")] = m.header(c);
        band[QStringLiteral("counts")] = jsonCounts(m.bandCaptions(c));
        bands << band;
    }
    root[QStringLiteral("bands")] = bands;
    root[QStringLiteral("mix")] = jsonCounts(m.lineCaptions(Line::Mix));
    root[QStringLiteral("tot")] = jsonCounts(totCaptions(m));
    root[QStringLiteral("full")] = jsonCounts(m.lineCaptions(Line::Full));
    root[QStringLiteral("qsos")] = jsonCount(qsoTotal(m));
    writeDocument(out, root, read);
}

const ModeClass AllClasses[] = {ModeClass::Cw, ModeClass::Phone, ModeClass::Data, ModeClass::All};

QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QString classTitle(ModeClass m, bool ft8) { return GridTexts::modeTitles(GridTexts::dataCaption(ft8))[int(m)]; }

QJsonObject contactJson(const Chase::Contact &c)
{
    return QJsonObject{{"callsign", q(c.callsign)}, {"date", q(c.date)},       {"band", q(c.band)},
                       {"mode", q(c.mode)},         {"manager", q(c.manager)}, {"diptext", q(c.diptext)}};
}

/// An entity of a DXC list with its name ("name": null for a text that matches
/// no entity); the other kinds' entities as they are.
QJsonObject named(QJsonObject entity, AwardKind kind)
{
    if (kind == AwardKind::Dxc) {
        const QString name = EntityData::nameOf(entity.value(QStringLiteral("entity")).toString());
        entity[QStringLiteral("name")] = name.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(name);
    }
    return entity;
}

/// Per band of the set and mode class, the entries of one list that belong there.
template<typename Entry, typename F>
void perBandAndClass(const std::vector<Entry> &entries, const Needed::Report &r, F &&each)
{
    for (int p = 0; p < r.headers.size(); ++p) {
        if (BandSet::isBlank(r.headers[p]))
            continue;
        for (const ModeClass m : AllClasses) {
            std::vector<const Entry *> found;
            for (const Entry &e : entries) {
                if (e.position == p && e.mode == m)
                    found.push_back(&e);
            }
            each(p, m, found);
        }
    }
}

void writeNeededJson(QTextStream &out, const Options &o, const QString &path, const LogSnapshot &log, const Needed::Report &r,
                     const QString &read)
{
    QJsonArray qsl, bandSlots;
    perBandAndClass(r.chase.qsl, r, [&](int p, ModeClass m, const std::vector<const Chase::QslEntry *> &found) {
        QJsonArray entities;
        for (const Chase::QslEntry *e : found) {
            QJsonArray contacts;
            const Chase::ContactReader contact(log.columnar());
            for (const size_t row : e->rows)
                contacts << contactJson(contact(row));
            entities << named(QJsonObject{{"entity", q(e->entity)}, {"contacts", contacts}}, o.kind);
        }
        qsl << QJsonObject{
            {"position", p}, {"band", r.headers[p]}, {"class", classTitle(m, o.ft8)}, {"count", int(found.size())}, {"entities", entities}};
    });
    perBandAndClass(r.chase.bandSlots, r, [&](int p, ModeClass m, const std::vector<const Chase::SlotEntry *> &found) {
        QJsonArray entities;
        for (const Chase::SlotEntry *e : found) {
            QJsonArray bands;
            for (const std::string_view b : e->workedOn)
                bands << q(b);
            entities << named(QJsonObject{{"entity", q(e->entity)}, {"confirmed", e->confirmed}, {"workedOn", bands}}, o.kind);
        }
        bandSlots << QJsonObject{
            {"position", p}, {"band", r.headers[p]}, {"class", classTitle(m, o.ft8)}, {"count", int(found.size())}, {"entities", entities}};
    });
    const QJsonObject root{
        {"kind", GridTexts::kindCaption(o.kind)}, {"logbook", path}, {"ft8", o.ft8}, {"qsl", qsl}, {"bandSlots", bandSlots}};
    writeDocument(out, root, read);
}

void writeTable(QTextStream &out, const QString &list, const QueryTable &table, bool csv)
{
    const auto line = [&](QStringList fields) {
        if (csv) {
            for (QString &f : fields)
                f = csvField(f);
        }
        out << fields.join(csv ? QStringLiteral(",") : QStringLiteral("\t")) << '\n';
    };
    line(QStringList{QStringLiteral("list")} + table.fields);
    for (qsizetype r = 0; r < table.rowCount(); ++r) {
        QStringList fields{list};
        for (qsizetype c = 0; c < table.columnCount(); ++c)
            fields << table.at(r, c);
        line(fields);
    }
}

} // namespace

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void writeNeeded(QTextStream &out, const Options &options, const QString &logbookPath, const LogSnapshot &log, const Needed::Report &report,
                 const QString &read)
{
    if (options.format == Format::Adif) {
        const std::vector<AdifContact> contacts = Adif::contactsOfRows(log.columnar(), Needed::qslContacts(report.chase));
        out << QString::fromUtf8(Adif::document(contacts, EntityData::table(), QDateTime::currentDateTimeUtc()));
        return;
    }
    writeReadLine(out, options, read);
    if (options.format == Format::Json) {
        writeNeededJson(out, options, logbookPath, log, report, read);
        return;
    }
    const bool csv = options.format == Format::Csv;
    if (!csv)
        out << "VarkelChecker " << GridTexts::version() << " needed: " << GridTexts::kindCaption(options.kind)
            << "  LogBook: " << logbookPath << "  FT8: " << (options.ft8 ? "on" : "off") << '\n';
    writeTable(out, QStringLiteral("QSL"), report.tables.qsl, csv);
    writeTable(out, QStringLiteral("SLOT"), report.tables.bandSlots, csv);
}

void writeGrid(QTextStream &out, const Options &options, const QString &logbookPath, const StatsMatrix &matrix, const QString &read)
{
    writeReadLine(out, options, read);
    switch (options.format) {
    case Format::Text:
        writeText(out, options, logbookPath, matrix);
        break;
    case Format::Csv:
        writeCsv(out, options, matrix);
        break;
    case Format::Json:
        writeJson(out, options, logbookPath, matrix, read);
        break;
    case Format::Adif: // the grid holds no contacts: the arguments take adif with --needed only
        break;
    }
}

} // namespace HeadlessReport
