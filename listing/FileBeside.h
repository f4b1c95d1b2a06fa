#pragma once
#include "logbook/types/Result.h"

#include <QString>

/// A file written under a temporary name beside its target and put in the
/// target's place by commit(), in one step, only when all of it was written:
/// a failure leaves an existing target as it was and no temporary file behind.
/// Every export writes its file this way.
class FileBeside {
public:
    explicit FileBeside(const QString &target);
    ~FileBeside();
    FileBeside(const FileBeside &) = delete;
    FileBeside &operator=(const FileBeside &) = delete;

    /// The temporary file to write.
    const QString &temp() const { return m_temp; }

    /// Puts the temporary file in the target's place (keeping the target's permissions).
    Status commit();

private:
    QString m_target;
    QString m_temp;
    bool m_committed = false;
};

/// Writes `bytes` as the file `path`, beside it first (FileBeside).
Status writeFileBeside(const QString &path, const QByteArray &bytes);
