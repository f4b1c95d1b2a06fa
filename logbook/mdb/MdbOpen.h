#pragma once
// Opening a Jet file for libmdb, the part of reading a logbook that differs
// between systems (MdbOpenPosix.cpp, MdbOpenWin.cpp).

#include "logbook/mdb/MdbReader.h"
#include "logbook/mdb/MdbTools.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace mdbreader {

struct OpenedJet {
    MdbPtr mdb;
    std::uint64_t size = 0; ///< of the file as it was opened
};

/// Opens the file at `path` (UTF-8 on Windows) for reading only, in a way
/// that lets the program that keeps the logbook go on writing, renaming or
/// deleting it; checks that it is a regular file that starts with a Jet
/// header (checkHeader) and hands that very file to libmdb. Returns why it
/// cannot be read, or an empty text.
std::string openJetFile(const std::string &path, OpenedJet &opened);

/// A Jet file mapped into memory for reading only (or read into it where it
/// cannot be mapped), opened as openJetFile opens it.
class MappedJet {
public:
    MappedJet() = default;
    ~MappedJet();
    MappedJet(const MappedJet &) = delete;
    MappedJet &operator=(const MappedJet &) = delete;

    const unsigned char *data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    friend std::string mapJetFile(const std::string &path, MappedJet &mapped);
    const unsigned char *m_data = nullptr;
    std::size_t m_size = 0;
    void *m_handle = nullptr; ///< what the platform keeps for the mapping
};

/// Maps the file at `path` (checked as openJetFile checks it). Returns why it
/// cannot be read, or an empty text.
std::string mapJetFile(const std::string &path, MappedJet &mapped);

/// A Jet file image in memory for libmdb (the bytes are not changed);
/// nothing when it cannot be opened.
MdbPtr openJetImage(const void *data, std::size_t size);

/// Reads part `part` of the table `tableName` of a file libmdb has opened,
/// `fileSize` bytes long (readTable).
std::string readOpened(MdbHandle *mdb, std::uint64_t fileSize, const std::string &tableName, RowSink &sink, Part part);

} // namespace mdbreader
