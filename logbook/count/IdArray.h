#pragma once
#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

/// The dictionary ids of one column, one per row, each held in the narrowest
/// unsigned type that fits the column's largest id (1, 2 or 4 bytes).
class IdArray {
public:
    using Storage = std::variant<std::vector<uint8_t>, std::vector<uint16_t>, std::vector<uint32_t>>;

    IdArray() = default;
    /// Takes `ids[order[i]]` for i = 0.., or `ids` as they are when `order` is empty.
    IdArray(const std::vector<uint32_t> &ids, uint32_t idCount, const std::vector<uint32_t> &order);

    size_t size() const
    {
        return std::visit([](const auto &v) { return v.size(); }, m_ids);
    }
    uint32_t at(size_t row) const
    {
        return std::visit([row](const auto &v) { return uint32_t(v[row]); }, m_ids);
    }
    /// Bytes per id.
    int width() const
    {
        return std::visit([](const auto &v) { return int(sizeof(v[0])); }, m_ids);
    }
    /// Calls f(const T *ids) with the ids of the narrowest type.
    template<typename F>
    decltype(auto) visit(F &&f) const
    {
        return std::visit([&f](const auto &v) -> decltype(auto) { return f(v.data()); }, m_ids);
    }
    size_t memoryBytes() const { return size() * size_t(width()); }

private:
    Storage m_ids = std::vector<uint8_t>();
};
