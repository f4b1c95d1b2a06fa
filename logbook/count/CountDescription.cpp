#include "logbook/count/CountDescription.h"

#include "logbook/count/AwardKind.h"

namespace {

using Condition = CountTree::Condition;
using Kind = Condition::Kind;

Condition compare(Kind kind, const std::string &column, const std::string &literal) { return Condition{kind, {}, column, literal}; }

Condition both(std::vector<Condition> operands)
{
    if (operands.size() == 1)
        return std::move(operands.front());
    return Condition{Kind::And, std::move(operands), {}, {}};
}

Condition either(const std::string &column, Kind kind, const std::vector<std::string> &literals)
{
    std::vector<Condition> operands;
    for (const std::string &l : literals)
        operands.push_back(compare(kind, column, l));
    if (operands.size() == 1)
        return std::move(operands.front());
    return Condition{Kind::Or, std::move(operands), {}, {}};
}

} // namespace

const std::vector<std::string> &awardColumns()
{
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> c;
        for (const AwardKind kind : AwardKinds::entityKinds())
            c.emplace_back(AwardKinds::name(kind));
        return c;
    }();
    return columns;
}

const std::vector<std::string> &modeNames(ModeClass m)
{
    static const std::vector<std::string> cw = {"CW"};
    static const std::vector<std::string> phone = {"SSB", "FM", "AM"};
    static const std::vector<std::string> none;
    return m == ModeClass::Cw ? cw : m == ModeClass::Phone ? phone : none;
}

CountTree::Condition modeCondition(ModeClass m, bool ft8)
{
    switch (m) {
    case ModeClass::Cw:
    case ModeClass::Phone:
        return either("Mode", Kind::Like, modeNames(m));
    case ModeClass::Data:
        if (ft8)
            return compare(Kind::Like, "Mode", "FT8");
        return Condition{
            Kind::Not,
            {Condition{Kind::Or,
                       {either("Mode", Kind::Like, modeNames(ModeClass::Phone)), either("Mode", Kind::Like, modeNames(ModeClass::Cw))},
                       {},
                       {}}},
            {},
            {}};
    case ModeClass::All:
        break;
    }
    return compare(Kind::Like, "Mode", "*");
}

std::optional<CountTree::Condition> statusCondition(QslStatus s)
{
    switch (s) {
    case QslStatus::Confirmed:
        return compare(Kind::Equal, "R", "Y");
    case QslStatus::NotConfirmed:
        return compare(Kind::Equal, "R", "N");
    case QslStatus::Award:
        return compare(Kind::Equal, "D", "Y");
    case QslStatus::Worked:
        break;
    }
    return std::nullopt;
}

CountTree::Condition usableEntity(const std::string &column)
{
    return both({compare(Kind::NotEqual, column, "??"), compare(Kind::NotEqual, column, "")});
}

std::string CountDescription::key() const
{
    std::string k = entity + '\x1f' + char('0' + int(bandTest)) + char('0' + int(mode)) + char('0' + int(status)) + (ft8 ? '1' : '0');
    for (const std::string &b : bands)
        k += '\x1f' + b;
    return k;
}

CountTree::Query toQuery(const CountDescription &description)
{
    CountTree::Query q;
    if (!description.entity.empty()) {
        q.countRows = false;
        q.countColumn = description.entity;
        q.distinct = true;
        q.distinctColumn = description.entity;
    }
    std::vector<Condition> parts;
    if (description.bandTest == CountDescription::Bands::Pattern) {
        parts.push_back(compare(Kind::Like, "Banda", description.bands.empty() ? std::string() : description.bands.front()));
    } else if (description.bandTest == CountDescription::Bands::List) {
        // An empty list reads as the one band '', as its text does.
        parts.push_back(either("Banda", Kind::Equal, description.bands.empty() ? std::vector<std::string>{""} : description.bands));
    }
    if (description.bandTest != CountDescription::Bands::Every) {
        parts.push_back(modeCondition(description.mode, description.ft8));
        if (std::optional<Condition> status = statusCondition(description.status))
            parts.push_back(std::move(*status));
    }
    if (!description.entity.empty())
        parts.push_back(usableEntity(description.entity));
    if (parts.empty())
        return q;
    q.where = both(std::move(parts));
    return q;
}
