#pragma once
struct sqlite3;

/// Gives an SQLite connection what Jet SQL texts rely on: the collation JETCI
/// (text compared without regard to case), Jet's LIKE, the aggregates
/// jet_first/jet_last, and the Jet functions an operator types in a query.
/// Returns false when SQLite refused a registration.
bool registerJetFunctions(sqlite3 *db);
