#include "HeadlessReport.h"

#include "BandPresets.h"
#include "Computations.h"
#include "LogFileName.h"
#include "LogbookEngine.h"
#include "Prompter.h"
#include "StatsContext.h"
#include "StatsMatrix.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstring>

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

namespace HeadlessReport {

namespace {

/// Messages go to the error stream; nobody is there to answer questions.
class StreamPrompter : public Prompter {
public:
    explicit StreamPrompter(QTextStream &err) : m_err(err) {}

    int message(const QString &text, int, const QString &title, const QString &detail) override
    {
        ++m_messages;
        QString shown = text;
        if (!detail.isEmpty())
            shown += QStringLiteral(" (") + detail + QStringLiteral(")");
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_err << (title.isEmpty() ? QStringLiteral("VarkelChecker") : title) << ": " << shown << Qt::endl;
        return MsgAnswer::Ok;
    }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QString &) override { return {}; }
    void beep() override {}

    int messages() const { return m_messages; }

private:
    QTextStream &m_err;
    int m_messages = 0;
};

QStringList columnTitles(bool ft8)
{
    static const QStringList blocks = {"WORKED", "CONFIRMED", "NOT CONFIRMED", "AWARD"};
    const QStringList modes = {"CW", "PHONE", ft8 ? "FT8" : "DATA", "MIX"};
    QStringList titles;
    for (int r = 0; r < Slots; ++r)
        titles << blocks[r / 4] + QLatin1Char(' ') + modes[r % 4];
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

QString qsoTotal(const StatsMatrix &m)
{
    QString total = m.countQso();
    if (total.startsWith(QStringLiteral("QSOs: ")))
        total = total.mid(6);
    return total.trimmed();
}

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
    const QStringList modes = {"CW", "PHONE", o.ft8 ? "FT8" : "DATA", "MIX"};
    static const QStringList blocks = {"WORKED", "CONFIRMED", "NOT CONFIRMED", "AWARD"};
    const int blockWidth = 4 * CountWidth;

    const auto row = [&](const QString &label, const QStringList &values) {
        QString line = label.leftJustified(BandWidth);
        for (int r = 0; r < Slots; ++r) {
            if (r % 4 == 0)
                line += QStringLiteral(" |");
            line += values[r].rightJustified(CountWidth);
        }
        out << line << '\n';
    };

    out << "VarkelChecker v3.1 report: " << o.kind << "  LogBook: " << path << "  FT8: " << (o.ft8 ? "on" : "off") << '\n';
    QString head = QString().leftJustified(BandWidth);
    for (const QString &b : blocks) {
        const int pad = blockWidth - int(b.size());
        head += QStringLiteral(" |") + QString(pad - pad / 2, QLatin1Char(' ')) + b + QString(pad / 2, QLatin1Char(' '));
    }
    while (head.endsWith(QLatin1Char(' ')))
        head.chop(1);
    out << head << '\n';
    QStringList modeRow;
    for (int r = 0; r < Slots; ++r)
        modeRow << modes[r % 4];
    row(QStringLiteral("BAND"), modeRow);
    for (int c = 0; c < Bands; ++c) {
        if (!m.header(c).trimmed().isEmpty())
            row(m.header(c), bandCaptions(m, c));
    }
    row(QStringLiteral("MIX"), lineCaptions(m, Line::Mix));
    row(QStringLiteral("TOT"), lineCaptions(m, Line::Tot));
    row(QStringLiteral("FULL"), lineCaptions(m, Line::Full));
    out << "QSOs: " << qsoTotal(m) << '\n';
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
        if (!m.header(c).trimmed().isEmpty())
            row(QStringList{"BAND", QString::number(c), m.header(c)} + bandCaptions(m, c));
    }
    row(QStringList{"MIX", "", ""} + lineCaptions(m, Line::Mix));
    row(QStringList{"TOT", "", ""} + lineCaptions(m, Line::Tot));
    row(QStringList{"FULL", "", ""} + lineCaptions(m, Line::Full));
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
        if (m.header(c).trimmed().isEmpty())
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

bool wanted(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--report") == 0 || std::strncmp(argv[i], "--report=", 9) == 0 ||
            std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

QString usage()
{
    QString presets;
    for (const BandPreset &p : BandPresets::all())
        presets += QStringLiteral("                          \"%1\"\n").arg(p.caption);
    return QStringLiteral(
               "Usage: varkelchecker [LOGBOOK]\n"
               "       varkelchecker --report KIND [--preset NAME | --bands LIST] [--ft8]\n"
               "                     [--format text|csv|json] LOGBOOK\n"
               "\n"
               "Without --report the main window opens, with LOGBOOK loaded when given.\n"
               "\n"
               "--report prints the statistics of one award kind without a window: the\n"
               "band lines (band and its 16 counts: WORKED, CONFIRMED, NOT CONFIRMED and\n"
               "AWARD, each for CW, PHONE, DATA and MIX), the MIX, TOT and FULL lines and\n"
               "the number of QSOs, counted exactly as the award buttons count them.\n"
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
                          "  --format FORMAT         text (default), csv or json\n"
                          "  LOGBOOK                 a path, or a name without folder looked for\n"
                          "                          beside the program (then in the current\n"
                          "                          folder); \".mdb\" is added when missing\n"
                          "  --help                  this text\n"
                          "\n"
                          "Counts not computed print as \"-\" (null in json). Messages go to\n"
                          "standard error. Exit status: 0 done, 1 a computation failed (its\n"
                          "message is on standard error), 2 wrong arguments.\n");
}

Result<Options> parseArguments(const QStringList &arguments)
{
    using R = Result<Options>;
    Options o;
    o.headers = StatsMatrix::startupBands();
    bool bandsChosen = false;
    QStringList positional;

    for (int i = 0; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        QString value;
        bool hasInlineValue = false;
        if (arg.startsWith(QStringLiteral("--")) && arg.contains(QLatin1Char('='))) {
            const qsizetype eq = arg.indexOf(QLatin1Char('='));
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
            hasInlineValue = true;
        }
        const auto takeValue = [&](QString &target) -> bool {
            if (hasInlineValue) {
                target = value;
                return true;
            }
            if (i + 1 >= arguments.size())
                return false;
            target = arguments[++i];
            return true;
        };

        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            o.help = true;
        } else if (arg == QLatin1String("--report")) {
            if (!takeValue(o.kind))
                return R::failure(QStringLiteral("--report needs an award kind"));
            o.kind = o.kind.trimmed().toUpper();
            if (!awardKinds().contains(o.kind))
                return R::failure(QStringLiteral("unknown award kind: %1 (DXC, WPX, WAZ, ITU, WAC, SQR or QSO)").arg(o.kind));
        } else if (arg == QLatin1String("--preset")) {
            QString name;
            if (!takeValue(name))
                return R::failure(QStringLiteral("--preset needs a name"));
            if (bandsChosen)
                return R::failure(QStringLiteral("give either --preset or --bands, once"));
            const BandPreset *preset = BandPresets::find(name);
            if (!preset)
                return R::failure(QStringLiteral("unknown band preset: %1").arg(name));
            o.headers = BandPresets::headersAfter(*preset, o.headers);
            bandsChosen = true;
        } else if (arg == QLatin1String("--bands")) {
            QString list;
            if (!takeValue(list))
                return R::failure(QStringLiteral("--bands needs a list of bands"));
            if (bandsChosen)
                return R::failure(QStringLiteral("give either --preset or --bands, once"));
            // Positions as given: "14.0,,28.0" leaves position 1 blank, as the window can.
            QStringList bands;
            for (const QString &b : list.split(QLatin1Char(',')))
                bands << b.trimmed();
            while (!bands.isEmpty() && bands.constLast().isEmpty())
                bands.removeLast();
            if (bands.size() > Bands)
                return R::failure(QStringLiteral("at most %1 bands").arg(Bands));
            o.headers = bands;
            while (o.headers.size() < Bands)
                o.headers << QString();
            bandsChosen = true;
        } else if (arg == QLatin1String("--ft8")) {
            o.ft8 = true;
        } else if (arg == QLatin1String("--format")) {
            QString format;
            if (!takeValue(format))
                return R::failure(QStringLiteral("--format needs text, csv or json"));
            format = format.trimmed().toLower();
            if (format == QLatin1String("text"))
                o.format = Format::Text;
            else if (format == QLatin1String("csv"))
                o.format = Format::Csv;
            else if (format == QLatin1String("json"))
                o.format = Format::Json;
            else
                return R::failure(QStringLiteral("unknown format: %1 (text, csv or json)").arg(format));
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return R::failure(QStringLiteral("unknown option: %1").arg(arguments[i]));
        } else {
            positional << arguments[i];
        }
    }

    if (o.help)
        return o;
    if (o.kind.isEmpty())
        return R::failure(QStringLiteral("--report KIND is missing"));
    if (positional.size() != 1 || positional.first().trimmed().isEmpty())
        return R::failure(QStringLiteral("name one LOGBOOK"));
    o.logbook = positional.first();
    return o;
}

QString resolveLogbook(const QString &argument, const QString &programFolder)
{
    const QString beside = LogFileName::resolveCommandLine(argument, programFolder);
    if (QFileInfo::exists(beside))
        return QFileInfo(beside).absoluteFilePath();
    const QString here = LogFileName::resolveCommandLine(argument, QDir::currentPath());
    if (QFileInfo::exists(here))
        return QFileInfo(here).absoluteFilePath();
    return beside;
}

int run(const Options &options, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    LogState state;
    state.ProgramFolder = programFolder;
    state.LogName = LogFileName::fromCommandLine(options.logbook);
    state.LogPath = resolveLogbook(options.logbook, programFolder);
    StatsMatrix matrix;
    for (int c = 0; c < Bands; ++c)
        matrix.setHeader(c, options.headers.value(c));
    LogbookEngine engine;
    StreamPrompter prompter(err);

    StatsContext ctx{state, matrix, engine, prompter};
    const bool ft8 = options.ft8;
    ctx.ft8 = [ft8] { return ft8; };
    runStatistics(ctx, int(awardKinds().indexOf(options.kind)));

    switch (options.format) {
    case Format::Text:
        writeText(out, options, state.LogPath, matrix);
        break;
    case Format::Csv:
        writeCsv(out, options, matrix);
        break;
    case Format::Json:
        writeJson(out, options, state.LogPath, matrix);
        break;
    }
    out.flush();
    if (prompter.messages() > 0) {
        err << "LogBook: " << state.LogPath << Qt::endl;
        return 1;
    }
    return 0;
}

int exec(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const Result<Options> options = parseArguments(app.arguments().mid(1));
    if (!options) {
        err << "varkelchecker: " << options.error() << "\n\n" << usage();
        return 2;
    }
    if (options->help) {
        out << usage();
        return 0;
    }
    return run(*options, QCoreApplication::applicationDirPath(), out, err);
}

} // namespace HeadlessReport
