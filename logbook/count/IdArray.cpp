#include "logbook/count/IdArray.h"

namespace {

template<typename T>
std::vector<T> narrowed(const std::vector<uint32_t> &ids, const std::vector<uint32_t> &order)
{
    std::vector<T> out(ids.size());
    if (order.empty()) {
        for (size_t i = 0; i < ids.size(); ++i)
            out[i] = T(ids[i]);
    } else {
        for (size_t i = 0; i < order.size(); ++i)
            out[i] = T(ids[order[i]]);
    }
    return out;
}

} // namespace

IdArray::IdArray(const std::vector<uint32_t> &ids, uint32_t idCount, const std::vector<uint32_t> &order)
{
    if (idCount <= 0x100u)
        m_ids = narrowed<uint8_t>(ids, order);
    else if (idCount <= 0x10000u)
        m_ids = narrowed<uint16_t>(ids, order);
    else
        m_ids = narrowed<uint32_t>(ids, order);
}
