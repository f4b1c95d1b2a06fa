#pragma once
#include "logbook/LogSnapshot.h"
#include "logbook/count/AwardKind.h"
#include "logbook/count/CountSlot.h"
#include "logbook/types/Result.h"
#include "stats/StatsMatrix.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>
#include <vector>

/// What changed when the grid follows a logbook that is being written: the
/// counts an update changed, the entities newly worked, and the line under
/// the grid that tells it.
namespace LiveUpdate {

/// A count whose caption an update changed, with the caption it had.
struct ChangedCount {
    StatsMatrix::Line line;
    int index = 0;
    QString was;
};

/// Copies into `shown` the count captions of `fresh` (a run of the same kind
/// over the same band set and FT8 option) wherever `keep` lets them through,
/// and the QSO total; returns the counts whose caption changed.
std::vector<ChangedCount> apply(StatsMatrix &shown, const StatsMatrix &fresh, const std::function<bool(StatsMatrix::Line, int)> &keep);

/// The caption a changed count had before; nothing when it did not change.
std::optional<QString> was(const std::vector<ChangedCount> &changes, StatsMatrix::Line line, int index);

/// The tool tip of a changed count: "was 38".
QString wasHint(const QString &was);

/// An entity worked on a band position in a mode class that was not worked there before.
struct NewEntity {
    int position = 0;
    ModeClass mode = ModeClass::Cw;
    QString entity; ///< as the newer log spells it first
};

/// The entities of award kind `kind` worked in `after` on a position of
/// `headers` in CW, PHONE or DATA that `before` has not worked there, by
/// position, mode class and entity. Entities are told apart as the counts
/// tell them apart (letters without regard to case). Fails for a kind that
/// counts no entities or a log that lacks a column the counts read.
Result<std::vector<NewEntity>> newEntities(const LogSnapshot &before, const LogSnapshot &after, AwardKind kind, const QStringList &headers,
                                           bool ft8);

/// The line under the grid after an update read at `time`: "Logbook updated
/// 14:02:31: 3 new contacts (3,003 in all)", the new entities first when there
/// are any ("new: VP8 14.0 CW; 3B8 21.0 DATA - ..."); contacts deleted are
/// said as such. `before` is nothing when the contacts shown before are not known.
QString note(const QTime &time, std::optional<qint64> before, qint64 after, const std::vector<NewEntity> &entities,
             const QStringList &headers, bool ft8);

/// The line under the grid when the logbook read at `time` could not be counted again.
QString countFailureNote(const QTime &time, const QString &reason);

/// The line under the grid while the logbook has changed but could not be
/// read whole since `seconds` ago.
QString failureNote(qint64 seconds, const QString &reason);

} // namespace LiveUpdate
