#include "tests/count/CountTestLog.h"

#include "logbook/LogbookEngine.h"

#include <set>
#include <stdexcept>

namespace counttest {

std::vector<genlog::LogRow> caseVariantRows()
{
    std::vector<genlog::LogRow> rows;
    auto add = [&rows](genlog::Text band, genlog::Text mode, genlog::Text r, genlog::Text d, genlog::Text dxc) {
        rows.push_back(makeRow(std::move(band), std::move(mode), std::move(r), std::move(d), std::move(dxc)));
        return &rows.back();
    };
    add("14.0", "CW", "Y", "N", "DL");
    add("14.0", "cw", "y", "N", "dl");
    add("14.0", "Cw", "Y", "y", "Dl");
    add("14.0", "SSB", "N", "Y", "\xC7\x85");     // U+01C5, titlecase DŽ
    add("14.0", "ssb", "Y", "Y", "\xC7\x84");     // U+01C4, capital DŽ
    add("21.0", "FT8", "Y", "N", "\xE2\x84\xAA"); // U+212A KELVIN SIGN, folds to k
    add("21.0", "ft8", "Y", "N", "k");
    add("21.0", "RTTY", "Y", "N", "K");
    add("2M", "FM", "Y", "Y",
        "\xC3\x80"
        "B"); // ÀB
    add("2m", "fm", "Y", "Y",
        "\xC3\xA0"
        "b"); // àb
    add("10g", "ssb", std::nullopt, "Y", "??");
    add("10G", std::nullopt, "Y", std::nullopt, "");
    add(std::nullopt, "CW", "Y", "Y", "DL");
    add("", "", "", "", std::nullopt);
    add("14.0", "CW", "Y", "Y", "\xCE\xA3"); // Σ
    add("14.0", "CW", "Y", "Y", "\xCF\x82"); // ς, folds to σ
    add("14.0", "CW", "Y", "Y", "\xCF\x83"); // σ
    auto *row = add("7.0", "CW", "Y", "Y", "OH");
    row->SQR = "jn45";
    row->WPX = "\xC3\x84"
               "B1"; // ÄB1
    row->NOTE = "Citt\xC3\xA0";
    row = add("7.0", "CW", "Y", "Y", "oh");
    row->SQR = "JN45";
    row->WPX = "\xC3\xA4"
               "b1"; // äb1
    row->NOTE = "CITT\xC3\x80";
    row->Callsign = "oh2bh";
    return rows;
}

std::vector<genlog::LogRow> neverConfirmedRows()
{
    std::vector<genlog::LogRow> rows;
    for (const char *mode : {"CW", "SSB", "RTTY", "FT8"}) {
        genlog::LogRow row = makeRow("21.0", mode, "N", "N", "XX9");
        row.WPX = "XX9";
        row.WAZ = "41";
        row.ITU = "91";
        row.WAC = "XA";
        row.SQR = "XX99";
        rows.push_back(std::move(row));
    }
    return rows;
}

OpenedLog openGenerated(size_t count, uint32_t seed, const std::vector<genlog::LogRow> &extra)
{
    OpenedLog log;
    log.rows = genlog::generate(count, seed);
    for (genlog::LogRow &row : caseVariantRows())
        log.rows.push_back(std::move(row));
    log.rows.insert(log.rows.end(), extra.begin(), extra.end());
    for (size_t i = 0; i < log.rows.size(); ++i)
        log.rows[i].ID = int32_t(i + 1);
    log.folder = std::make_unique<TempLogbook>();
    const QString path = log.folder->write(log.rows);
    LogbookEngine engine;
    const auto opened = engine.open(path);
    if (!opened)
        throw std::runtime_error("cannot open the test logbook: " + opened.error().toStdString());
    log.log = *opened;
    return log;
}

std::vector<std::string> bandLabels(const std::vector<genlog::LogRow> &rows)
{
    std::set<std::string> seen;
    for (const genlog::LogRow &row : rows) {
        if (row.Banda)
            seen.insert(*row.Banda);
    }
    return {seen.begin(), seen.end()};
}

} // namespace counttest
