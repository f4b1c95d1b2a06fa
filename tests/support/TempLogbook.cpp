#include "tests/support/TempLogbook.h"

#include <stdexcept>

TempLogbook::TempLogbook()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempLogbook::write(const std::vector<genlog::LogRow> &rows, const QString &name)
{
    const QString file = m_dir.filePath(name);
    const std::string error = genlog::writeLogbook(file.toStdString(), rows);
    if (!error.empty())
        throw std::runtime_error("cannot write a test logbook: " + error);
    return file;
}

genlog::LogRow makeRow(genlog::Text band, genlog::Text mode, genlog::Text r, genlog::Text d, genlog::Text dxc)
{
    genlog::LogRow row;
    static int32_t id = 0;
    row.ID = ++id;
    row.Callsign = "I1ABC";
    row.TDate = jet4::oleDate(2020, 5, 17, 12, 30);
    row.Banda = std::move(band);
    row.Mode = std::move(mode);
    row.R = std::move(r);
    row.D = std::move(d);
    row.S = "Y";
    row.MANAGER = "";
    row.DIPTEXT = "";
    row.DXC = std::move(dxc);
    row.WPX = "I1";
    row.WAZ = "15";
    row.ITU = "28";
    row.WAC = "EU";
    row.SQR = "JN45";
    row.NOTE = "";
    return row;
}
