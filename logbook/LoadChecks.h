#pragma once
#include "logbook/mdb/ReaderStream.h"
#include "logbook/types/Result.h"

#include <QString>
#include <cstdint>
#include <string>

/// The checks that need no reader: the file is there and starts like a Jet file.
Status precheck(const QString &path);

/// A failure to read the logbook at `path`, for the reason `why`.
Status readFailure(const QString &path, const std::string &why);

/// What a table stream may hold for a file of `fileSize` bytes.
mdbreader::StreamDecoder::Limits limitsFor(std::uint64_t fileSize);
