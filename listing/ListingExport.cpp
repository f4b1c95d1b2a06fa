#include "listing/ListingExport.h"

#include "listing/GridRecordset.h"
#include "listing/ListingRun.h"

void exportWorkbook(Prompter &prompter, const QString &proposed, const std::function<Status(const QString &path)> &write)
{
    if (prompter.message(QStringLiteral("Export to Excel?"), MsgFlags::YesNoInformation, ExportTitle) != MsgAnswer::Yes)
        return;
    const QString path = prompter.saveFile(ExportTitle, QStringLiteral("Excel workbook (*.xlsx)"), proposed);
    if (path.isEmpty())
        return;
    const Status written = write(path);
    if (!written) {
        prompter.message(written.error(), MsgFlags::Exclamation, ExportTitle);
        return;
    }
    if (!prompter.openDocument(path))
        prompter.message(ListingRun::notAvailableMessage(path), MsgFlags::OkOnly, QString());
}

void exportListing(Prompter &prompter, const LoadedLog &log, std::optional<AwardKind> kind, const GridRecordset &rows,
                   const QString &folder, const QDate &date, qsizetype maxRows)
{
    const QString kindName = QString::fromLatin1(AwardKinds::name(kind.value_or(AwardKind::Qso)));
    exportWorkbook(prompter, ListingRun::proposedExportPath(folder, log.LogName, kindName, date), [&](const QString &path) {
        QStringList fields;
        for (int c = 0; c < rows.columnCount(); ++c)
            fields << rows.fieldName(c);
        const qsizetype total = rows.rowCount();
        const Result<qsizetype> written = writeListingXlsx(
            path, fields, total, [&rows](qsizetype row, int column) { return rows.text(int(row), column); }, maxRows);
        if (!written)
            return Status::failure(written.error());
        if (*written < total)
            prompter.message(
                QStringLiteral("Only %1 of the %2 rows were written: a spreadsheet sheet holds no more.").arg(*written).arg(total),
                MsgFlags::Exclamation, ExportTitle);
        return Status();
    });
}

void exportAdif(Prompter &prompter, const QString &proposed, const std::vector<AdifContact> &contacts)
{
    if (contacts.empty()) {
        prompter.message(QStringLiteral("There are no contacts to export."), MsgFlags::Information, ExportTitle);
        return;
    }
    const QString path = prompter.saveFile(ExportTitle, QStringLiteral("ADIF file (*.adi)"), proposed);
    if (path.isEmpty())
        return;
    const Status written = Adif::write(path, contacts);
    if (!written) {
        prompter.message(written.error(), MsgFlags::Exclamation, ExportTitle);
        return;
    }
    prompter.message(QStringLiteral("%1 contacts written to %2").arg(contacts.size()).arg(path), MsgFlags::Information, ExportTitle);
}

void exportListingAdif(Prompter &prompter, const LoadedLog &log, std::optional<AwardKind> kind, const GridRecordset &rows,
                       const QString &folder, const QDate &date)
{
    const Result<std::vector<AdifContact>> contacts = Adif::contactsOfListing(rows);
    if (!contacts) {
        prompter.message(QStringLiteral("EXPORT ADIF writes contacts: this listing shows entities, not contacts."), MsgFlags::Information,
                         ExportTitle, contacts.error());
        return;
    }
    const QString kindName = QString::fromLatin1(AwardKinds::name(kind.value_or(AwardKind::Qso)));
    exportAdif(prompter, ListingRun::proposedExportPath(folder, log.LogName, kindName, date, QStringLiteral(".adi")), *contacts);
}
