#pragma once
#include "LogState.h"
#include "Prompter.h"
#include "StatsMatrix.h"

#include <functional>

/// What a click on a count, or the custom query, does: build the listing text,
/// keep it in the program state and hand it to the result grid.
class ListingActions {
public:
    /// Shows the grid for state.ListingQuery; `entityCaptions` for entity listings.
    using OpenGrid = std::function<void(bool entityCaptions)>;

    ListingActions(LogState &state, const StatsMatrix &matrix, Prompter &prompter, std::function<bool()> ft8, OpenGrid openGrid);

    /// Double-click on a cell (Lblstat 0..319).
    void cellDoubleClicked(int index);
    /// Double-click on a MIX label.
    void mixDoubleClicked(int r);
    /// Click on a FULL label.
    void fullClicked(int r);
    /// The operator's own query (award button "SQL").
    void customQuery();

private:
    void open(const QString &sql, bool entity);

    LogState &m_state;
    const StatsMatrix &m_matrix;
    Prompter &m_prompter;
    std::function<bool()> m_ft8;
    OpenGrid m_openGrid;
};
