#include "listing/AdifExport.h"

#include "Version.h"
#include "entities/EntityTable.h"
#include "listing/AdifModes.h"
#include "listing/FileBeside.h"
#include "listing/GridRecordset.h"
#include "logbook/count/ColumnarLog.h"
#include "stats/EntityData.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <array>

namespace Adif {
namespace {

/// The LOG columns a record is made of, with the contact's member for each.
struct LogColumn {
    const char *name;
    QString AdifContact::*member;
};
const std::array<LogColumn, 14> Columns = {{
    {"Callsign", &AdifContact::callsign},
    {"TDate", &AdifContact::tdate},
    {"Banda", &AdifContact::band},
    {"Mode", &AdifContact::mode},
    {"MANAGER", &AdifContact::manager},
    {"S", &AdifContact::sent},
    {"R", &AdifContact::received},
    {"WPX", &AdifContact::wpx},
    {"WAZ", &AdifContact::waz},
    {"ITU", &AdifContact::itu},
    {"WAC", &AdifContact::wac},
    {"SQR", &AdifContact::sqr},
    {"DXC", &AdifContact::dxc},
    {"DIPTEXT", &AdifContact::diptext},
}};

/// The band labels of the band sets with the ADIF band of each.
const std::array<std::pair<const char *, const char *>, 20> BandLabels = {{
    {"0.134", "2190m"}, {"1.8", "160m"},  {"3.5", "80m"},   {"5.3", "60m"},  {"7.0", "40m"}, {"10.1", "30m"},   {"14.0", "20m"},
    {"18.1", "17m"},    {"21.0", "15m"},  {"24.9", "12m"},  {"28.0", "10m"}, {"50", "6m"},   {"70", "4m"},      {"144", "2m"},
    {"430", "70cm"},    {"1200", "23cm"}, {"2400", "13cm"}, {"5600", "6cm"}, {"10G", "3cm"}, {"24G", "1.25cm"},
}};

/// ADIF's own band names, which a log may hold as its band label too.
const char *const BandNames[] = {"2190m", "630m", "560m", "160m", "80m",    "60m", "40m", "30m",   "20m",  "17m",  "15m",
                                 "12m",   "10m",  "8m",   "6m",   "5m",     "4m",  "2m",  "1.25m", "70cm", "33cm", "23cm",
                                 "13cm",  "9cm",  "6cm",  "3cm",  "1.25cm", "6mm", "4mm", "2.5mm", "2mm",  "1mm",  "submm"};

QString adifBand(const QString &label)
{
    for (const auto &[log, adif] : BandLabels) {
        if (label.compare(QLatin1String(log), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(adif);
    }
    for (const char *name : BandNames) {
        if (label.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(name);
    }
    return {};
}

/// A whole number from `low` to `high`, written without leading zeros; empty when it is not one.
QString zone(const QString &text, int low, int high)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    if (!digits.match(text).hasMatch())
        return {};
    const int n = text.toInt();
    return n >= low && n <= high ? QString::number(n) : QString();
}

QString continent(const QString &text)
{
    const QString c = text.toUpper();
    static const QStringList known = {"NA", "SA", "EU", "AF", "OC", "AS", "AN"};
    return known.contains(c) ? c : QString();
}

bool isGridSquare(const QString &text)
{
    static const QRegularExpression grid(QStringLiteral("^[A-R]{2}([0-9]{2}([A-X]{2}([0-9]{2})?)?)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return grid.match(text).hasMatch();
}

/// ADIF's QSL_SENT (Y N R Q I) and QSL_RCVD (Y N R I) values of a log's S and R flags.
QString qslFlag(const QString &text, bool sent)
{
    const QString f = text.toUpper();
    const QStringList known = sent ? QStringList{"Y", "N", "R", "Q", "I"} : QStringList{"Y", "N", "R", "I"};
    return known.contains(f) ? f : QString();
}

/// The date and time of a TDate text ("yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss"),
/// as QSO_DATE and TIME_ON; nothing for a text of another shape or a date
/// before 1930, which ADIF does not take.
std::optional<std::pair<QString, QString>> dateAndTime(const QString &text)
{
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    QTime time(0, 0);
    if (text.size() != 10) {
        if (text.size() != 19 || text[10] != QLatin1Char(' '))
            return std::nullopt;
        time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
    }
    if (!date.isValid() || !time.isValid() || date.year() < 1930)
        return std::nullopt;
    return std::pair{date.toString(QStringLiteral("yyyyMMdd")), time.toString(QStringLiteral("HHmmss"))};
}

/// An award text that stands for a value: "??" is the log's "not known".
QString awardValue(const QString &text) { return text == QLatin1String("??") ? QString() : text; }

class RecordBuilder {
public:
    void add(const char *name, const QString &value)
    {
        if (!value.isEmpty())
            m_fields.push_back({QString::fromLatin1(name), value});
    }
    /// A value its ADIF field could not take, kept under its column's name.
    void keep(const char *column, const QString &value)
    {
        if (!value.isEmpty())
            m_kept.push_back({QStringLiteral("APP_VARKELCHECKER_") + QString::fromLatin1(column).toUpper(), value});
    }
    /// `adif` as field `name`, or the log's `value` kept when there is none.
    void addOrKeep(const char *name, const QString &adif, const char *column, const QString &value)
    {
        if (adif.isEmpty())
            keep(column, value);
        else
            add(name, adif);
    }
    std::vector<Field> take()
    {
        m_fields.insert(m_fields.end(), m_kept.begin(), m_kept.end());
        return std::move(m_fields);
    }

private:
    std::vector<Field> m_fields;
    std::vector<Field> m_kept;
};

void appendField(QByteArray &out, const QString &name, const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    out += '<';
    out += name.toLatin1();
    out += ':';
    out += QByteArray::number(bytes.size());
    out += '>';
    out += bytes;
}

} // namespace

QString version() { return QStringLiteral("3.1.6"); }

std::vector<Field> fields(const AdifContact &contact, const EntityTable &entities)
{
    RecordBuilder r;
    r.add("CALL", contact.callsign.trimmed());
    const QString tdate = contact.tdate.trimmed();
    if (const auto when = dateAndTime(tdate)) {
        r.add("QSO_DATE", when->first);
        r.add("TIME_ON", when->second);
    } else {
        r.keep("TDate", tdate);
    }
    const QString band = contact.band.trimmed();
    r.addOrKeep("BAND", adifBand(band), "Banda", band);
    const QString mode = contact.mode.trimmed();
    if (const auto adif = AdifModes::of(mode)) {
        r.add("MODE", adif->mode);
        r.add("SUBMODE", adif->submode);
    } else {
        r.keep("Mode", mode);
    }
    const QString sent = contact.sent.trimmed(), received = contact.received.trimmed();
    r.addOrKeep("QSL_SENT", qslFlag(sent, true), "S", sent);
    r.addOrKeep("QSL_RCVD", qslFlag(received, false), "R", received);
    r.add("QSL_VIA", contact.manager.trimmed());
    const QString wpx = contact.wpx.trimmed(), waz = contact.waz.trimmed(), itu = contact.itu.trimmed();
    const QString wac = contact.wac.trimmed(), sqr = contact.sqr.trimmed(), dxc = contact.dxc.trimmed();
    r.addOrKeep("PFX", awardValue(wpx), "WPX", wpx);
    r.addOrKeep("CQZ", zone(waz, 1, 40), "WAZ", waz);
    r.addOrKeep("ITUZ", zone(itu, 1, 90), "ITU", itu);
    r.addOrKeep("CONT", continent(wac), "WAC", wac);
    r.addOrKeep("GRIDSQUARE", isGridSquare(sqr) ? sqr : QString(), "SQR", sqr);
    const QByteArray dxcText = dxc.toUtf8();
    const DxccEntity *entity = dxc.isEmpty() ? nullptr : entities.lookup(std::string_view(dxcText.constData(), size_t(dxcText.size())));
    if (entity && entity->adif > 0) {
        r.add("DXCC", QString::number(entity->adif));
        r.add("COUNTRY", QString::fromStdString(entity->name));
    } else {
        r.keep("DXC", dxc);
    }
    r.add("APP_VARKELCHECKER_DIPTEXT", contact.diptext.trimmed());
    return r.take();
}

QByteArray document(const std::vector<AdifContact> &contacts, const EntityTable &entities, const QDateTime &createdUtc)
{
    QByteArray out = QByteArrayLiteral("ADIF export of VarkelChecker: ") + QByteArray::number(qsizetype(contacts.size())) +
                     QByteArrayLiteral(" contacts\n");
    appendField(out, QStringLiteral("ADIF_VER"), version());
    out += '\n';
    appendField(out, QStringLiteral("PROGRAMID"), QStringLiteral("VarkelChecker"));
    out += '\n';
    appendField(out, QStringLiteral("PROGRAMVERSION"), QStringLiteral(VARKEL_VERSION));
    out += '\n';
    appendField(out, QStringLiteral("CREATED_TIMESTAMP"), createdUtc.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss")));
    out += "\n<EOH>\n";
    for (const AdifContact &c : contacts) {
        bool first = true;
        for (const Field &f : fields(c, entities)) {
            if (!first)
                out += ' ';
            first = false;
            appendField(out, f.name, f.value);
        }
        out += first ? "<EOR>\n" : " <EOR>\n";
    }
    return out;
}

Status write(const QString &path, const std::vector<AdifContact> &contacts, const EntityTable &entities, const QDateTime &createdUtc)
{
    return writeFileBeside(path, document(contacts, entities, createdUtc));
}

Status write(const QString &path, const std::vector<AdifContact> &contacts)
{
    return write(path, contacts, EntityData::table(), QDateTime::currentDateTimeUtc());
}

std::vector<AdifContact> contactsOfRows(const ColumnarLog &log, const std::vector<size_t> &rows)
{
    std::array<int, Columns.size()> at{};
    for (size_t i = 0; i < Columns.size(); ++i) {
        const int c = log.findColumn(Columns[i].name);
        at[i] = c >= 0 && log.column(size_t(c)).text ? c : -1;
    }
    std::vector<AdifContact> out;
    out.reserve(rows.size());
    for (const size_t row : rows) {
        AdifContact &contact = out.emplace_back();
        for (size_t i = 0; i < Columns.size(); ++i) {
            if (at[i] < 0)
                continue;
            if (const auto v = log.value(size_t(at[i]), row))
                contact.*Columns[i].member = QString::fromUtf8(v->data(), qsizetype(v->size()));
        }
    }
    return out;
}

Result<std::vector<AdifContact>> contactsOfListing(const GridRecordset &rows)
{
    std::array<int, Columns.size()> at;
    at.fill(-1);
    for (int c = 0; c < rows.columnCount(); ++c) {
        for (size_t i = 0; i < Columns.size(); ++i) {
            if (rows.fieldName(c).compare(QLatin1String(Columns[i].name), Qt::CaseInsensitive) == 0 && at[i] < 0)
                at[i] = c;
        }
    }
    if (at[0] < 0 || at[1] < 0)
        return Result<std::vector<AdifContact>>::failure(
            QStringLiteral("the listing has no columns Callsign and TDate: it lists no contacts"));
    std::vector<AdifContact> out;
    out.reserve(size_t(rows.rowCount()));
    for (int r = 0; r < rows.rowCount(); ++r) {
        AdifContact &contact = out.emplace_back();
        for (size_t i = 0; i < Columns.size(); ++i) {
            if (at[i] >= 0)
                contact.*Columns[i].member = rows.text(r, at[i]);
        }
    }
    return out;
}

} // namespace Adif
