#include "ReportArguments.h"

#include "BandPresets.h"
#include "Computations.h"
#include "CountSlot.h"
#include "MatrixReport.h"
#include "StatsMatrix.h"

#include <QCommandLineParser>
#include <string_view>

namespace HeadlessReport {
namespace {

using R = Result<Options>;

Result<Format> formatNamed(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("text"))
        return Format::Text;
    if (n == QLatin1String("csv"))
        return Format::Csv;
    if (n == QLatin1String("json"))
        return Format::Json;
    if (n == QLatin1String("adif"))
        return Format::Adif;
    return Result<Format>::failure(QStringLiteral("unknown format: %1 (text, csv, json or adif)").arg(n));
}

/// Band headers by position: "14.0,,28.0" leaves position 1 blank, as the window can.
Result<QStringList> bandList(const QString &list)
{
    QStringList bands;
    for (const QString &b : list.split(QLatin1Char(',')))
        bands << b.trimmed();
    while (!bands.isEmpty() && bands.constLast().isEmpty())
        bands.removeLast();
    if (bands.size() > CountSlotIndex::Bands)
        return Result<QStringList>::failure(QStringLiteral("at most %1 bands").arg(CountSlotIndex::Bands));
    while (bands.size() < CountSlotIndex::Bands)
        bands << QString();
    return bands;
}

Result<QStringList> headersOf(const QCommandLineParser &p)
{
    const QStringList presets = p.values(QStringLiteral("preset"));
    const QStringList lists = p.values(QStringLiteral("bands"));
    if (presets.size() + lists.size() > 1)
        return Result<QStringList>::failure(QStringLiteral("give either --preset or --bands, once"));
    if (!lists.isEmpty())
        return bandList(lists.first());
    if (presets.isEmpty())
        return StatsMatrix::startupBands();
    const BandPreset *preset = BandPresets::find(presets.first());
    if (!preset)
        return Result<QStringList>::failure(QStringLiteral("unknown band preset: %1").arg(presets.first()));
    return BandPresets::headersAfter(*preset, StatsMatrix::startupBands());
}

} // namespace

QString usage()
{
    QString presets;
    for (const BandPreset &p : BandPresets::all())
        presets += QStringLiteral("                          \"%1\"\n").arg(p.caption);
    return QStringLiteral("Usage: varkelchecker [LOGBOOK]\n"
                          "       varkelchecker --report KIND [--preset NAME | --bands LIST] [--ft8]\n"
                          "                     [--format text|csv|json] [--watch] LOGBOOK\n"
                          "       varkelchecker --needed KIND [the same options | --format adif] LOGBOOK\n"
                          "       varkelchecker --matrix KIND [--class CW|PHONE|DATA|MIX]\n"
                          "                     [--preset NAME | --bands LIST] [--ft8]\n"
                          "                     [--format text|csv|json] LOGBOOK\n"
                          "\n"
                          "Without --report, --needed or --matrix the main window opens, with\n"
                          "LOGBOOK loaded when given.\n"
                          "\n"
                          "--report prints the statistics of one award kind without a window: the\n"
                          "band lines (band and its 16 counts: WORKED, CONFIRMED, NOT CONFIRMED and\n"
                          "AWARD, each for CW, PHONE, DATA and MIX), the MIX, TOT and FULL lines and\n"
                          "the number of QSOs, counted exactly as the award buttons count them.\n"
                          "\n"
                          "--needed prints what the award still needs (the NEEDED window): per band\n"
                          "and mode class, the entities worked but not confirmed with the contacts\n"
                          "that could confirm them (as many as the NOT CONFIRMED count), and the\n"
                          "entities worked elsewhere but never on the band. KIND is an award kind.\n"
                          "With --format adif it writes every contact of the QSL chase (each\n"
                          "once) as an ADIF 3.1 file (.adi, UTF-8) on standard output.\n"
                          "\n"
                          "--matrix prints the award matrix (the MATRIX window): a line per entity\n"
                          "of the log with C (confirmed), W (worked, not confirmed) or nothing per\n"
                          "band in one mode class, the bands worked and confirmed per entity and\n"
                          "per band (the grid's WORKED and CONFIRMED); for DXC also the names, the\n"
                          "continents and the DXCC figures: entities worked and confirmed in all\n"
                          "(the FULL line), of which current and deleted, and the DXCC Challenge\n"
                          "(confirmed band slots of current entities on 1.8 to 50 MHz without\n"
                          "5 MHz, every mode, whatever the band set). KIND is an award kind.\n"
                          "\n"
                          "  KIND                    DXC, WPX, WAZ, ITU, WAC, SQR or QSO\n"
                          "  --preset NAME           band set of a BAND menu entry, by caption\n"
                          "                          (case does not matter):\n") +
           presets +
           QStringLiteral("  --bands LIST            band labels separated by commas, e.g.\n"
                          "                          \"14.0,21.0,28.0\" (at most 20); an empty\n"
                          "                          label leaves its position blank. Labels are\n"
                          "                          matched with the log's band column by LIKE\n"
                          "                          (case does not matter, * and ? are wildcards)\n"
                          "                          Without --preset or --bands the start-up\n"
                          "                          band set is used.\n"
                          "  --ft8                   DATA counts FT8 contacts only\n"
                          "  --class CLASS           --matrix: CW, PHONE, DATA or MIX (default)\n"
                          "  --format FORMAT         text (default), csv or json; adif with --needed\n"
                          "  LOGBOOK                 a path, or a name without folder looked for\n"
                          "                          beside the program (then in the current\n"
                          "                          folder); \".mdb\" is added when missing\n"
                          "  --watch                 print the report, then again each time the\n"
                          "                          logbook has changed and has been read whole,\n"
                          "                          until Ctrl+C (SIGINT) or SIGTERM; each report\n"
                          "                          follows a line with the time it was read\n"
                          "                          (json: one object per line with the field\n"
                          "                          \"read\"). A failed read is told on standard\n"
                          "                          error and watching goes on.\n"
                          "  --help                  this text\n"
                          "\n"
                          "Counts not computed print as \"-\" (null in json). Messages go to\n"
                          "standard error. Exit status: 0 done, 1 a computation failed (its\n"
                          "message is on standard error), 2 wrong arguments.\n");
}

