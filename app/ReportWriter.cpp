#include "ReportWriter.h"

#include "GridTexts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

namespace HeadlessReport {
namespace {

/// The lines after the bands, with their titles.
const std::pair<const char *, Line> Totals[] = {{"MIX", Line::Mix}, {"TOT", Line::Tot}, {"FULL", Line::Full}};

QStringList columnTitles(bool ft8)
{
    QStringList titles;
    for (int r = 0; r < Slots; ++r)
        titles << GridTexts::slotTitle(r, ft8);
    return titles;
}

QStringList lineCaptions(const StatsMatrix &m, Line line)
{
    QStringList values;
    for (int r = 0; r < Slots; ++r)
        values << m.caption(line, r);
    return values;
}

QStringList bandCaptions(const StatsMatrix &m, int band)
{
    QStringList values;
    for (int r = 0; r < Slots; ++r)
        values << m.cell(band, r);
    return values;
}

bool shown(const StatsMatrix &m, int band) { return !m.header(band).trimmed().isEmpty(); }

QString qsoTotal(const StatsMatrix &m) { return GridTexts::qsoCount(m.countQso()); }

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
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

/// The TOT line, with null for a slot none of whose cells was counted (the
/// window shows 0 there, the sum of nothing).
QJsonArray jsonTotals(const StatsMatrix &m)
{
    QJsonArray a;
    for (int r = 0; r < Slots; ++r) {
        bool counted = false;
        for (int c = 0; c < Bands && !counted; ++c)
            counted = !jsonCount(m.cell(c, r)).isNull();
        a << (counted ? jsonCount(m.caption(Line::Tot, r)) : QJsonValue(QJsonValue::Null));
    }
    return a;
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

    out << "VarkelChecker " << GridTexts::version() << " report: " << o.kind << "  LogBook: " << path << "  FT8: " << (o.ft8 ? "on" : "off") << '\n';
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
            row(m.header(c), bandCaptions(m, c));
    }
    for (const auto &[title, line] : Totals)
        row(QString::fromLatin1(title), lineCaptions(m, line));
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
            row(QStringList{"BAND", QString::number(c), m.header(c)} + bandCaptions(m, c));
    }
    for (const auto &[title, line] : Totals)
        row(QStringList{QString::fromLatin1(title), "", ""} + lineCaptions(m, line));
    QStringList qsos{"QSOS", "", "", qsoTotal(m)};
    while (qsos.size() < 3 + Slots)
        qsos << QString();
    row(qsos);
}

void writeJson(QTextStream &out, const Options &o, const QString &path, const StatsMatrix &m)
{
    QJsonObject root;
    root[QStringLiteral("kind")] = o.kind;
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
        band[QStringLiteral("counts")] = jsonCounts(bandCaptions(m, c));
        bands << band;
    }
    root[QStringLiteral("bands")] = bands;
    root[QStringLiteral("mix")] = jsonCounts(lineCaptions(m, Line::Mix));
    root[QStringLiteral("tot")] = jsonTotals(m);
    root[QStringLiteral("full")] = jsonCounts(lineCaptions(m, Line::Full));
    root[QStringLiteral("qsos")] = jsonCount(qsoTotal(m));
    out << QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace

void writeGrid(QTextStream &out, const Options &options, const QString &logbookPath, const StatsMatrix &matrix)
{
    switch (options.format) {
    case Format::Text:
        writeText(out, options, logbookPath, matrix);
        break;
    case Format::Csv:
        writeCsv(out, options, matrix);
        break;
    case Format::Json:
        writeJson(out, options, logbookPath, matrix);
        break;
    }
}

} // namespace HeadlessReport
