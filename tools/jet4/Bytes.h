#pragma once
// Page size, little-endian stores and the page type codes of a Jet 4 file.

#include <array>
#include <cstdint>
#include <cstring>

namespace jet4::detail {

constexpr std::size_t kPageSize = 4096;
using Page = std::array<std::uint8_t, kPageSize>;

// First byte of every page.
constexpr std::uint8_t kPageHeader = 0x00;
constexpr std::uint8_t kPageData = 0x01;
constexpr std::uint8_t kPageTableDef = 0x02;
constexpr std::uint8_t kPageUsageBitmap = 0x05;

// Data and long-value pages: 14-byte header, then the row offset table.
constexpr std::size_t kDataPageRowCountOffset = 12;
constexpr std::size_t kDataPageHeaderSize = 14;
// Largest row a data page can hold (header and one offset slot subtracted).
constexpr std::size_t kMaxRowSize = kPageSize - kDataPageHeaderSize - 2;
// A row is addressed by one byte on its page.
constexpr std::size_t kMaxRowsPerPage = 255;

inline void put8(std::uint8_t *p, std::size_t at, std::uint32_t v) { p[at] = std::uint8_t(v); }
inline void put16(std::uint8_t *p, std::size_t at, std::uint32_t v)
{
    p[at] = std::uint8_t(v);
    p[at + 1] = std::uint8_t(v >> 8);
}
inline void put24(std::uint8_t *p, std::size_t at, std::uint32_t v)
{
    put16(p, at, v);
    p[at + 2] = std::uint8_t(v >> 16);
}
inline void put32(std::uint8_t *p, std::size_t at, std::uint32_t v)
{
    put16(p, at, v);
    put16(p, at + 2, v >> 16);
}
inline void putDouble(std::uint8_t *p, std::size_t at, double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    put32(p, at, std::uint32_t(bits));
    put32(p, at + 4, std::uint32_t(bits >> 32));
}
inline std::uint32_t get16(const std::uint8_t *p, std::size_t at) { return p[at] | (std::uint32_t(p[at + 1]) << 8); }

/// A row's address as stored in the file: page number in the upper 24 bits, row number in the low byte.
inline std::uint32_t pageRow(std::uint32_t page, std::uint32_t row) { return (page << 8) | row; }

} // namespace jet4::detail
