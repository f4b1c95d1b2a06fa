#pragma once
#include "tools/genlog/LogGenerator.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

/// A folder of its own holding logbooks written by the project's Jet writer.
class TempLogbook {
public:
    TempLogbook();
    /// Writes rows as `name` in the folder and returns its full path.
    QString write(const std::vector<genlog::LogRow> &rows, const QString &name = QStringLiteral("testdt.mdb"));
    QString folder() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

/// A row with the given band, mode and flags; the other columns plain.
genlog::LogRow makeRow(genlog::Text band, genlog::Text mode, genlog::Text r = "Y", genlog::Text d = "N", genlog::Text dxc = "I");
