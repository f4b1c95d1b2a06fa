#pragma once
class GridRecordset;
class QTableView;

/// Sets a table view up for rows of a GridRecordset: read-only, whole rows
/// selected, compact lines, and sorted by a click on a column header (first
/// click ascending, the next descending, the indicator showing the order).
void setUpGridView(QTableView *view, GridRecordset *model);

/// Column widths fitted to the contents, none wider than a third of a screen line.
void fitGridColumns(QTableView *view);
