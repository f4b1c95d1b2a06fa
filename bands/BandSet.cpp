#include "bands/BandSet.h"

BandSet::BandSet(const QStringList &labels)
{
    for (int c = 0; c < Positions && c < labels.size(); ++c)
        m_labels[size_t(c)] = labels[c];
}

QString BandSet::label(int position) const { return position >= 0 && position < Positions ? m_labels[size_t(position)] : QString(); }

void BandSet::setLabel(int position, const QString &label)
{
    if (position >= 0 && position < Positions)
        m_labels[size_t(position)] = label;
}

QStringList BandSet::labels() const { return QStringList(m_labels.begin(), m_labels.end()); }

QStringList BandSet::selected() const
{
    QStringList bands;
    for (const QString &l : m_labels) {
        if (!isBlank(l))
            bands << l;
    }
    return bands;
}

std::vector<std::string> BandSet::patterns() const
{
    std::vector<std::string> out;
    for (const QString &l : m_labels)
        out.push_back(isBlank(l) ? std::string() : l.toStdString());
    return out;
}