bool wanted(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h")
            return true;
        for (const std::string_view o : {"--report", "--needed", "--matrix"}) {
            if (a.substr(0, o.size()) == o && (a.size() == o.size() || a[o.size()] == '='))
                return true;
        }
    }
    return false;
}

Result<Options> parseArguments(const QStringList &arguments)
{
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    p.addOptions({{QStringLiteral("report"), QString(), QStringLiteral("KIND")},
                  {QStringLiteral("needed"), QString(), QStringLiteral("KIND")},
                  {QStringLiteral("matrix"), QString(), QStringLiteral("KIND")},
                  {QStringLiteral("class"), QString(), QStringLiteral("CLASS")},
                  {QStringLiteral("preset"), QString(), QStringLiteral("NAME")},
                  {QStringLiteral("bands"), QString(), QStringLiteral("LIST")},
                  {QStringLiteral("format"), QString(), QStringLiteral("FORMAT")},
                  {QStringLiteral("ft8"), QString()},
                  {QStringLiteral("watch"), QString()},
                  {{QStringLiteral("h"), QStringLiteral("help")}, QString()}});
    if (!p.parse(QStringList{QStringLiteral("varkelchecker")} + arguments))
        return R::failure(p.errorText());

    Options o;
    o.help = p.isSet(QStringLiteral("help"));
    if (o.help)
        return o;
    o.needed = p.isSet(QStringLiteral("needed"));
    o.matrix = p.isSet(QStringLiteral("matrix"));
    if (int(o.needed) + int(o.matrix) + int(p.isSet(QStringLiteral("report"))) > 1)
        return R::failure(QStringLiteral("give one of --report, --needed and --matrix"));
    const QString what = o.needed ? QStringLiteral("needed") : o.matrix ? QStringLiteral("matrix") : QStringLiteral("report");
    const QString kindName = p.value(what).trimmed().toUpper();
    if (kindName.isEmpty())
        return R::failure(QStringLiteral("--report KIND is missing"));
    QStringList kinds;
    for (const AwardKinds::Entry &e : AwardKinds::Table) {
        if (e.entities || !(o.needed || o.matrix)) // the lists and the matrix are of award entities
            kinds << QString::fromLatin1(e.name);
    }
    if (!kinds.contains(kindName))
        return R::failure(QStringLiteral("unknown award kind: %1 (%2)").arg(kindName, kinds.join(QStringLiteral(", "))));
    o.kind = *AwardKinds::named(kindName.toStdString());
    const Result<QStringList> headers = headersOf(p);
    if (!headers)
        return R::failure(headers.error());
    o.headers = *headers;
    o.ft8 = p.isSet(QStringLiteral("ft8"));
    o.watch = p.isSet(QStringLiteral("watch"));
    if (p.isSet(QStringLiteral("class"))) {
        if (!o.matrix)
            return R::failure(QStringLiteral("--class goes with --matrix"));
        const std::optional<ModeClass> mode = MatrixReport::modeNamed(p.value(QStringLiteral("class")));
        if (!mode)
            return R::failure(QStringLiteral("unknown mode class: %1 (CW, PHONE, DATA or MIX)").arg(p.value(QStringLiteral("class"))));
        o.matrixClass = *mode;
    }
    if (o.matrix && o.watch)
        return R::failure(QStringLiteral("--watch goes with --report or --needed"));
    if (p.isSet(QStringLiteral("format"))) {
        const Result<Format> format = formatNamed(p.value(QStringLiteral("format")));
        if (!format)
            return R::failure(format.error());
        o.format = *format;
    }
    if (o.format == Format::Adif && !o.needed)
        return R::failure(QStringLiteral("--format adif writes contacts: it goes with --needed"));
    if (o.format == Format::Adif && o.watch)
        return R::failure(QStringLiteral("--format adif writes one file: it does not go with --watch"));
    const QStringList positional = p.positionalArguments();
    if (positional.size() != 1 || positional.first().trimmed().isEmpty())
        return R::failure(QStringLiteral("name one LOGBOOK"));
    o.logbook = positional.first();
    return o;
}

} // namespace HeadlessReport
