#pragma once
#include <string_view>

/// Jet's text rules on UTF-8 text: comparison without regard to case, and LIKE
/// patterns with *, ?, #, [...] and [!...].
namespace JetText {

/// <0, 0, >0 like strcmp, letters compared without regard to case.
int compare(std::string_view a, std::string_view b);

enum class Match { No, Yes, BadPattern };

/// Jet LIKE: pattern against value, without regard to case.
Match like(std::string_view pattern, std::string_view value);

/// True when a LIKE pattern holds no wildcard (* ? # [), so LIKE means equality.
bool isLiteralPattern(std::string_view pattern);

} // namespace JetText
