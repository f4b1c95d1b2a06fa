#include "logbook/count/AwardKind.h"

namespace AwardKinds {

std::optional<AwardKind> named(std::string_view text)
{
    for (const Entry &e : Table) {
        if (text == e.name)
            return e.kind;
    }
    return std::nullopt;
}

const std::vector<AwardKind> &entityKinds()
{
    static const std::vector<AwardKind> kinds = [] {
        std::vector<AwardKind> k;
        for (const Entry &e : Table) {
            if (e.entities)
                k.push_back(e.kind);
        }
        return k;
    }();
    return kinds;
}

} // namespace AwardKinds
