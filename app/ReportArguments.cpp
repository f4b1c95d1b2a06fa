#include "app/ReportArguments.h"

#include "bands/BandPresets.h"
#include "logbook/count/CountSlot.h"
#include "stats/Computations.h"
#include "stats/MatrixReport.h"
#include "stats/StatsMatrix.h"

#include <QCommandLineParser>
#include <span>
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

/// The headless modes, as bits: which of them an option goes with.
enum ModeBit : unsigned { ReportMode = 1, NeededMode = 2, MatrixMode = 4, AnyMode = 7 };

struct OptionEntry {
    const char *name;
    const char *value; ///< the value's name, null for a switch
    unsigned modes;    ///< for a mode its own bit, else the modes it goes with
};

/// The options of the command line besides --help (-h): the three modes,
/// then the options that go with them.
constexpr OptionEntry ModeOptions[] = {{"report", "KIND", ReportMode}, {"needed", "KIND", NeededMode}, {"matrix", "KIND", MatrixMode}};
constexpr OptionEntry OtherOptions[] = {{"class", "CLASS", MatrixMode}, {"preset", "NAME", AnyMode},
                                        {"bands", "LIST", AnyMode},     {"format", "FORMAT", AnyMode},
                                        {"ft8", nullptr, AnyMode},      {"watch", nullptr, ReportMode | NeededMode}};

QString dashed(const char *name) { return QStringLiteral("--") + QLatin1String(name); }

/// "--report, --needed or --matrix": the modes among `modes`.
QString modeNames(unsigned modes)
{
    QStringList names;
    for (const OptionEntry &m : ModeOptions) {
        if (modes & m.modes)
            names << dashed(m.name);
    }
    const QString last = names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

/// The modes' options and the others, one after the other.
constexpr std::span<const OptionEntry> OptionTables[] = {ModeOptions, OtherOptions};

/// Whether `argument` is one of ours: any "--" word, or a one-dash word
/// naming an option of ours ("-report", "-h"). Other one-dash words are the
/// window toolkit's (-style, -platform).
bool isOurOption(std::string_view argument)
{
    if (argument.substr(0, 2) == "--")
        return true;
    if (argument.size() < 2 || argument[0] != '-')
        return false;
    const std::string_view name = argument.substr(1, argument.find('=') - 1);
    if (name == "h" || name == "help")
        return true;
    for (const std::span<const OptionEntry> table : OptionTables) {
        for (const OptionEntry &e : table) {
            if (name == e.name)
                return true;
        }
    }
    return false;
}

QCommandLineOption optionOf(const OptionEntry &e)
{
    return e.value ? QCommandLineOption(QLatin1String(e.name), QString(), QLatin1String(e.value))
                   : QCommandLineOption(QLatin1String(e.name));
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

QString refusal(const QString &reason) { return QStringLiteral("varkelchecker: %1\nTry 'varkelchecker --help'.\n").arg(reason); }

bool wanted(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (isOurOption(argv[i]))
            return true;
    }
    return false;
}

Result<QString> windowCommandLine(const QStringList &arguments)
{
    for (const QString &a : arguments) {
        if (a.startsWith(QLatin1Char('-')))
            return Result<QString>::failure(QStringLiteral("unknown option: %1").arg(a));
    }
    return arguments.join(QLatin1Char(' '));
}

Result<Options> parseArguments(const QStringList &arguments)
{
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const std::span<const OptionEntry> table : OptionTables) {
        for (const OptionEntry &e : table)
            p.addOption(optionOf(e));
    }
    p.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    if (!p.parse(QStringList{QStringLiteral("varkelchecker")} + arguments))
        return R::failure(p.errorText());

    Options o;
    o.help = p.isSet(QStringLiteral("help"));
    if (o.help)
        return o;
    const OptionEntry *mode = nullptr;
    for (const OptionEntry &m : ModeOptions) {
        if (!p.isSet(QLatin1String(m.name)))
            continue;
        if (mode)
            return R::failure(QStringLiteral("give only one of %1").arg(modeNames(AnyMode)));
        mode = &m;
    }
    for (const OptionEntry &e : OtherOptions) {
        if (p.isSet(QLatin1String(e.name)) && !(mode && (mode->modes & e.modes)))
            return R::failure(QStringLiteral("%1 goes with %2").arg(dashed(e.name), modeNames(e.modes)));
    }
    if (!mode)
        return R::failure(QStringLiteral("give %1 (or --help)").arg(modeNames(AnyMode)));
    o.needed = mode->modes == NeededMode;
    o.matrix = mode->modes == MatrixMode;
    const QString kindName = p.value(QLatin1String(mode->name)).trimmed().toUpper();
    if (kindName.isEmpty())
        return R::failure(QStringLiteral("%1 KIND is missing").arg(dashed(mode->name)));
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
        const std::optional<ModeClass> shown = MatrixReport::modeNamed(p.value(QStringLiteral("class")));
        if (!shown)
            return R::failure(QStringLiteral("unknown mode class: %1 (CW, PHONE, DATA or MIX)").arg(p.value(QStringLiteral("class"))));
        o.matrixClass = *shown;
    }
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
