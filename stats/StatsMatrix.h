#pragma once
#include "logbook/count/AwardKind.h"
#include "logbook/count/CountSlot.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

/// The count grid as captions: the 320 cells and 20 band headers (the label
/// array Lblstat 0..339), the MIX, TOT and FULL lines (16 each), the QSO total
/// (lblCountQso) and the award kind shown (LblModo). Windows bind labels to it;
/// computations write into it.
class StatsMatrix : public QObject {
    Q_OBJECT
public:
    enum class Line { Lblstat, Mix, Tot, Full };
    Q_ENUM(Line)

    /// Band labels of the headers right after start-up.
    static const QStringList &startupBands();

    explicit StatsMatrix(QObject *parent = nullptr);

    QString caption(Line line, int index) const;
    void setCaption(Line line, int index, const QString &text);

    QString cell(int band, int r) const { return caption(Line::Lblstat, CountSlotIndex::cell(band, r)); }
    void setCell(int band, int r, const QString &text) { setCaption(Line::Lblstat, CountSlotIndex::cell(band, r), text); }

    /// The band set: captions of the headers 320..339, position 0 first.
    QString header(int band) const { return caption(Line::Lblstat, CountSlotIndex::header(band)); }
    void setHeader(int band, const QString &text) { setCaption(Line::Lblstat, CountSlotIndex::header(band), text); }
    QStringList headers() const;

    /// The captions of a band's 16 cells, and of a line's 16 labels.
    QStringList bandCaptions(int band) const;
    QStringList lineCaptions(Line line) const;
    /// The lines after the bands, with the titles the grid gives them: MIX, TOT, FULL.
    struct TotalLine {
        const char *title;
        Line line;
    };
    static const std::array<TotalLine, 3> &totalLines();

    /// Calls `f` for every count label: the 320 cells, then the MIX, TOT and FULL lines.
    static void forEachCount(const std::function<void(Line, int)> &f);

    /// Sets every label of a line (all 320 cells for Lblstat, headers untouched) to `text`.
    void fill(Line line, const QString &text);

    /// The run that wrote a label last: every caption written from now on
    /// belongs to run `run` (0, before any run, for the design-time captions).
    void setRun(int run) { m_run = run; }
    int runOf(Line line, int index) const;

    QString countQso() const { return m_countQso; }
    void setCountQso(const QString &text);
    /// The run that wrote the QSO total last.
    int countQsoRun() const { return m_countQsoRun; }
    /// The award kind of the last run; none before the first.
    std::optional<AwardKind> kind() const { return m_kind; }
    void setKind(AwardKind kind);
    /// The kind as LblModo shows it ("DXC" ... "QSO"; empty before the first run).
    QString modo() const;

signals:
    void captionChanged(StatsMatrix::Line line, int index);
    void countQsoChanged(const QString &text);
    void modoChanged(const QString &text);

private:
    struct Label {
        QString text;
        int run = 0;
    };
    const Label *label(Line line, int index) const;

    std::array<Label, CountSlotIndex::Cells + CountSlotIndex::Bands> m_lblstat;
    std::array<Label, CountSlotIndex::Slots> m_mix, m_tot, m_full;
    int m_run = 0;
    QString m_countQso;
    int m_countQsoRun = 0;
    std::optional<AwardKind> m_kind;
};
