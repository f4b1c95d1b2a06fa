#pragma once
#include "listing/ListingRequest.h"
#include "logbook/LoadedLog.h"
#include "logbook/types/Prompter.h"
#include "stats/StatsMatrix.h"

#include <functional>

/// What a click on a count, or the custom query, does: build the listing text
/// and hand it to the result grid.
class ListingActions {
public:
    /// Shows the grid for a listing.
    using OpenGrid = std::function<void(const ListingRequest &request)>;

    /// The message refusing an operator's query by the snapshot's read-only
    /// rules (ListingRun::refusal); empty when it may run.
    using Check = std::function<QString(const QString &query)>;

    ListingActions(const LoadedLog &log, const StatsMatrix &matrix, Prompter &prompter, std::function<bool()> ft8, OpenGrid openGrid);

    /// Lets the custom query be judged by the snapshot's rules before the grid
    /// opens; without it only its shape is checked first (the grid's run still
    /// refuses what the rules refuse).
    void setCheck(Check check) { m_check = std::move(check); }

    /// Double-click on a cell (Lblstat 0..319).
    void cellDoubleClicked(int index);
    /// Double-click on a MIX label.
    void mixDoubleClicked(int r);
    /// Click on a FULL label.
    void fullClicked(int r);
    /// Double-click on a cell of the award matrix: the contacts of that
    /// entity on that band in that mode class.
    void matrixCellDoubleClicked(AwardKind kind, const QString &entity, const QString &band, ModeClass mode, bool ft8);
    /// The operator's own query (award button "SQL"). The input box offers
    /// the text typed last time.
    void customQuery();

private:
    void open(ListingRequest request);

    const LoadedLog &m_log;
    const StatsMatrix &m_matrix;
    Prompter &m_prompter;
    std::function<bool()> m_ft8;
    OpenGrid m_openGrid;
    Check m_check;
    QString m_lastQuery = QStringLiteral("SELECT * FROM LOG");
};
