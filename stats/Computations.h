#pragma once
#include "stats/StatsContext.h"

/// The computations of a statistics run. Each opens the logbook itself, writes
/// every caption as soon as it has it, yields between queries, reports its own
/// failure in a message box and returns normally.

/// QSO counts of every band position and the QSO total (kind QSO).
void ComputeQsoCounts(StatsContext &ctx);
/// QSO counts of the whole log into the FULL line (kind QSO).
void ComputeFullLogQsoTotals(StatsContext &ctx);
/// Distinct-entity counts of every band position and the QSO total (entity kinds).
void ComputeAwardCounts(StatsContext &ctx);
/// Distinct-entity counts of the whole log into the FULL line.
void ComputeFullLogAwardTotals(StatsContext &ctx);
/// Distinct-entity counts over the selected bands together into the MIX line.
void BandMixed(StatsContext &ctx);
/// TOT line: each slot's 20 cells summed.
void SumSlotTotals(StatsMatrix &matrix);

/// A statistics run of an award kind: the guard, the reset of the total lines
/// and the computations of the kind in order, then the TOT line.
/// Returns false when no logbook is loaded (the operator has been told).
bool runStatistics(StatsContext &ctx, AwardKind kind);

/// A run of `kind` into `matrix` without a window: `headers` as its band set,
/// the FT8 option `ft8`, nothing between the queries and no beep; failures are
/// told to `prompter`. False when a computation failed.
bool runDetached(StatsMatrix &matrix, const LoadedLog &logbook, LogbookEngine &engine, Prompter &prompter, AwardKind kind,
                 const QStringList &headers, bool ft8);
