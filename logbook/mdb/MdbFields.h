#pragma once
// The fields of a row as the reader turns them into text, where it does so
// itself rather than leaving it to libmdb (inside the reader only).

#include "logbook/mdb/JetFieldText.h"
#include "logbook/mdb/MdbTools.h"

#include <cstddef>
#include <string>

namespace mdbreader {

/// libmdb writes at most the bind size; the rest is a safety margin.
constexpr std::size_t BufferBytes = MaxFieldBytes + 64;

/// Sets the bind size and the date and boolean formats the reader reads with.
void setReaderFormats(MdbHandle *mdb);

/// Whether libmdb converts texts with iconv, as mdbtools' own commands do
/// (not on Windows).
bool libmdbConvertsWithIconv();

/// Whether the reader converts the texts of text and memo fields itself:
/// those of Jet 4 files, which libmdb built with iconv converts into the
/// character set MDBICONV names (UTF-8 when it is not set). Built without
/// iconv (Windows), libmdb has no conversion the reader should follow.
bool ownTexts(MdbHandle *mdb);
/// ownTexts for a Jet 4 file, without a handle.
bool ownJet4Texts();

/// A date (days since 1899-12-30) as dateText gives it; false where dateText leaves it to libmdb.
bool dateTextOf(double days, std::string &out);
/// Whether dateTextOf gives a text for the date.
bool dateFits(double days);

/// A date field as mdb_col_to_string formats it with the format the reader
/// sets ("%Y-%m-%d %H:%M:%S"), for dates whose fields strftime prints as two
/// digits (four for the year); false for any other, left to libmdb.
bool dateText(MdbHandle *mdb, int start, std::string &out);

/// A memo field's text as mdb_memo_to_string gives it, its bytes gathered
/// the same way (kept in the row, on one long-value page, or on a chain of
/// them) and converted by jetText.
void memoText(MdbHandle *mdb, int start, int size, std::string &out);

} // namespace mdbreader
