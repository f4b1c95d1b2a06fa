#include "StatsMatrix.h"

using namespace CountSlotIndex;

const QStringList &StatsMatrix::startupBands()
{
    static const QStringList bands = {"0.134", "1.8", "3.5",  "5.3",  "7.0",  "10.1", "14.0", "18.1", "21.0", "24.9",
                                      "28.0",  "50",  "70",   "144",  "430",  "1200", "2400", "5600", "10G",  "24G"};
    return bands;
}

StatsMatrix::StatsMatrix(QObject *parent) : QObject(parent)
{
    for (int i = 0; i < Cells; ++i)
        m_lblstat[size_t(i)] = QStringLiteral("-");
    for (int c = 0; c < Bands; ++c)
        m_lblstat[size_t(CountSlotIndex::header(c))] = startupBands()[c];
    m_mix.fill(QStringLiteral("-"));
    m_tot.fill(QStringLiteral("-"));
    m_full.fill(QStringLiteral("-"));
}

QString StatsMatrix::caption(Line line, int index) const
{
    switch (line) {
    case Line::Lblstat:
        return index >= 0 && index < Cells + Bands ? m_lblstat[size_t(index)] : QString();
    case Line::Mix:
        return index >= 0 && index < Slots ? m_mix[size_t(index)] : QString();
    case Line::Tot:
        return index >= 0 && index < Slots ? m_tot[size_t(index)] : QString();
    case Line::Full:
        return index >= 0 && index < Slots ? m_full[size_t(index)] : QString();
    }
    return {};
}

void StatsMatrix::setCaption(Line line, int index, const QString &text)
{
    QString *target = nullptr;
    switch (line) {
    case Line::Lblstat:
        if (index >= 0 && index < Cells + Bands)
            target = &m_lblstat[size_t(index)];
        break;
    case Line::Mix:
        if (index >= 0 && index < Slots)
            target = &m_mix[size_t(index)];
        break;
    case Line::Tot:
        if (index >= 0 && index < Slots)
            target = &m_tot[size_t(index)];
        break;
    case Line::Full:
        if (index >= 0 && index < Slots)
            target = &m_full[size_t(index)];
        break;
    }
    if (!target || *target == text)
        return;
    *target = text;
    emit captionChanged(line, index);
}

QStringList StatsMatrix::headers() const
{
    QStringList list;
    for (int c = 0; c < Bands; ++c)
        list << header(c);
    return list;
}

void StatsMatrix::fill(Line line, const QString &text)
{
    const int count = line == Line::Lblstat ? Cells : Slots;
    for (int i = 0; i < count; ++i)
        setCaption(line, i, text);
}

void StatsMatrix::setCountQso(const QString &text)
{
    if (m_countQso == text)
        return;
    m_countQso = text;
    emit countQsoChanged(text);
}

void StatsMatrix::setModo(const QString &text)
{
    if (m_modo == text)
        return;
    m_modo = text;
    emit modoChanged(text);
}
