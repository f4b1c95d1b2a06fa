#include "logbook/testing/LoaderTesting.h"

#include "logbook/LoadChecks.h"
#include "logbook/SnapshotSink.h"
#include "logbook/jet/LogDatabase.h"
#include "logbook/mdb/MdbReader.h"
#include "logbook/testing/ReaderTesting.h"

Status loadMdbTableInProcess(const QString &mdbPath, const QString &tableName, LogDatabase &db)
{
    if (Status s = precheck(mdbPath); !s)
        return s;
    SnapshotSink snapshot(db, tableName);
    if (const std::string why = mdbreader::readTable(mdbPath.toStdString(), tableName.toStdString(), snapshot); !why.empty())
        return readFailure(mdbPath, why);
    return snapshot.finish();
}

Status loadTableStream(const void *data, std::size_t size, std::uint64_t fileSize, const QString &tableName, LogDatabase &db)
{
    SnapshotSink snapshot(db, tableName);
    mdbreader::StreamDecoder decoder(snapshot, limitsFor(fileSize));
    if (!decoder.feed(static_cast<const char *>(data), size))
        return Status::failure(QString::fromStdString(decoder.error()));
    if (decoder.readerFailed())
        return Status::failure(QString::fromStdString(decoder.readerError()));
    if (!decoder.complete())
        return Status::failure(QStringLiteral("the table stream ends early"));
    return snapshot.finish();
}

Status loadMdbImage(const void *data, std::size_t size, const QString &tableName, LogDatabase &db)
{
    std::string stream;
    mdbreader::StreamEncoder encoder([&stream](const char *bytes, std::size_t n) {
        stream.append(bytes, n);
        return true;
    });
    const std::string why = mdbreader::readTableFromMemory(data, size, tableName.toStdString(), encoder);
    if (why.empty())
        encoder.finish();
    else
        encoder.fail(why);
    return loadTableStream(stream.data(), stream.size(), size, tableName, db);
}
