#pragma once
#include "logbook/count/AwardKind.h"
#include "logbook/count/CountSlot.h"

#include <QObject>
#include <QString>
#include <array>

/// The single-band window's grid as captions (the label array LblstatBanda):
/// element Rows x r + row holds count slot r for award row `row` (0 QSO, 1 DXC,
/// 2 WPX, 3 WAZ, 4 ITU, 5 WAC, 6 SQR); the row titles follow the cells, top
/// to bottom.
class BandMatrix : public QObject {
    Q_OBJECT
public:
    /// QSO, then every entity kind.
    static constexpr int Rows = AwardKinds::Count;
    static constexpr int Cells = CountSlotIndex::Slots * Rows;
    static constexpr int Labels = Cells + Rows;
    static constexpr int cell(int r, int row) { return Rows * r + row; }

    /// Row titles, top to bottom; rows 1..6 are also the award columns counted.
    static const std::array<QString, Rows> &rowTitles();

    explicit BandMatrix(QObject *parent = nullptr);

    QString caption(int index) const;
    void setCaption(int index, const QString &text);
    QString countQso() const { return m_countQso; }
    void setCountQso(const QString &text);

signals:
    void captionChanged(int index);
    void countQsoChanged(const QString &text);

private:
    std::array<QString, Labels> m_labels;
    QString m_countQso;
};
