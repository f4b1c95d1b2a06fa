#include "bandwindow/BandMatrix.h"

#include "stats/GridTexts.h"

#include <algorithm>

static_assert(std::count_if(AwardKinds::Table.begin(), AwardKinds::Table.end(), [](const AwardKinds::Entry &e) { return e.entities; }) ==
                  BandMatrix::Rows - 1,
              "a row for the QSOs and one for every entity kind");

const std::array<QString, BandMatrix::Rows> &BandMatrix::rowTitles()
{
    // QSO, then the award columns in the order of the award buttons.
    static const std::array<QString, Rows> titles = [] {
        std::array<QString, Rows> t{GridTexts::kindCaption(AwardKind::Qso)};
        for (size_t a = 1; a < Rows; ++a)
            t[a] = GridTexts::kindCaption(AwardKinds::entityKinds()[a - 1]);
        return t;
    }();
    return titles;
}

BandMatrix::BandMatrix(QObject *parent) : QObject(parent), m_countQso(GridTexts::qsoCaption(QString()))
{
    for (int i = 0; i < Cells; ++i)
        m_labels[size_t(i)] = GridTexts::NotComputed;
    for (int a = 0; a < Rows; ++a)
        m_labels[size_t(Cells + a)] = rowTitles()[size_t(a)];
}

QString BandMatrix::caption(int index) const { return index >= 0 && index < Labels ? m_labels[size_t(index)] : QString(); }

void BandMatrix::setCaption(int index, const QString &text)
{
    if (index < 0 || index >= Labels || m_labels[size_t(index)] == text)
        return;
    m_labels[size_t(index)] = text;
    emit captionChanged(index);
}

void BandMatrix::setCountQso(const QString &text)
{
    if (m_countQso == text)
        return;
    m_countQso = text;
    emit countQsoChanged(text);
}
