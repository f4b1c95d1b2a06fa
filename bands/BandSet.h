#pragma once
#include "logbook/count/CountSlot.h"

#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

/// The band set: the labels of the 20 band headers, position 0 at the top. A
/// label is free text compared with the log's band column; a blank label (empty
/// once trimmed) is a position without a band, wherever it stands.
class BandSet {
public:
    static constexpr int Positions = CountSlotIndex::Bands;

    /// Every position blank.
    BandSet() = default;
    /// The first 20 of `labels`; positions past its end are blank.
    explicit BandSet(const QStringList &labels);

    /// Whether a label selects no band.
    static bool isBlank(const QString &label) { return label.trimmed().isEmpty(); }

    QString label(int position) const;
    void setLabel(int position, const QString &label);
    bool blank(int position) const { return isBlank(label(position)); }
    /// All 20 labels, position 0 first.
    QStringList labels() const;
    /// The selected bands: every label that is not blank, in order of position, as it stands.
    QStringList selected() const;
    /// The 20 labels as the count engine's requests take them: blank ones as empty texts.
    std::vector<std::string> patterns() const;
    /// Number of positions that hold a band.
    int activeCount() const { return int(selected().size()); }

    friend bool operator==(const BandSet &, const BandSet &) = default;

private:
    std::array<QString, Positions> m_labels;
};
