#include "stats/StatsMatrix.h"

#include "stats/GridTexts.h"

using namespace CountSlotIndex;

const QStringList &StatsMatrix::startupBands()
{
    static const QStringList bands = {"0.134", "1.8", "3.5", "5.3", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9",
                                      "28.0",  "50",  "70",  "144", "430", "1200", "2400", "5600", "10G",  "24G"};
    return bands;
}

StatsMatrix::StatsMatrix(QObject *parent) : QObject(parent), m_countQso(GridTexts::qsoCaption(QString()))
{
    for (int i = 0; i < Cells; ++i)
        m_lblstat[size_t(i)].text = GridTexts::NotComputed;
    for (int c = 0; c < Bands; ++c)
        m_lblstat[size_t(CountSlotIndex::header(c))].text = startupBands()[c];
    for (auto *line : {&m_mix, &m_tot, &m_full}) {
        for (Label &l : *line)
            l.text = GridTexts::NotComputed;
    }
}

void StatsMatrix::forEachCount(const std::function<void(Line, int)> &f)
{
    for (int i = 0; i < Cells; ++i)
        f(Line::Lblstat, i);
    for (const TotalLine &total : totalLines()) {
        for (int r = 0; r < Slots; ++r)
            f(total.line, r);
    }
}

const StatsMatrix::Label *StatsMatrix::label(Line line, int index) const
{
    switch (line) {
    case Line::Lblstat:
        return index >= 0 && index < Cells + Bands ? &m_lblstat[size_t(index)] : nullptr;
    case Line::Mix:
        return index >= 0 && index < Slots ? &m_mix[size_t(index)] : nullptr;
    case Line::Tot:
        return index >= 0 && index < Slots ? &m_tot[size_t(index)] : nullptr;
    case Line::Full:
        return index >= 0 && index < Slots ? &m_full[size_t(index)] : nullptr;
    }
    return nullptr;
}

QString StatsMatrix::caption(Line line, int index) const
{
    const Label *l = label(line, index);
    return l ? l->text : QString();
}

int StatsMatrix::runOf(Line line, int index) const
{
    const Label *l = label(line, index);
    return l ? l->run : 0;
}

void StatsMatrix::setCaption(Line line, int index, const QString &text)
{
    auto *target = const_cast<Label *>(label(line, index));
    if (!target)
        return;
    target->run = m_run;
    if (target->text == text)
        return;
    target->text = text;
    emit captionChanged(line, index);
}

QStringList StatsMatrix::headers() const
{
    QStringList list;
    for (int c = 0; c < Bands; ++c)
        list << header(c);
    return list;
}

QStringList StatsMatrix::bandCaptions(int band) const
{
    QStringList values;
    for (int r = 0; r < CountSlotIndex::Slots; ++r)
        values << cell(band, r);
    return values;
}

QStringList StatsMatrix::lineCaptions(Line line) const
{
    QStringList values;
    for (int r = 0; r < CountSlotIndex::Slots; ++r)
        values << caption(line, r);
    return values;
}

const std::array<StatsMatrix::TotalLine, 3> &StatsMatrix::totalLines()
{
    static const std::array<TotalLine, 3> lines = {
        {{GridTexts::MixTitle, Line::Mix}, {GridTexts::TotTitle, Line::Tot}, {GridTexts::FullTitle, Line::Full}}};
    return lines;
}

void StatsMatrix::fill(Line line, const QString &text)
{
    const int count = line == Line::Lblstat ? Cells : Slots;
    for (int i = 0; i < count; ++i)
        setCaption(line, i, text);
}

void StatsMatrix::setCountQso(const QString &text)
{
    m_countQsoRun = m_run;
    if (m_countQso == text)
        return;
    m_countQso = text;
    emit countQsoChanged(text);
}

QString StatsMatrix::modo() const { return GridTexts::kindCaption(m_kind); }

void StatsMatrix::setKind(AwardKind kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    emit modoChanged(modo());
}
