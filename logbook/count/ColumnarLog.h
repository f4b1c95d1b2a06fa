#pragma once
#include "logbook/count/IdArray.h"
#include "logbook/count/TextDictionary.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// A read-only columnar copy of the table LOG for counting: every text column
/// is dictionary-encoded, and the rows are grouped by band (the dictionary id
/// of Banda), so a condition on a column is decided once per distinct text and
/// a count on one band visits only that band's rows. Row numbers are those of
/// this band order, not of the table.
class ColumnarLog {
public:
    /// Texts of one column that compare equal without regard to case share a
    /// folded id; folded id 0 is NULL.
    struct FoldedIds {
        std::vector<uint32_t> of; ///< folded id of each dictionary id
        uint32_t count = 0;       ///< number of folded ids, NULL's included
    };

    /// The texts of a column row by row (in table order), for a column of
    /// nearly as many texts as rows: looked up in a dictionary only when
    /// the column is first read.
    struct PlainTexts {
        static constexpr uint32_t Null = 0xffffffffu; ///< the length of a NULL
        std::string bytes;                            ///< the texts one after the other
        std::vector<uint32_t> lengths;                ///< per row
        /// Each row's text looked up in `dictionary` (added when new), its id in `ids`.
        void lookUp(TextDictionary &dictionary, std::vector<uint32_t> &ids) const;
    };

    struct Column {
        std::string name;
        /// False when the column holds values other than text: then only its
        /// name is kept, and counts that read it are left to SQLite.
        bool text = true;
        const TextDictionary &dictionary() const
        {
            build();
            return m_dictionary;
        }
        /// One dictionary id per row, in band order.
        const IdArray &ids() const
        {
            build();
            return m_ids;
        }

    private:
        friend class ColumnarLog;
        friend class ColumnarLogBuilder;
        /// The dictionary and ids of a column kept as plain texts, the first time they are asked for.
        void build() const;

        mutable std::once_flag m_buildOnce;
        mutable TextDictionary m_dictionary;
        mutable IdArray m_ids;
        mutable std::optional<PlainTexts> m_plain;                    ///< until built
        mutable std::shared_ptr<const std::vector<uint32_t>> m_order; ///< the band order, until built
        mutable std::once_flag m_foldOnce;
        mutable FoldedIds m_folded;
    };

    /// The rows [begin, end) whose Banda has dictionary id `band`.
    struct BandGroup {
        uint32_t band;
        size_t begin;
        size_t end;
    };

    size_t rowCount() const { return m_rows; }
    size_t columnCount() const { return m_columns.size(); }
    const Column &column(size_t i) const { return *m_columns[i]; }
    /// The column named `name` (ASCII letters without regard to case); -1 when
    /// there is none, or more than one.
    int findColumn(std::string_view name) const;

    /// The column the rows are grouped by (Banda), or -1 when the log has no
    /// text column of that name; then bandGroups() is one group of every row.
    int bandColumn() const { return m_bandColumn; }
    const std::vector<BandGroup> &bandGroups() const { return m_groups; }

    /// Folded ids of a text column, worked out the first time they are asked for.
    const FoldedIds &folded(size_t column) const;

    /// The value of a text column at a row (in band order); nullopt for NULL.
    std::optional<std::string_view> value(size_t column, size_t row) const;

    size_t memoryBytes() const;

private:
    friend class ColumnarLogBuilder;
    ColumnarLog() = default;

    size_t m_rows = 0;
    std::vector<std::unique_ptr<Column>> m_columns;
    int m_bandColumn = -1;
    std::vector<BandGroup> m_groups;
};

/// ASCII letters compared without regard to case, as SQLite compares names.
bool sameSqlName(std::string_view a, std::string_view b);
