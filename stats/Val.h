#pragma once
#include <QString>

/// The number rules of the count captions.
namespace Val {

/// The leading number of a text as a double; 0 for "-", the empty text or any
/// text that does not start with a number (leading blanks are skipped).
double of(const QString &text);

/// A number in its shortest decimal form, without a decimal point when whole.
QString text(double value);

/// Worked minus confirmed, read from two captions, as the caption of a NOT CONFIRMED count.
QString difference(const QString &worked, const QString &confirmed);

} // namespace Val
